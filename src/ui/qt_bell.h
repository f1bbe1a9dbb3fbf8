#pragma once

#include "kit/bell.h"
#include "kit/fault_report.h"

#include <QSoundEffect>
#include <QTemporaryFile>

#include <functional>

namespace zavok::ui {

// A short beep of our own through the sound card, and `fallback` when there is no sound output or the beep could
// not be prepared: the desktop's bell for the desktop program, nothing for the service, which has no desktop. Needs
// no display. A missing sound output is told to `sink` once, as the bell is made, so that the user knows at the start
// rather than at the first alarm.
class QtBell final : public kit::Bell {
public:
    explicit QtBell(std::function<void()> fallback, const kit::FaultSink& sink = kit::writeToStandardError);
    void beep() override;

private:
    std::function<void()> fallback_;
    QTemporaryFile sound_;
    QSoundEffect effect_;
};

} // namespace zavok::ui
