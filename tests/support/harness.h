#pragma once

#include "app/zavok.h"
#include "support/fakes.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace zavok::test {

// The whole program on a virtual scheduler, with a fixed English clock, scripted inputs and dialogs, and a
// temporary data directory and working directory.
class Harness {
public:
    // 13 July 2001, 08:15:20 in the morning, unless a test moves it.
    static QDateTime defaultStart();

    Harness();

    // Builds the program (once) and runs its start-up.
    Zavok& start();
    Zavok& z() { return *zavok; }

    QString dataPath(const QString& file) const;
    QString logPath(const QString& logday) const;
    // The file's bytes, or an empty array when it is missing.
    static QByteArray bytes(const QString& path);
    static void put(const QString& path, const QByteArray& content);
    // phones.zvk as the program writes it, from its 46 texts; and the texts a fresh start-up saves.
    static QByteArray phonesFile(const QStringList& texts);
    static QStringList designPhones();

    // The lines of the log file of the given day, each without its CR LF.
    QList<QByteArray> logLines(const QString& logday = QStringLiteral("Jul 13")) const;
    // The message fields, quotes kept, of the day's records from the `first`th on.
    QList<QByteArray> messages(qsizetype first) const;

    QTemporaryDir root;
    QString dataDirectory;
    QString logDirectory;
    QString picturesDirectory;
    kit::VirtualScheduler scheduler;
    VirtualClock clock;
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
    std::unique_ptr<Zavok> zavok;
};

} // namespace zavok::test
