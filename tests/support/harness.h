#pragma once

#include "app/zavok.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace zavok::test {

inline constexpr kit::Rgb kLightRed{255, 0, 0};

// What can stand where the program expects a file, even for root: a FIFO (an ordinary open of it waits for the
// other end), a directory, and a link into a directory that is not there.
struct Obstacle {
    const char* name;
    int (*make)(const char* path);
};
inline const Obstacle kObstacles[] = {
    {"FIFO", [](const char* path) { return ::mkfifo(path, 0600); }},
    {"directory", [](const char* path) { return ::mkdir(path, 0700); }},
    {"dangling link", [](const char* path) { return ::symlink("/nonexistent-zavok-test/file", path); }}};

// The whole program on a virtual scheduler, with a fixed English clock, scripted inputs and dialogs, and a
// temporary data directory and working directory.
class Harness {
public:
    static QDateTime defaultStart() { return {QDate(2001, 7, 13), QTime(8, 15, 20)}; }

    Harness() { QDir().mkpath(logDirectory); }

    // Builds the program once, so that a test can start it again after a shutdown.
    Zavok& start() {
        if (!zavok) {
            zavok = std::make_unique<Zavok>(Platform{scheduler, clock, QLocale(QLocale::English, QLocale::UnitedStates),
                                                     *dialogsInUse, bell, pictures, *portInUse, *joysticksInUse,
                                                     dataDirectory, logDirectory, picturesDirectory, showTrend,
                                                     [this](const QString& line) { told << line; }});
            if (beforeStartup) {
                beforeStartup(*zavok);
            }
        }
        zavok->startup();
        return *zavok;
    }
    Zavok& z() { return *zavok; }
    // The contacts the game port reads from now on, taken in by the next poll tick.
    void poll(qint16 contacts) {
        port.value = contacts;
        scheduler.advance(zavok->zavok->Timer1.interval());
    }
    // A new program on what the last one saved; destroying it ends the last run in order.
    Zavok& restart() {
        zavok.reset();
        return start();
    }

    QString dataPath(const QString& file) const { return QDir(dataDirectory).filePath(file); }
    QString logPath(const QString& day) const { return QDir(logDirectory).filePath(day + QStringLiteral(".txt")); }
    // Empty when the file is missing.
    static QByteArray bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void put(const QString& path, const QByteArray& content) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        f.write(content);
    }
    // phones.zvk as the program writes it, from its 46 texts.
    static QByteArray phonesFile(const QStringList& texts) {
        return '"' + texts.join(QStringLiteral("\"\r\n\"")).toLatin1() + "\"\r\n";
    }
    // The 46 texts a fresh start-up saves: the alert and channel settings, then the zone labels, which carry the
    // channels' names after start-up.
    static QStringList designPhones() {
        const QString names = QStringLiteral("Pressure|Volume|Temperature|Flow");
        const QString texts = QStringLiteral("|0|0|0|0|100|100|100|100|") +
                              QStringLiteral("0|100|0|65500|").repeated(4) + names +
                              QStringLiteral("|ENABLED|ENABLED|ENABLED|ENABLED|0.1|0.5|0.5|0.5|0.5|") + names +
                              QStringLiteral("|DIS|DIS|DIS|DIS");
        return texts.split(u'|');
    }
    // phones.zvk as a fresh start-up saves it, but for the texts that `changes` puts on its lines (from 0).
    static QByteArray phones(const std::map<int, QString>& changes = {}) {
        QStringList saved = designPhones();
        for (const auto& [line, text] : changes) {
            saved[line] = text;
        }
        return phonesFile(saved);
    }

    // Without their CR LF.
    QList<QByteArray> logLines(const QString& day = QStringLiteral("Jul 13")) const {
        QList<QByteArray> lines = bytes(logPath(day)).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) {
            lines.removeLast();
        }
        for (QByteArray& l : lines) {
            EXPECT_TRUE(l.endsWith('\r')) << "every record ends with CR LF";
            l.chop(1);
        }
        return lines;
    }
    // The message fields, quotes kept, from the `first`th record on.
    QList<QByteArray> messages(qsizetype first) const {
        QList<QByteArray> out;
        for (const QByteArray& line : logLines().mid(first)) {
            out.append(line.left(line.indexOf("\",\"") + 1));
        }
        return out;
    }

    QTemporaryDir root;
    QString dataDirectory = root.filePath(QStringLiteral("data/zavok"));
    QString logDirectory = root.filePath(QStringLiteral("work"));
    QString picturesDirectory = root.filePath(QStringLiteral("Pictures"));
    kit::VirtualScheduler scheduler;
    VirtualClock clock{scheduler, defaultStart()};
    ScriptedDialogs dialogs;
    CountingBell bell;
    FakePictures pictures;
    ScriptedPort port;
    ScriptedJoysticks joysticks;
    // What start() hands the program: the scripted ones above unless a test brings real adapters.
    kit::Dialogs* dialogsInUse = &dialogs;
    kit::GamePort* portInUse = &port;
    kit::Joysticks* joysticksInUse = &joysticks;
    // The desktop's trend windows, which the program has only when this is set.
    std::function<void(int channel)> showTrend;
    // Runs once the program is made and before it starts up: where observers such as the history join it.
    std::function<void(Zavok&)> beforeStartup;
    // Every line the program said for standard error.
    QStringList told;
    std::unique_ptr<Zavok> zavok;
};

} // namespace zavok::test
