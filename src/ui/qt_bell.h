#pragma once

#include "kit/bell.h"

#include <QSoundEffect>
#include <QTemporaryFile>

#include <functional>

namespace zavok::ui {

// A short beep of our own through the sound card, and `fallback` when there is no sound output or the beep could
// not be prepared: the desktop's bell for the desktop program, nothing for the service, which has no desktop. Needs
// no display.
class QtBell final : public kit::Bell {
public:
    explicit QtBell(std::function<void()> fallback);
    void beep() override;

private:
    std::function<void()> fallback_;
    QTemporaryFile sound_;
    QSoundEffect effect_;
};

} // namespace zavok::ui
