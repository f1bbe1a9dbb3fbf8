#include "tone.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zavok::system {

namespace {

constexpr int kFadeMilliseconds = 10;
constexpr double kBellPitch = 880;
constexpr int kBellLength = 120;
constexpr int kBellSampleRate = 44100;
constexpr double kLoudness = 0.5; // of full scale: a bell, not an alarm siren

void put16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray toneWav(double frequency, int milliseconds, int sampleRate) {
    const int samples = std::max(0, int(qint64(sampleRate) * milliseconds / 1000));
    const int fade = std::max(1, sampleRate * kFadeMilliseconds / 1000);
    const quint32 dataBytes = quint32(samples) * 2;

    QByteArray wav;
    wav.reserve(44 + int(dataBytes));
    wav.append("RIFF");
    put32(wav, 36 + dataBytes);
    wav.append("WAVE");
    wav.append("fmt ");
    put32(wav, 16);                      // size of this chunk
    put16(wav, 1);                       // PCM
    put16(wav, 1);                       // mono
    put32(wav, quint32(sampleRate));     // frames per second
    put32(wav, quint32(sampleRate) * 2); // bytes per second
    put16(wav, 2);                       // bytes per frame
    put16(wav, 16);                      // bits per sample
    wav.append("data");
    put32(wav, dataBytes);
    for (int i = 0; i < samples; ++i) {
        const double envelope = std::min({1.0, double(i) / fade, double(samples - 1 - i) / fade});
        const double value = kLoudness * envelope * std::sin(2 * std::numbers::pi * frequency * i / sampleRate);
        put16(wav, quint16(qint16(std::lround(value * 32767))));
    }
    return wav;
}

QByteArray bellTone() {
    return toneWav(kBellPitch, kBellLength, kBellSampleRate);
}

} // namespace zavok::system
