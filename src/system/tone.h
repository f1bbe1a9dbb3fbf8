#pragma once

#include <QByteArray>

namespace zavok::system {

// A sine tone as a complete WAV file (mono, 16-bit PCM), faded in and out so that it starts and stops without
// a click.
QByteArray toneWav(double frequency, int milliseconds, int sampleRate);

// The bell's beep: A5, clear without being shrill, 120 ms long, well inside the half second between two ticks of a
// bell timer.
QByteArray bellTone();

} // namespace zavok::system
