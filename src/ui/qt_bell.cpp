#include "qt_bell.h"

#include "tone.h"

#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QUrl>

namespace zavok::ui {

namespace {

constexpr double kPitch = 880; // A5: clear without being shrill
constexpr int kLength = 120;   // ms: well inside the half second between the bell timer's ticks
constexpr int kSampleRate = 44100;

} // namespace

QtBell::QtBell(std::function<void()> fallback)
    : fallback_(std::move(fallback))
    , sound_(QDir::temp().filePath(QStringLiteral("zavok-beep-XXXXXX.wav"))) {
    // QSoundEffect plays files only; the temporary file goes with the bell.
    const QByteArray wav = toneWav(kPitch, kLength, kSampleRate);
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
