#include "qt_bell.h"

#include "system/tone.h"

#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QUrl>

namespace zavok::ui {

QtBell::QtBell(std::function<void()> fallback, const kit::FaultSink& sink)
    : fallback_(std::move(fallback))
    , sound_(QDir::temp().filePath(QStringLiteral("zavok-beep-XXXXXX.wav"))) {
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        // The sound server is found through the runtime directory: without one there is none to find.
        sink(QStringLiteral("zavok: there is no sound output (no sound server answers%1); the bell rings as the "
                            "desktop's beep")
                 .arg(qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")
                          ? QStringLiteral(", and XDG_RUNTIME_DIR, where one is looked for, is not set")
                          : QString()));
    }
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
