#include "platform/state_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zavok::platform {
namespace {

using Parsed = std::variant<InputSnapshot, StateFileFault>;

TEST(StateFileParser, ReadsFiveWholeNumbersInAnyWhitespace) {
    for (const char* text : {"224 0 65535 32768 7", "224\t0\n65535 32768 7\n", "  224   0 65535\r\n32768 7\r\n\r\n",
                             "+224 00 65535 32768 7"}) {
        EXPECT_EQ(parseStateFile(text), Parsed(InputSnapshot{224, {0, 65535, 32768, 7}})) << text;
    }
    EXPECT_EQ(parseStateFile("255 0 0 0 0"), Parsed(InputSnapshot{255, {}}));
}

TEST(StateFileParser, RefusesPartialGarbageAndOutOfRangeContent) {
    using enum StateFileFault;
    const struct {
        QByteArray text;
        StateFileFault fault;
    } rows[] = {
        {"", Malformed},
        {QByteArray("1\0 2\0 203 03 4", 15), Malformed},
        {"240 32768 32768 32768", Malformed},
        {"240 32768 32768 32768 32768 1", Malformed},
        {"240 3e4 32768 32768 32768", Malformed},
        {"240 32768.5 32768 32768 32768", Malformed},
        {"240, 32768, 32768, 32768, 32768", Malformed},
        {"240 32768 32768 32768 99999999999999999999999", Malformed},
        {"256 32768 32768 32768 32768", OutOfRange},
        {"-1 32768 32768 32768 32768", OutOfRange},
        {"240 65536 32768 32768 32768", OutOfRange},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(parseStateFile(row.text), Parsed(row.fault)) << row.text.toPercentEncoding().toStdString();
    }
}

// The file source as the poll cycle and the channel ticks see it, with a clock moved by hand.
class StateFileSourceTest : public ::testing::Test {
protected:
    void write(const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(content), content.size());
    }
    quint32 axis(int id, quint32 kit::JOYINFO::*field) {
        kit::JOYINFO info;
        source.joyGetPos(id, info);
        return info.*field;
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("state.txt"));
    QStringList told;
    qint64 now = 1000;
    StateFileSource source{path, [this](const QString& line) { told << line; }, [this] { return now; }};
};

TEST_F(StateFileSourceTest, ARewrittenFileShowsAtThePortsNextReadAndAtTheJoysticksNextTick) {
    write("240 100 200 300 400\n");
    EXPECT_EQ(source.Inzavok(513), 240);
    EXPECT_EQ(axis(0, &kit::JOYINFO::wXpos), 100u);
    EXPECT_EQ(axis(0, &kit::JOYINFO::wYpos), 200u);
    EXPECT_EQ(axis(1, &kit::JOYINFO::wXpos), 300u);
    EXPECT_EQ(axis(1, &kit::JOYINFO::wYpos), 400u);

    write("208 1 2 3 4\n");
    EXPECT_EQ(source.Inzavok(513), 208);
    EXPECT_EQ(axis(1, &kit::JOYINFO::wYpos), 4u);

    // A channel tick's burst of readings shares one reading of the file; the next tick sees the new content.
    write("224 5 6 7 8\n");
    EXPECT_EQ(axis(0, &kit::JOYINFO::wXpos), 1u);
    now += StateFileSource::kSnapshotMs;
    EXPECT_EQ(axis(0, &kit::JOYINFO::wXpos), 5u);
    EXPECT_EQ(axis(1, &kit::JOYINFO::wYpos), 8u);

    // A writer that truncates before it writes can be caught with the file empty: that is not kept either.
    write("");
    now += StateFileSource::kSnapshotMs;
    EXPECT_EQ(axis(0, &kit::JOYINFO::wXpos), 0u);
    write("240 11 22 33 44");
    EXPECT_EQ(axis(0, &kit::JOYINFO::wXpos), 11u);
}

TEST_F(StateFileSourceTest, AnUnusableFileIsAFaultThatKeepsTheContactsAndIsToldOnce) {
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_EQ(source.Inzavok(513), 0xFF) << "every contact at rest before the first good reading";
        EXPECT_EQ(axis(1, &kit::JOYINFO::wYpos), 0u);
    }
    EXPECT_TRUE(source.fault().startsWith(QStringLiteral("cannot read the input state file ") + path));
    write("224 1 2 3 4\n");
    EXPECT_EQ(source.Inzavok(513), 224);
    EXPECT_EQ(source.fault(), QString());
    write("240 1 2\n");
    EXPECT_EQ(source.Inzavok(513), 224) << "the last good reading";
    EXPECT_TRUE(source.fault().contains(QStringLiteral("does not hold five whole numbers")));
    write("240 1 2 3 70000\n");
    EXPECT_EQ(source.Inzavok(513), 224);
    EXPECT_EQ(axis(0, &kit::JOYINFO::wXpos), 0u);

    ASSERT_EQ(told.size(), 3);
    EXPECT_TRUE(told[0].startsWith(QStringLiteral("zavok: cannot read the input state file ") + path));
    EXPECT_TRUE(told[1].contains(QStringLiteral("does not hold five whole numbers")));
    EXPECT_TRUE(told[2].contains(QStringLiteral("out of range")));
    for (const QString& line : told) {
        EXPECT_TRUE(line.endsWith(QStringLiteral("the contacts keep their last state and the axes read 0 while this "
                                                 "lasts")));
    }
}

} // namespace
} // namespace zavok::platform
