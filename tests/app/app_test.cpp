#include "app/alarm_watch.h"
#include "forms/channel_state.h"
#include "kit/line_encoding.h"
#include "log/log_viewer.h"
#include "support/started_program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointF>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <unistd.h>

// The program's start and end (the settings files it reads and writes, and the records of both in the log), and the
// ways between its windows.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

constexpr kit::Rgb kCircuitOn{0, 130, 0};
const QByteArray kStart = "\"ZAVOK started at\",\"08:15:20 AM\",\"July 13,2001\"";
const QByteArray kDesignCat = "60\r\n3180\r\n60\r\n3480\r\n60\r\n3780\r\n60\r\n4080\r\n";

QPointF place(const kit::Control* c) {
    return {c->left(), c->top()};
}

void putSettings(Harness& h, const QByteArray& cat, const QByteArray& phones, const QByteArray& apnames) {
    h.put(h.dataPath(u"cat.zvk"_s), cat);
    h.put(h.dataPath(u"phones.zvk"_s), phones);
    h.put(h.dataPath(u"apnames.zvk"_s), apnames);
}

using Program = StartedProgram;

TEST_F(Program, AFirstRunCreatesTheDataDirectoryKeepsEveryDesignValueAndSavesItAtTheEnd) {
    for (const char* file : {"phones.zvk", "cat.zvk", "apnames.zvk"}) {
        const QFileInfo info(h.dataPath(QString::fromLatin1(file)));
        EXPECT_TRUE(info.isFile() && info.size() == 0) << file;
    }
    EXPECT_EQ(main().Text1.text(), u"Jul 13"_s);
    for (int n = 0; n < 4; ++n) {
        const ChannelForm& w = channel(n + 1);
        EXPECT_EQ(main().enable[n]->back(), kCircuitOn);
        EXPECT_TRUE(main().indicator[n]->isEnabled() && w.enable.isVisible());
        EXPECT_EQ(main().flabel[n]->text() + u' ' + main().value[n]->text(), w.fname.text() + u" DIS"_s);
        EXPECT_FALSE(w.Timer1.isEnabled() || w.disable.isEnabled() || w.isVisible());
        EXPECT_EQ(main().pic[n]->width(), 20);
        // The name row's buttons are as tall as the name box; each meter's bar starts in its trough's corner.
        EXPECT_EQ(QList({w.setname.height(), w.enable.height(), w.disable.height()}),
                  QList<float>(3, w.fname.height()));
        EXPECT_EQ(place(main().pic[n]), place(main().trough[n]));
    }
    EXPECT_FALSE(z->zavoktimer->isVisible());
    h.scheduler.advance(2000);
    main().exit.click();
    EXPECT_EQ(h.bytes(h.dataPath(u"phones.zvk"_s)), Harness::phones());
    EXPECT_EQ(h.bytes(h.dataPath(u"cat.zvk"_s)) + h.bytes(h.dataPath(u"apnames.zvk"_s)), QByteArray());
    // The zones' first classification records their names, after the start record and before nothing else.
    EXPECT_EQ(h.logLines(), (QList<QByteArray>{kStart, "\"Pressure Normal at\",\"08:15:20 AM\",\"July 13,2001\"",
                                               "\"Volume Normal at\",\"08:15:20 AM\",\"July 13,2001\"",
                                               "\"Temperature Normal at\",\"08:15:20 AM\",\"July 13,2001\"",
                                               "\"Flow Normal at\",\"08:15:20 AM\",\"July 13,2001\"",
                                               "\"ZAVOK closed at\",\"08:15:22 AM\",\"July 13,2001\""}));
}

