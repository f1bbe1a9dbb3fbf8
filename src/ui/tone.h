#pragma once

#include <QByteArray>

namespace zavok::ui {

// A sine tone as a complete WAV file (mono, 16-bit PCM), faded in and out so that it starts and stops without
// a click.
QByteArray toneWav(double frequency, int milliseconds, int sampleRate);

} // namespace zavok::ui
