#include "qt_bell.h"

#include "system/tone.h"

#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QUrl>

namespace zavok::ui {

QtBell::QtBell(std::function<void()> fallback)
    : fallback_(std::move(fallback))
    , sound_(QDir::temp().filePath(QStringLiteral("zavok-beep-XXXXXX.wav"))) {
    // QSoundEffect plays files only; the temporary file goes with the bell.
    const QByteArray wav = system::bellTone();
    if (sound_.open() && sound_.write(wav) == wav.size() && sound_.flush()) {
        effect_.setSource(QUrl::fromLocalFile(sound_.fileName()));
    }
}

void QtBell::beep() {
    if (effect_.status() == QSoundEffect::Error || effect_.source().isEmpty() ||
        QMediaDevices::defaultAudioOutput().isNull()) {
        fallback_();
        return;
    }
    effect_.play();
}

} // namespace zavok::ui
