#include "platform/tone.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>

namespace zavok::platform {
namespace {

qint16 sample(const QByteArray& wav, int i) {
    return qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * i);
}

// A canonical PCM WAV file, mono, 16 bits at the asked rate, whose tone has the asked pitch and begins and ends in
// silence.
TEST(Tone, IsAPlayableWavOfThePitchAskedFor) {
    const QByteArray wav = toneWav(880, 120, 44100);
    const int samples = 44100 * 120 / 1000;
    ASSERT_EQ(wav.size(), 44 + 2 * samples);
    // The size fields (bytes 4..7 and 40..43) are checked apart.
    const QByteArray header =
        QByteArray("RIFF....WAVEfmt ") + QByteArray::fromHex("10000000 0100 0100 44ac0000 88580100 0200 1000") + "data";
    const QByteArray found = wav.left(4) + QByteArray("....") + wav.mid(8, 32);
    EXPECT_EQ(found, header);
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(2 * samples));

    EXPECT_EQ(sample(wav, 0), 0);
    EXPECT_LE(std::abs(sample(wav, samples - 1)), 10);
    int crossings = 0;
    int loudest = 0;
    for (int i = 1; i < samples; ++i) {
        crossings += (sample(wav, i - 1) < 0) != (sample(wav, i) < 0) ? 1 : 0;
        loudest = std::max(loudest, std::abs(int(sample(wav, i))));
    }
    // 880 cycles a second for 0.12 s: 105.6 cycles, two crossings each.
    EXPECT_NEAR(crossings, 211, 3);
    EXPECT_GT(loudest, 8000);
    EXPECT_LT(loudest, 32767) << "never clipped";
}

} // namespace
} // namespace zavok::platform
