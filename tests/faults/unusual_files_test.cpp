#include "platform/state_file.h"
#include "support/harness.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace zavok::test {
namespace {

// What can stand where the program expects a file, even for root: a FIFO (an ordinary open of it waits for the
// other end), a directory, and a link into a directory that is not there.
enum class Obstacle { Fifo, Directory, DanglingLink };

const struct {
    const char* name;
    Obstacle obstacle;
} kObstacles[] = {
    {"FIFO", Obstacle::Fifo}, {"directory", Obstacle::Directory}, {"dangling link", Obstacle::DanglingLink}};

void place(Obstacle obstacle, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray encoded = QFile::encodeName(path);
    switch (obstacle) {
    case Obstacle::Fifo:
        ASSERT_EQ(::mkfifo(encoded.constData(), 0600), 0);
        break;
    case Obstacle::Directory:
        ASSERT_TRUE(QDir().mkpath(path));
        break;
    case Obstacle::DanglingLink:
        ASSERT_EQ(::symlink("/nonexistent-zavok-test/file", encoded.constData()), 0);
        break;
    }
}

// Every reader and writer of a file returns at once, goes without what it could not read or write, and the
// program goes on monitoring.
TEST(UnusualFiles, NothingWaitsOnAFifoOrStumblesOnADirectoryWhereAFileShouldBe) {
    for (const auto& o : kObstacles) {
        SCOPED_TRACE(o.name);
        {
            SCOPED_TRACE("the day's log");
            Harness h;
            place(o.obstacle, h.logPath(QStringLiteral("Jul 13")));
            Zavok& z = h.start();
            h.port.value = 240 - 16;
            h.scheduler.advance(100);
            EXPECT_EQ(z.zavok->alabel[0]->back(), (kit::Rgb{255, 0, 0})) << "the alert shows without its record";
            z.shutdown();
            EXPECT_TRUE(z.hasEnded());
        }
        {
            SCOPED_TRACE("channel 1's sample file");
            Harness h;
            place(o.obstacle, h.dataPath(QStringLiteral("x1values.zvk")));
            Zavok& z = h.start();
            h.joysticks.stick[0].wXpos = 32750;
            z.channel(1).enable.click();
            h.scheduler.advance(1000);
            EXPECT_EQ(z.zavok->value[0]->text(), QStringLiteral("50")) << "the burst itself serves";
        }
        {
            SCOPED_TRACE("a log chosen in the log window");
            Harness h;
            Zavok& z = h.start();
            const QString chosen = h.root.filePath(QStringLiteral("chosen.txt"));
            place(o.obstacle, chosen);
            z.zavok->log.click();
            z.zavoklog->Text1.setText(QStringLiteral("the log shown before"));
            h.dialogs.answerFile(chosen);
            z.zavoklog->Command1.click();
            EXPECT_EQ(z.zavoklog->Text1.text(), QString());
        }
        {
            SCOPED_TRACE("the input state file");
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("inputs"));
            place(o.obstacle, path);
            QStringList told;
            platform::StateFileSource source(
                path, [&told](const QString& line) { told << line; }, [] { return qint64(0); });
            EXPECT_EQ(source.Inzavok(513), 0xFF) << "every contact at rest";
            kit::JOYINFO info{1, 1, 1, 1};
            source.joyGetPos(0, info);
            EXPECT_EQ(info.wXpos + info.wYpos, 0u);
            ASSERT_EQ(told.size(), 1);
            EXPECT_TRUE(told[0].startsWith(QStringLiteral("zavok: cannot read the input state file")))
                << told[0].toStdString();
        }
    }
}

} // namespace
} // namespace zavok::test
