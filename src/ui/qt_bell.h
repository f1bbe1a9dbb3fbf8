#pragma once

#include "kit/bell.h"

#include <QSoundEffect>
#include <QTemporaryFile>

namespace zavok::ui {

// A short beep of our own through the sound card; the desktop's bell when there is no sound output, or the
// beep could not be prepared.
class QtBell final : public kit::Bell {
public:
    QtBell();
    void beep() override;

private:
    QTemporaryFile sound_;
    QSoundEffect effect_;
};

} // namespace zavok::ui
