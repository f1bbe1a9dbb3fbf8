#include "harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace zavok::test {

QDateTime Harness::defaultStart() {
    return QDateTime(QDate(2001, 7, 13), QTime(8, 15, 20));
}

Harness::Harness()
    : dataDirectory(root.filePath(QStringLiteral("data/zavok")))
    , logDirectory(root.filePath(QStringLiteral("work")))
    , picturesDirectory(root.filePath(QStringLiteral("Pictures")))
    , clock(scheduler, defaultStart()) {
    QDir().mkpath(logDirectory);
}

Zavok& Harness::start() {
    if (!zavok) {
        zavok = std::make_unique<Zavok>(Platform{scheduler, clock, QLocale(QLocale::English, QLocale::UnitedStates),
                                                 *dialogsInUse, bell, pictures, *portInUse, *joysticksInUse,
                                                 dataDirectory, logDirectory, picturesDirectory, showTrend});
        if (beforeStartup) {
            beforeStartup(*zavok);
        }
    }
    zavok->startup();
    return *zavok;
}

QString Harness::dataPath(const QString& file) const {
    return QDir(dataDirectory).filePath(file);
}

QString Harness::logPath(const QString& logday) const {
    return QDir(logDirectory).filePath(logday + QStringLiteral(".txt"));
}

QByteArray Harness::bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Harness::put(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(content);
}

QList<QByteArray> Harness::logLines(const QString& logday) const {
    QByteArray content = bytes(logPath(logday));
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    for (QByteArray& l : lines) {
        EXPECT_TRUE(l.endsWith('\r')) << "every record ends with CR LF";
        l.chop(1);
    }
    return lines;
}

QList<QByteArray> Harness::messages(qsizetype first) const {
    QList<QByteArray> out;
    const auto lines = logLines();
    for (qsizetype i = first; i < lines.size(); ++i) {
        out.append(lines[i].left(lines[i].indexOf("\",\"") + 1));
    }
    return out;
}

QByteArray Harness::phonesFile(const QStringList& texts) {
    QByteArray out;
    for (const QString& t : texts) {
        out += '"' + t.toLatin1() + "\"\r\n";
    }
    return out;
}

QStringList Harness::designPhones() {
    QStringList t{QString()};
    t << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0");
    t << QStringLiteral("100") << QStringLiteral("100") << QStringLiteral("100") << QStringLiteral("100");
    for (int c = 0; c < 4; ++c) {
        t << QStringLiteral("0") << QStringLiteral("100") << QStringLiteral("0") << QStringLiteral("65500");
    }
    const QStringList names{QStringLiteral("Pressure"), QStringLiteral("Volume"), QStringLiteral("Temperature"),
                            QStringLiteral("Flow")};
    t << names;
    for (int c = 0; c < 4; ++c) {
        t << QStringLiteral("ENABLED");
    }
    t << QStringLiteral("0.1") << QStringLiteral("0.5") << QStringLiteral("0.5") << QStringLiteral("0.5")
      << QStringLiteral("0.5");
    t << names; // the zone labels carry the names after start-up
    for (int c = 0; c < 4; ++c) {
        t << QStringLiteral("DIS");
    }
    return t;
}

} // namespace zavok::test
