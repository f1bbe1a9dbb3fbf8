#pragma once

#include "kit/bell.h"
#include "kit/fault_report.h"

#include <QTimer>

#include <functional>
#include <thread>

namespace zavok::system {

struct SdlAudioLibrary;

// The bell of both programs: the beep through SDL's audio (the joysticks' SDL) on the machine's sound output. SDL is
// loaded and the output opened when the bell first rings; the output is let go a while after it has stopped, so that
// a quiet program keeps no audio thread busy. Where there is no output, that is told once and
// `fallback` rings in its place: the desktop's beep for the desktop program, nothing for the service, which has no
// desktop.
class SdlBell final : public kit::Bell {
public:
    explicit SdlBell(kit::FaultSink sink = kit::writeToStandardError, std::function<void()> fallback = {});
    ~SdlBell() override;

    SdlBell(const SdlBell&) = delete;
    SdlBell& operator=(const SdlBell&) = delete;

    void beep() override;

private:
    // Whether the bell can ring: not tried before the first beep, ready, or without a sound output for good.
    enum class Sound { Untried, Ready, Missing };

    bool ready();
    void close();
    void letGo();
    void missing(const QString& why);

    kit::FaultReport silence_;
    std::function<void()> fallback_;
    Sound sound_ = Sound::Untried;
    const SdlAudioLibrary* sdl_ = nullptr; // once tried
    quint32 device_ = 0;                   // the open output, 0 while none is
    // The beep, as SDL read it from its WAV: the samples and their format.
    unsigned char* tone_ = nullptr;
    quint32 toneBytes_ = 0;
    int frequency_ = 0;
    quint16 format_ = 0;
    quint8 channels_ = 0;
    QTimer idle_;
    std::thread lettingGo_;
};

} // namespace zavok::system