TEST(Startup, SavedSettingsComeBackIntoTheirControlsAndAreSavedAgainAsTheyWere) {
    Harness h;
    std::map<int, QString> saved{{0, u"/pictures/house.bmp"_s},
                                 {8, u"250"_s},           // mfsd4
                                 {10, u"90"_s},           // zavokform1 sethighl
                                 {25, u"Tank 1,north"_s}, // fname of channel 1
                                 {31, u"DISABLED"_s},     // enable3
                                 {35, u"2"_s},            // secs2
                                 {38, u"Tank 1,north"_s}, // the zone label of a renamed channel carries its name
                                 {42, u"42"_s},           // value1: channel 1 enabled
                                 {43, u"DIS"_s},          // value2
                                 {45, u"17"_s}};          // value4: the last line
    putSettings(h, "1440\r\n-120\r\n3\r\n4\r\n5\r\n6\r\n7.5\r\n8\r\n", Harness::phones(saved),
                "\"Front Door\"\r\n\"Garage Door\"\r\n\"T\"\r\n\"F\"\r\n");
    h.pictures.pictures.insert(u"/pictures/house.bmp"_s);
    Zavok& z = h.start();
    MainForm& form = *z.zavok;
    EXPECT_EQ(form.Image1.picture(), u"/pictures/house.bmp"_s);
    EXPECT_EQ((QStringList{form.mfsd[3]->text(), z.channel(1).sethighl.text(), z.channel(1).fname.text(),
                           z.zavoktimer->secs[2]->text(), form.clabel[1]->text()}),
              (QStringList{u"250"_s, u"90"_s, u"Tank 1,north"_s, u"2"_s, u"Garage Door"_s}));
    EXPECT_EQ(place(form.indicator[0]), QPointF(1440, -120));
    EXPECT_EQ(form.indicator[3]->left(), 7.5f);
    EXPECT_EQ(form.enable[2]->back(), kLightRed) << "a circuit switched off";
    EXPECT_EQ(h.told, QStringList()) << "a sound file is no damage";
    // Each circuit and each channel takes its own saved state: a channel on samples and offers DISABLE only.
    QString states;
    for (int n = 1; n <= 4; ++n) {
        const ChannelForm& w = z.channel(n);
        states += u"%1%2 %3%4%5|"_s.arg(int(form.indicator[n - 1]->isEnabled()))
                      .arg(int(form.alabel[n - 1]->isEnabled()))
                      .arg(int(w.Timer1.isEnabled()))
                      .arg(int(w.disable.isEnabled()))
                      .arg(int(w.enable.isEnabled()));
    }
    EXPECT_EQ(states, u"11 110|11 001|00 001|11 110|"_s);
    const QByteArray file = h.bytes(h.dataPath(u"phones.zvk"_s));
    z.shutdown();
    EXPECT_EQ(h.bytes(h.dataPath(u"phones.zvk"_s)), file) << "a hand-edited file comes back unchanged";

    // A channel switched on, and the program ended before its first value: it is on again at the next start.
    h.restart().channel(3).enable.click();
    h.z().shutdown();
    saved[40] = u"ENABLED"_s; // flabel3, until the channel's first classification
    saved[44] = QString();
    EXPECT_EQ(h.bytes(h.dataPath(u"phones.zvk"_s)), Harness::phones(saved));
    EXPECT_TRUE(h.restart().channel(3).Timer1.isEnabled());
}

TEST(Startup, EveryZoneSavedOnIsClassifiedBeforeTheFirstTick) {
    Harness h;
    std::map<int, QString> saved;
    for (int k = 0; k < 4; ++k) {
        saved[9 + 4 * k] = u"10"_s; // the channel's low limit
        saved[42 + k] = u"5"_s;     // its value: on, and below the limit
    }
    h.put(h.dataPath(u"phones.zvk"_s), Harness::phones(saved));
    Zavok& z = h.start();
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(z.zavok->flabel[k]->text(), u"LOW ALARM"_s) << "zone " << k + 1;
    }
}

