#include "system/quiet_libraries.h"
#include "system/sdl_bell.h"
#include "system/tone.h"

#include <QFile>
#include <QTemporaryFile>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <unistd.h>

// The bell through SDL's real audio code, on its dummy driver: no sound card needed.
namespace zavok::system {
namespace {

TEST(SdlBellTest, RingsWhereThereIsAnOutputAndElseSaysSoOnceAndRingsItsFallback) {
    const struct {
        const char* driver;
        bool fallback;
        const char* told; // what the bell says of its output once it has tried it, empty for nothing
    } rows[] = {
        {"dummy", true, ""},
        {"no-such-driver", false, "it stays silent"},
        {"no-such-driver", true, "it rings as the desktop's beep"},
    };
    for (const auto& row : rows) {
        qputenv("SDL_AUDIODRIVER", row.driver);
        QStringList told;
        int fallbacks = 0;
        {
            SdlBell bell([&told](const QString& line) { told << line; },
                         row.fallback ? std::function<void()>([&fallbacks] { ++fallbacks; }) : nullptr);
            EXPECT_TRUE(told.isEmpty()) << row.driver << ": told before the first beep";
            bell.beep();
            bell.beep();
        }
        ASSERT_EQ(told.size(), *row.told == '\0' ? 0 : 1) << row.driver;
        if (!told.isEmpty()) {
            EXPECT_TRUE(told.front().endsWith(QLatin1String(row.told))) << told.front().toStdString();
        }
        EXPECT_EQ(fallbacks, row.fallback && !told.isEmpty() ? 2 : 0) << row.driver;
    }
    qunsetenv("SDL_AUDIODRIVER");
}

// SDL, and the thirty libraries it brings, stays out of a program until its bell first rings.
TEST(SdlBellTest, LoadsSdlOnlyAtTheFirstBeep) {
    const auto sdlMapped = [] {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libSDL2");
    };
    qputenv("SDL_AUDIODRIVER", "dummy");
    SdlBell bell([](const QString&) {});
    EXPECT_FALSE(sdlMapped());
    bell.beep();
    EXPECT_TRUE(sdlMapped());
    qunsetenv("SDL_AUDIODRIVER");
}

// What the sound libraries say of a missing sound server or card never reaches standard error; every other line, the
// program's own above all, does. ALSA is the output SDL falls back on, and where there is no card it has much to say.
TEST(QuietLibraries, KeepTheSoundLibrariesNoiseAwayAndPassEverythingElseOn) {
    static QStringList passed;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& line) { passed << line; });
    quietLibraries();
    const struct {
        const char* line;
        bool passes;
    } rows[] = {
        {"PulseAudioService: pa_context_connect() failed", false},
        {"No audio device detected", false},
        {"QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-1000'", false},
        {"zavok: the termination signals are already taken", true},
    };
    for (const auto& row : rows) {
        passed.clear();
        qWarning("%s", row.line);
        EXPECT_EQ(passed.size(), row.passes ? 1 : 0) << row.line;
    }
    qInstallMessageHandler(nullptr);

    QTemporaryFile caught;
    ASSERT_TRUE(caught.open());
    const int standardError = ::dup(STDERR_FILENO);
    ::dup2(caught.handle(), STDERR_FILENO);
    {
        SdlBell bell([](const QString&) {});
        bell.beep();
    }
    ::dup2(standardError, STDERR_FILENO);
    ::close(standardError);
    ASSERT_TRUE(caught.seek(0)); // standard error wrote through the file's own offset
    EXPECT_EQ(caught.readAll(), QByteArray());
}

qint16 sample(const QByteArray& wav, int i) {
    return qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * i);
}

// A canonical mono 16-bit PCM WAV at the asked rate, of the asked pitch, beginning and ending in silence.
TEST(Tone, IsAPlayableWavOfThePitchAskedFor) {
    const QByteArray wav = toneWav(880, 120, 44100);
    const int samples = 44100 * 120 / 1000; // 5292: 10584 bytes of data, 10620 in the RIFF chunk
    ASSERT_EQ(wav.size(), 44 + 2 * samples);
    EXPECT_EQ(wav.left(44), "RIFF" + QByteArray::fromHex("7c290000") + "WAVEfmt " +
                                QByteArray::fromHex("10000000 0100 0100 44ac0000 88580100 0200 1000") + "data" +
                                QByteArray::fromHex("58290000"));
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
} // namespace zavok::system
