#pragma once

#include "kit/bell.h"
#include "kit/fault_report.h"

#include <QTimer>

namespace zavok::system {

// The bell of the service, which has no desktop to beep: the beep through SDL's audio, on the machine's sound output
// where there is one, and silence with a word on standard error where there is none. The output is opened when the
// bell first rings and let go a while after it has stopped, so that a quiet program keeps no audio thread busy.
class SdlBell final : public kit::Bell {
public:
    explicit SdlBell(kit::FaultSink sink = kit::writeToStandardError);
    ~SdlBell() override;

    SdlBell(const SdlBell&) = delete;
    SdlBell& operator=(const SdlBell&) = delete;

    void beep() override;

private:
    // Whether the bell can ring: not tried before the first beep, ready, or without a sound output for good.
    enum class Sound { Untried, Ready, Missing };

    bool ready();
    void close();
    void missing(const QString& why);

    kit::FaultReport silence_;
    Sound sound_ = Sound::Untried;
    quint32 device_ = 0; // the open output, 0 while none is
    // The beep, as SDL read it from its WAV: the samples and their format.
    unsigned char* tone_ = nullptr;
    quint32 toneBytes_ = 0;
    int frequency_ = 0;
    quint16 format_ = 0;
    quint8 channels_ = 0;
    QTimer idle_;
};

} // namespace zavok::system