// What cannot be used is skipped, the rest stands; a path that is no picture is kept in Label5.
TEST(Startup, DamagedOrUnusualSettingsFilesAreSkippedValueByValue) {
    const QByteArray junk = QByteArray(10 << 20, '\xff');
    struct Case {
        const char* name;
        QByteArray cat;
        QByteArray phones;
        QByteArray apnames = {};
        // What the row is about, once start-up is over; the rows without one only must not break anything.
        std::function<void(const Harness&, Zavok&)> check = {};
    };
    const Case cases[] = {
        {"binary", QByteArray("\0\1\2\3\xfe", 5), QByteArray("\"\0\"\r\n\x01\x02", 6)},
        {"ten megabytes", junk, junk, junk},
        {"huge and non-finite, and a path that is no picture",
         "1e999\r\nnan\r\n-1e39\r\ninf\r\n1e38\r\n2\r\n3\r\n4\r\n",
         "\"1e999\"\r\n",
         {},
         [](const Harness& h, Zavok& z) {
             EXPECT_EQ(h.bell.beeps, 0);
             EXPECT_EQ(z.zavok->Label5.text() + u' ' + z.zavok->Image1.picture(), u"1e999 "_s + kit::kFloorPlanPicture);
         }},
        {"unmatched quotes", "\"12\r\n", "\"/pic\r\n\"0\"\r\n"},
        {"text in numbers", "abc\r\n12abc\r\n\r\n\r\n", Harness::phonesFile({u"x"_s})},
        {"all three short: the missing fields read empty", "100\r\n200\r\n300\r\n",
         Harness::phonesFile(Harness::designPhones().mid(0, 10)), "\"Gate\"\r\n\"Shed\"\r\n",
         [](const Harness&, Zavok& z) {
             EXPECT_EQ(place(z.zavok->indicator[1]), QPointF(300, 0)) << "a position past the end becomes 0";
             EXPECT_EQ(z.zavok->indicator[3]->left(), 0);
             EXPECT_EQ((QStringList{z.zavok->clabel[1]->text(), z.zavok->clabel[2]->text(), z.channel(4).fname.text()}),
                       (QStringList{u"Shed"_s, {}, {}}));
             EXPECT_TRUE(z.channel(2).Timer1.isEnabled()) << "an empty value is not \"DIS\"";
         }},
        {"all three long: the lines past the layout are ignored",
         kDesignCat + "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n",
         Harness::phones({{8, u"250"_s}}) + QByteArray("\"extra\"\r\n").repeated(10),
         "\"A\"\r\n\"B\"\r\n\"C\"\r\n\"D\"\r\n\"E\"\r\n\"F\"\r\n",
         [](const Harness&, Zavok& z) {
             EXPECT_EQ(z.zavok->indicator[3]->top(), 4080);
             EXPECT_EQ(z.zavok->clabel[3]->text() + u'/' + z.zavok->mfsd[3]->text(), u"D/250"_s);
         }},
        {"NUL bytes: inside a text they are blanks, a number with one is skipped", QByteArray("1\0\r\n2\r\n", 7),
         Harness::phones({{25, QString::fromLatin1("Tank\0A", 6)}}), QByteArray("\"Side\0Door\"\r\n", 13),
         [](const Harness&, Zavok& z) {
             EXPECT_EQ(place(z.zavok->indicator[0]), QPointF(60, 2)) << "not a number: the design position stays";
             EXPECT_EQ(z.zavok->clabel[0]->text(), u"Side Door"_s) << "not circuit 1's design name";
             EXPECT_EQ(z.channel(1).fname.text(), u"Tank A"_s);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        putSettings(h, c.cat, c.phones, c.apnames);
        Zavok& z = h.start();
        for (kit::Label* indicator : z.zavok->indicator) {
            EXPECT_TRUE(std::isfinite(indicator->left()) && std::isfinite(indicator->top()));
        }
        if (c.check) {
            c.check(h, z);
        }
        h.scheduler.advance(1000); // monitoring runs on whatever was restored
        z.shutdown();
        EXPECT_EQ(h.bytes(h.dataPath(u"phones.zvk"_s)).count("\r\n"), 46);
    }
}

// Whatever start-up could not read as written, it reads so that no alarm goes unheard: the circuit takes its alert,
// the damage is told once and logged once, right after the start, and the file saved at the end is sound.
TEST(Startup, DamagedSettingsNeverSilenceAnAlarmAndAreSaidOnce) {
    const QByteArray design = Harness::phones();
    QByteArray random(4096, 0);
    QRandomGenerator generator(20);
    for (char& c : random) {
        c = char(generator.bounded(256));
    }
    struct Case {
        const char* name;
        QByteArray phones;
        bool damaged = true;
        QByteArray cat = {};
        QByteArray apnames = {};
        QString told = {}; // a part of what is told
        std::function<void(Zavok&)> check = {};
    };
    const Case cases[] = {
        {.name = "a trailing blank",
         .phones = Harness::phones({{29, u"ENABLED "_s}}),
         .told = u"phones.zvk, line 30 \"ENABLED \" read as \"ENABLED\""_s},
        {"lower case", Harness::phones({{29, u"enabled"_s}})},
        {"a word cut short", Harness::phones({{29, u"ENABLE"_s}})},
        {"empty", Harness::phones({{29, QString()}})},
        {.name = "a file cut in line 30",
         .phones = design.left(design.indexOf("\"ENABLED\"") + 4),
         .told = u"phones.zvk is not as ZAVOK writes it from line 30 on"_s},
        {"random bytes", random},
        {.name = "NUL bytes",
         .phones =
             Harness::phones({{25, QString::fromLatin1("Pres\0sure", 9)}, {29, QString::fromLatin1("ENA\0BLED", 8)}}),
         .told = u"from line 26 on"_s},
        {"one 3 MB line", QByteArray(3 << 20, 'E') + "\r\n"},
        {.name = "ten damaged lines: the first eight are told",
         .phones = Harness::phones({{9, u"a"_s},
                                    {10, u"a"_s},
                                    {11, u"a"_s},
                                    {12, u"a"_s},
                                    {13, u"a"_s},
                                    {14, u"a"_s},
                                    {29, u"x"_s},
                                    {30, u"x"_s},
                                    {31, u"x"_s},
                                    {32, u"x"_s}}),
         .told = u", 2 more damaged lines"_s},
        {.name = "a meter's full scale that reads as 0: the meter takes its design scale",
         .phones = Harness::phones({{2, u"20"_s}, {6, u"abc"_s}}),
         .check = [](Zavok& z) { EXPECT_EQ(z.zavok->mzero[1]->text() + u'/' + z.zavok->mfsd[1]->text(), u"0/100"_s); }},
        {.name = "a high alarm that is no number",
         .phones = Harness::phones({{10, u"9O"_s}}),
         .check = [](Zavok& z) { EXPECT_EQ(z.channel(1).sethighl.text(), u"100"_s); }},
        {.name = "a sampling time not offered",
         .phones = Harness::phones({{33, u"0"_s}}),
         .check = [](Zavok& z) { EXPECT_EQ(z.zavoktimer->secs[0]->text(), u"0.1"_s); }},
        {.name = "a sampling time offered is kept",
         .phones = Harness::phones({{33, u"2"_s}}),
         .damaged = false,
         .check = [](Zavok& z) { EXPECT_EQ(z.zavoktimer->secs[0]->text(), u"2"_s); }},
        {.name = "cat.zvk and apnames.zvk, told on the same line",
         .phones = design,
         .cat = "60\r\nabc\r\n",
         .apnames = "\"Gate\"\r\n",
         .check = [](Zavok& z) { EXPECT_EQ(z.zavok->indicator[0]->top(), 3180) << "what is no number is skipped"; }},
        {"a sound file", design, false},
        {"an empty file", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        putSettings(h, c.cat, c.phones, c.apnames);
        Zavok& z = h.start();
        const QList<QByteArray> started = h.messages(0);
        EXPECT_EQ(started.count("\"Settings damaged at\""), c.damaged ? 1 : 0);
        EXPECT_EQ(h.told.size(), c.damaged ? 1 : 0) << h.told.join(u'\n').toStdString();
        if (c.damaged) {
            EXPECT_EQ(started.value(1), "\"Settings damaged at\"") << "right after the start";
            const QString& told = h.told.value(0);
            EXPECT_TRUE(told.contains(c.told)) << told.toStdString();
            EXPECT_TRUE(std::none_of(told.begin(), told.end(), [](QChar ch) { return ch < u' '; }));
            EXPECT_LT(told.size(), 2000);
        }
        if (c.check) {
            c.check(z);
        }
        h.poll(240 - 16);
        EXPECT_EQ(z.zavok->alabel[0]->back(), kLightRed);
        EXPECT_EQ(h.messages(0).last(), "\"Alert #1 activated at\"");
        z.shutdown();
        EXPECT_EQ(kit::readFields(h.bytes(h.dataPath(u"phones.zvk"_s)), 46).at(29), u"ENABLED"_s);
        h.told.clear();
        h.restart();
        EXPECT_FALSE(h.told.join(u'\n').contains(u"phones.zvk"_s))
            << "what was saved reads back sound" << h.told.join(u'\n').toStdString();
    }
}

// Even for root; the steps after the broken one still run.
TEST(Startup, SettingsFilesThatCannotBeOpenedAreSkippedWithoutWaiting) {
    const auto& [fifo, directory, link] = kObstacles;
    const std::pair<Obstacle, QByteArray> cases[] = {{fifo, "cat.zvk"},     {fifo, "phones.zvk"},
                                                     {fifo, "apnames.zvk"}, {link, "phones.zvk"},
                                                     {link, "apnames.zvk"}, {directory, "apnames.zvk"}};
    for (const auto& [obstacle, file] : cases) {
        SCOPED_TRACE(std::string(obstacle.name) + " " + file.constData());
        Harness h;
        putSettings(h, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n", Harness::phones({{8, u"250"_s}}),
                    "\"A\"\r\n\"B\"\r\n\"C\"\r\n\"D\"\r\n");
        const QByteArray path = QFile::encodeName(h.dataPath(QString::fromLatin1(file)));
        ASSERT_EQ(::unlink(path.constData()), 0);
        ASSERT_EQ(obstacle.make(path.constData()), 0);
        Zavok& z = h.start();
        EXPECT_EQ(z.zavok->indicator[3]->top(), file == "cat.zvk" ? 4080 : 8);
        EXPECT_EQ(z.zavok->clabel[3]->text(), file == "apnames.zvk" ? u"Freezer Alarm"_s : u"D"_s);
        EXPECT_EQ(z.zavok->mfsd[3]->text(), file == "phones.zvk" ? u"100"_s : u"250"_s);
        EXPECT_EQ(h.bell.beeps, file == "phones.zvk" ? 0 : 1);
        z.labname(); // neither may these wait on the FIFO
        z.catfile();
        z.shutdown();
    }
}

TEST(Startup, WithoutADataDirectoryTheProgramStillStartsAndLogs) {
    Harness h;
    h.put(h.root.filePath(u"data"_s), "a file where the directory's parent should be");
    h.start().shutdown(); // nothing can be read or written; the program starts and ends all the same
    EXPECT_EQ(h.logLines().first(), kStart);
    EXPECT_EQ(h.logLines().last(), "\"ZAVOK closed at\",\"08:15:20 AM\",\"July 13,2001\"");
}

TEST_F(Program, ShutdownRunsOnceWhicheverTriggerComesFirst) {
    int ended = 0;
    z->onEnded = [&] { ++ended; };
    main().requestClose();
    EXPECT_EQ(ended, 1) << "the close box";
    main().exit.click();
    z->shutdown();
    for (kit::Window* w : z->desktop.windows()) {
        for (kit::Timer* t : w->timers()) {
            EXPECT_FALSE(t->isRunning()) << qPrintable(w->name()) << " " << qPrintable(t->name());
        }
    }
    h.zavok.reset(); // destruction after an orderly shutdown adds nothing
    EXPECT_EQ(h.logLines().join('\n').count("\"ZAVOK closed at\""), 1);
}

// Runs of one day share its log; a run that ends after midnight writes its end to the new day's.
TEST(Shutdown, EachRecordGoesToTheLogOfItsDay) {
    Harness h;
    h.start().shutdown();
    h.zavok.reset();
    h.scheduler.advance(60'000);
    h.start();
    h.zavok.reset(); // destruction without any trigger shuts down too, once
    QList<QByteArray> log;
    for (const QByteArray& l : h.logLines()) {
        if (l.startsWith("\"ZAVOK")) {
            log.append(l.chopped(15)); // without the date, ,"July 13,2001"
        }
    }
    EXPECT_EQ(log, (QList<QByteArray>{"\"ZAVOK started at\",\"08:15:20 AM\"", "\"ZAVOK closed at\",\"08:15:20 AM\"",
                                      "\"ZAVOK started at\",\"08:16:20 AM\"", "\"ZAVOK closed at\",\"08:16:20 AM\""}));
    h.clock.setStart(QDateTime(QDate(2026, 1, 4), QTime(23, 59, 59)).addMSecs(-h.scheduler.now()));
    Zavok& z = h.start();
    h.scheduler.advance(1000);
    z.shutdown();
    EXPECT_EQ(h.logLines(u"Jan 05"_s), QList<QByteArray>{"\"ZAVOK closed at\",\"12:00:00 AM\",\"January 05,2026\""});
}

// The writers replace a file rather than rewrite it in place: a hard link to the old file keeps seeing the old content
// whole, since the new file was written beside it and took its name only once complete.
TEST_F(Program, SettingsWritersReplaceTheirWholeFiles) {
    const QString cat = h.dataPath(u"cat.zvk"_s);
    z->catfile();
    const QString link = h.root.filePath(u"old-cat"_s);
    ASSERT_EQ(::link(QFile::encodeName(cat).constData(), QFile::encodeName(link).constData()), 0);
    main().indicator[2]->setLeft(1000);
    main().indicator[2]->setTop(140.5f);
    z->catfile();
    EXPECT_EQ(h.bytes(cat), "60\r\n3180\r\n60\r\n3480\r\n1000\r\n140.5\r\n60\r\n4080\r\n");
    EXPECT_EQ(h.bytes(link), kDesignCat);
}

TEST_F(Program, ActivityLogObserversHearEveryRecordAsWrittenAlsoOneTheFileCouldNotTake) {
    std::vector<QStringList> heard;
    z->log.observe([&](const ActivityLog::Record& r) { heard.push_back({r.message, r.time, r.date}); });
    channel(2).fname.setText(u"Tank \u00f6"_s);
    channel(2).setname.setVisible(true);
    channel(2).setname.click();
    ASSERT_TRUE(QDir(h.logDirectory).removeRecursively());
    h.poll(240 - 16);
    EXPECT_EQ(heard, (std::vector<QStringList>{{u"Tank \u00f6 Normal at"_s, u"08:15:20 AM"_s, u"July 13,2001"_s},
                                               {u"Alert #1 activated at"_s, u"08:15:20 AM"_s, u"July 13,2001"_s}}));
    h.zavok.reset(); // the program's end is heard too, while `heard` still exists
}

TEST_F(Program, ZoneFrameAndZoneLabelOpenTheChannelWindow) {
    main().frame[1]->click();
    EXPECT_TRUE(channel(2).isVisible() && channel(2).changealarm.hasFocus());
    channel(3).fname.setFocus();
    main().flabel[2]->click();
    EXPECT_TRUE(channel(3).isVisible() && channel(3).fname.hasFocus())
        << "the zone label leaves the focus where it was";
    // While an alarm entry is open CHANGE is hidden: the low entry box takes the focus instead.
    channel(4).changealarm.click();
    main().frame[3]->click();
    EXPECT_TRUE(channel(4).isVisible() && channel(4).setnewlowt.hasFocus());
}

// What the program shows outside its window follows the alarms as the subsystems hold them, and each alarm, zone
// alarm or calibration error and each fault and its end is told once, in its record's words and time.
TEST_F(Program, TheAlarmWatchFollowsTheAlarmsAndTellsEachAlarmRecordOnce) {
    using State = AlarmWatch::State;
    AlarmWatch watch(*z);
    QStringList told;
    QObject::connect(&watch, &AlarmWatch::told, [&](const AlarmWatch::News& news) {
        const QList<QByteArray> fields = h.logLines().last().split(',');
        EXPECT_EQ(news.text.toLatin1(), fields.at(0).sliced(1).chopped(1) + ' ' + fields.at(1).sliced(1).chopped(1));
        told << news.text.section(u" at "_s, 0, 0) + u'|' + news.detail;
    });
    const std::tuple<const char*, std::function<void()>, State, QString, QString> steps[] = {
        {"alert 1", [&] { h.poll(240 - 16); }, State::Alarm, u"Alert #1 active: Front Door"_s,
         u"Alert #1 activated|Front Door"_s},
        {"alert 4 too", [&] { h.poll(240 - 16 - 128); }, State::Alarm,
         u"Alert #1 active: Front Door\nAlert #4 active: Freezer Alarm"_s, u"Alert #4 activated|Freezer Alarm"_s},
        {"circuit 4 off", [&] { main().enable[3]->click(); }, State::Alarm, u"Alert #1 active: Front Door"_s, {}},
        {"circuit 1 off", [&] { main().enable[0]->click(); }, State::Quiet, AlarmWatch::kQuiet, {}},
        {"circuit 1 on", [&] { main().enable[0]->click(); }, State::Alarm, u"Alert #1 active: Front Door"_s,
         u"Alert #1 activated|Front Door"_s},
        {"alerts at rest", [&] { h.poll(240); }, State::Quiet, AlarmWatch::kQuiet, {}},
        {"zone 2 high", [&] { main().flabel[1]->setText(u"HIGH ALARM"_s); }, State::Alarm, u"Volume High Alarm"_s,
         u"Volume High Alarm|"_s},
        {"zone 2 calibration", [&] { main().flabel[1]->setText(u"L.CAL ERROR"_s); }, State::Alarm,
         u"Volume Low Calibration Error"_s, u"Volume Low Calibration Error|"_s},
        {"input fault", [&] { h.port.faultText = u"no pad"_s, h.poll(240); }, State::Alarm,
         u"Volume Low Calibration Error\nInput fault: no pad"_s, u"Input fault|no pad"_s},
        {"zone 2 normal", [&] { main().flabel[1]->setText(u"Volume"_s); }, State::Fault, u"Input fault: no pad"_s, {}},
        {"another fault", [&] { h.port.faultText = u"gone"_s, h.poll(240); }, State::Fault, u"Input fault: gone"_s, {}},
        {"restored", [&] { h.port.faultText.clear(), h.poll(240); }, State::Quiet, AlarmWatch::kQuiet,
         u"Input restored|"_s},
    };
    for (const auto& [step, act, state, standing, news] : steps) {
        SCOPED_TRACE(step);
        told.clear();
        act();
        EXPECT_EQ(watch.state(), state);
        EXPECT_EQ(watch.standing().join(u'\n'), standing);
        EXPECT_EQ(told.join(u'\n'), news);
    }
}

TEST_F(Program, LogWindowLoadsClearsAndIsDiscardedWhenClosed) {
    const QString day = h.logPath(u"Jul 13"_s);
    main().log.click();
    ASSERT_TRUE(z->zavoklog && z->zavoklog->isVisible());
    LogForm* log = z->zavoklog.get();
    const auto load = [&](std::optional<QString> path) {
        h.dialogs.answerFile(std::move(path));
        log->Command1.click();
        return log->Text1.text();
    };
    EXPECT_EQ(load(day), logText(h.bytes(day)));
    // The day goes on in the window: each record joins the text as it is written, also to a file that another hand
    // writes to (a CR LF cut in two, a last line without its end) or writes anew.
    int contacts = 240;
    const auto record = [&] { h.poll(contacts ^= 16); };
    record();
    EXPECT_TRUE(log->Text1.text().endsWith(u"\r\n\"Alert #1 activated at\",\"08:15:20 AM\",\"July 13,2001\""_s));
    EXPECT_EQ(log->Text1.text(), logText(h.bytes(day)));
    const QString other = h.root.filePath(u"Jan 05.txt"_s);
    const std::tuple<QByteArray, QByteArray, bool> grown[] = {
        {"", "a\r\n", false},     {"a\r\n", "b\r\n", false}, {"a\r", "\nb\r\n", false},         {"a\r", "\n", false},
        {"a", "b\r\nc\r", false}, {"a\r\n\r\n", "b", false}, {"long\r\nday\r\n", "x\r\n", true}};
    for (const auto& [before, after, anew] : grown) {
        h.put(other, before);
        load(other);
        h.put(other, anew ? after : before + after);
        record();
        EXPECT_EQ(log->Text1.text(), logText(anew ? after : before + after)) << before.toStdString();
    }
    log->Command2.click();
    record();
    EXPECT_EQ(log->Text1.text(), QString()) << "a cleared window follows no file";
    const kit::OpenFileRequest& asked = h.dialogs.fileRequests.at(0);
    EXPECT_EQ(asked.initialDirectory, h.logDirectory) << "where the logs are written";
    EXPECT_EQ(std::pair(asked.filterIndex, asked.mustExist), std::pair(1, true));
    EXPECT_EQ(load(std::nullopt), QString()) << "cancelled: the box is emptied all the same";
    load(day);
    log->Command2.click();
    EXPECT_EQ(log->Text1.text(), QString());
    load(day);
    log->requestClose();
    main().log.click();
    EXPECT_EQ(z->zavoklog->Text1.text(), QString());
    main().help.click();
    ASSERT_TRUE(z->zavokhelp && z->zavokhelp->isVisible());
    z->zavokhelp->requestClose();
    EXPECT_FALSE(z->zavokhelp) << "the help window is discarded as well";
}

TEST_F(Program, ThePictureKeepsEvenThePathOfANonPictureAndAnIndicatorDroppedOnItSavesEveryPosition) {
    const auto choose = [this](std::optional<QString> path) -> QString {
        h.dialogs.answerFile(std::move(path));
        main().image.click();
        return main().Label5.text() + u'|' + main().Image1.picture();
    };
    EXPECT_EQ(choose(std::nullopt), u'|' + kit::kFloorPlanPicture);
    const kit::OpenFileRequest& asked = h.dialogs.fileRequests.at(0);
    EXPECT_EQ(asked.initialDirectory, h.picturesDirectory);
    EXPECT_EQ(std::pair(asked.filterIndex, asked.mustExist), std::pair(1, true));
    EXPECT_EQ(choose(u"/notes.txt"_s), u"/notes.txt|"_s + kit::kFloorPlanPicture);
    h.pictures.pictures.insert(u"/house.jpg"_s);
    EXPECT_EQ(choose(u"/house.jpg"_s), u"/house.jpg|/house.jpg"_s);
    // Saved as its file name's bytes, the path comes back in any script; one that phones.zvk cannot hold is refused.
    const QString plan = h.picturesDirectory + u"/план.png"_s;
    EXPECT_EQ(choose(plan), plan + u"|/house.jpg"_s);
    EXPECT_EQ(choose(u"/a\"b.png"_s), plan + u"|/house.jpg"_s);
    EXPECT_EQ(h.dialogs.asked.back().text,
              u"The settings files cannot keep these characters: \"\nThe picture stays \"%1\"."_s.arg(plan));
    z = &h.restart();
    EXPECT_EQ(main().Label5.text(), plan);
    EXPECT_TRUE(h.bytes(h.dataPath(u"phones.zvk"_s)).startsWith(QByteArray('"' + plan.toUtf8() + "\"\r\n")));
    // The Latin-1 path of an older file reads as it did: a file it names is found, and one that is gone stays.
    const QString kitchen = h.picturesDirectory + u"/Küche.png"_s;
    h.put(kitchen, "");
    for (const QString& old : {kitchen, u"/gone/Küche.png"_s}) {
        h.zavok.reset();
        h.put(h.dataPath(u"phones.zvk"_s), Harness::phones({{0, old}}));
        z = &h.start();
        EXPECT_EQ(main().Label5.text(), old);
    }
    main().Image1.dropped(*main().indicator[1], 1000, 500);
    EXPECT_EQ(h.bytes(h.dataPath(u"cat.zvk"_s)), "60\r\n3180\r\n1000\r\n500\r\n60\r\n3780\r\n60\r\n4080\r\n");
    main().enable[2]->click(); // circuit 3 off: its indicator cannot be dragged
    main().Image1.dropped(*main().indicator[2], 10, 10);
    EXPECT_EQ(main().indicator[2]->left(), 60);
}

// A meter's trough and its bar open the zone's trend where the program has trend windows, and their tip says so
// under the trough's own line; without them the meters keep their design and take no clicks.
TEST(MeterTrend, TroughAndBarOpenTheirZonesTrendOnlyWhereThereAreTrendWindows) {
    for (const bool desktop : {true, false}) {
        SCOPED_TRACE(desktop ? "desktop" : "service");
        Harness h;
        std::vector<int> opened;
        if (desktop) {
            h.showTrend = [&opened](int channel) { opened.push_back(channel); };
        }
        MainForm& form = *h.start().zavok;
        for (int k = 1; k <= 4; ++k) {
            const QString design = u"Displays Analogue value #%1"_s.arg(k);
            EXPECT_EQ(form.trough[k - 1]->tip(), desktop ? design + u"\nClick to see the trend"_s : design);
            EXPECT_EQ(form.pic[k - 1]->tip(), desktop ? form.trough[k - 1]->tip() : QString());
            form.trough[k - 1]->click();
            form.pic[k - 1]->click();
        }
        EXPECT_EQ(opened, (desktop ? std::vector{1, 1, 2, 2, 3, 3, 4, 4} : std::vector<int>{}));
    }
}

} // namespace
} // namespace zavok::test
