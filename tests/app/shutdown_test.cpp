#include "support/harness.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

namespace zavok::test {
namespace {

const QByteArray kStart = "\"ZAVOK started at\",\"08:15:20 AM\",\"July 13,2001\"";

qsizetype closedRecords(const Harness& h) {
    const auto log = h.logLines();
    return std::count_if(log.begin(), log.end(),
                         [](const QByteArray& l) { return l.startsWith("\"ZAVOK closed at\""); });
}

TEST(Shutdown, FirstRunSavesTheDesignValuesWithTheZoneNames) {
    Harness h;
    Zavok& z = h.start();
    int ended = 0;
    z.onEnded = [&] { ++ended; };
    h.scheduler.advance(2000);
    z.zavok->exit.click();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("phones.zvk"))), Harness::phonesFile(Harness::designPhones()));
    EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("cat.zvk"))), QByteArray());
    EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("apnames.zvk"))), QByteArray());
    const auto log = h.logLines();
    EXPECT_EQ(log.first(), kStart);
    EXPECT_EQ(log.last(), QByteArray("\"ZAVOK closed at\",\"08:15:22 AM\",\"July 13,2001\""));
}

TEST(Shutdown, RunsOnceWhicheverTriggerComesFirst) {
    Harness h;
    {
        Zavok& z = h.start();
        z.zavok->requestClose(); // the close box
        z.zavok->exit.click();
        z.shutdown();
        EXPECT_TRUE(z.hasEnded());
        for (kit::Window* w : z.desktop.windows()) {
            for (kit::Timer* t : w->timers()) {
                EXPECT_FALSE(t->isRunning()) << qPrintable(w->name()) << " " << qPrintable(t->name());
            }
        }
        h.zavok.reset(); // destruction after an orderly shutdown adds nothing
    }
    EXPECT_EQ(closedRecords(h), 1);

    Harness destroyed; // destruction without any trigger still shuts down once
    destroyed.start();
    destroyed.zavok.reset();
    EXPECT_EQ(closedRecords(destroyed), 1);
    EXPECT_EQ(Harness::bytes(destroyed.dataPath(QStringLiteral("phones.zvk"))).count("\r\n"), 46);
}

TEST(Shutdown, AHandEditedSettingsFileComesBackUnchanged) {
    Harness h;
    QStringList saved = Harness::designPhones();
    saved[8] = QStringLiteral("250");       // mfsd4
    saved[31] = QStringLiteral("DISABLED"); // enable3
    saved[43] = QStringLiteral("DIS");      // value2
    saved[25] = QStringLiteral("Tank 1, north");
    saved[38] = saved[25]; // the zone label of a renamed channel carries its name
    const QByteArray file = Harness::phonesFile(saved);
    h.put(h.dataPath(QStringLiteral("phones.zvk")), file);
    h.start().shutdown();
    EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("phones.zvk"))), file);
}

TEST(Shutdown, AfterMidnightTheRecordGoesToTheNewDay) {
    Harness h;
    h.clock.setStart(QDateTime(QDate(2026, 1, 4), QTime(23, 59, 59)));
    Zavok& z = h.start();
    h.scheduler.advance(1000);
    z.shutdown();
    EXPECT_TRUE(h.logLines(QStringLiteral("Jan 04")).first().startsWith("\"ZAVOK started at\""));
    EXPECT_EQ(h.logLines(QStringLiteral("Jan 05")),
              QList<QByteArray>{"\"ZAVOK closed at\",\"12:00:00 AM\",\"January 05,2026\""});
}

TEST(Shutdown, TwoRunsOnOneDayShareTheLog) {
    Harness h;
    h.start().shutdown();
    h.zavok.reset();
    h.scheduler.advance(60'000);
    h.start().shutdown();
    QList<QByteArray> log = h.logLines();
    log.removeIf([](const QByteArray& l) { return !l.startsWith("\"ZAVOK"); });
    ASSERT_EQ(log.size(), 4);
    EXPECT_TRUE(log[0].startsWith("\"ZAVOK started at\",\"08:15:20 AM\""));
    EXPECT_TRUE(log[1].startsWith("\"ZAVOK closed at\",\"08:15:20 AM\""));
    EXPECT_TRUE(log[2].startsWith("\"ZAVOK started at\",\"08:16:20 AM\""));
    EXPECT_TRUE(log[3].startsWith("\"ZAVOK closed at\",\"08:16:20 AM\""));
}

TEST(SettingsWriters, CatfileAndLabnameRewriteWholeFiles) {
    Harness h;
    Zavok& z = h.start();
    z.zavok->indicator[2]->setLeft(1000);
    z.zavok->indicator[2]->setTop(140.5f);
    z.catfile();
    EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("cat.zvk"))),
              "60\r\n3180\r\n60\r\n3480\r\n1000\r\n140.5\r\n60\r\n4080\r\n");
    z.zavok->clabel[1]->setText(QStringLiteral("Garage \"Door\""));
    z.labname();
    EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("apnames.zvk"))),
              "\"Front Door\"\r\n\"Garage 'Door'\"\r\n\"Tank Overflow\"\r\n\"Freezer Alarm\"\r\n");
    z.shutdown();
    h.zavok.reset();
    Zavok& again = h.start();
    EXPECT_EQ(again.zavok->indicator[2]->top(), 140.5f);
    EXPECT_EQ(again.zavok->clabel[1]->text(), QStringLiteral("Garage 'Door'"));
}

TEST(SettingsWriters, ReplaceTheFileInsteadOfRewritingItInPlace) {
    // A hard link to the old file keeps seeing the old content whole: the new file was written beside it and
    // took its name only once complete, so a crash part-way could never have left half a file.
    Harness h;
    Zavok& z = h.start();
    const QString cat = h.dataPath(QStringLiteral("cat.zvk"));
    z.catfile();
    const QByteArray before = h.bytes(cat);
    const QString link = h.root.filePath(QStringLiteral("old-cat"));
    ASSERT_EQ(::link(QFile::encodeName(cat).constData(), QFile::encodeName(link).constData()), 0);
    z.zavok->indicator[0]->setLeft(5);
    z.catfile();
    EXPECT_EQ(h.bytes(link), before);
    EXPECT_TRUE(h.bytes(cat).startsWith("5\r\n"));
}

TEST(ActivityLogObservers, HearEveryRecordAsWrittenAlsoOneTheFileCouldNotTake) {
    std::vector<QStringList> heard; // outlives the program, whose end is heard too
    Harness h;
    Zavok& z = h.start();
    z.log.observe([&](const ActivityLog::Record& r) { heard.push_back({r.message, r.time, r.date}); });
    z.channel(2).fname.setText(QStringLiteral("Tank \u03c9"));
    z.channel(2).setname.setVisible(true);
    z.channel(2).setname.click();
    ASSERT_TRUE(QDir(h.logDirectory).removeRecursively());
    h.port.value = 240 - 16;
    h.scheduler.advance(100);
    const std::vector<QStringList> expected{
        {QStringLiteral("Tank ? Normal at"), QStringLiteral("08:15:20 AM"), QStringLiteral("July 13,2001")},
        {QStringLiteral("Alert #1 activated at"), QStringLiteral("08:15:20 AM"), QStringLiteral("July 13,2001")}};
    EXPECT_EQ(heard, expected);
}

} // namespace
} // namespace zavok::test
