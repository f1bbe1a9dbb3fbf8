#include "settings_files.h"

#include "kit/line_encoding.h"
#include "kit/numbers.h"
#include "kit/open_without_waiting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace zavok {

const QString SettingsFiles::kPhones = QStringLiteral("phones.zvk");
const QString SettingsFiles::kCat = QStringLiteral("cat.zvk");
const QString SettingsFiles::kApnames = QStringLiteral("apnames.zvk");

namespace {

// Far more than any sound settings file holds (46 short lines); a damaged file of any size costs no more.
constexpr qint64 kMostBytesRead = 1 << 20;

} // namespace

QString SettingsFiles::path(const QString& file) const {
    return QDir(directory_).filePath(file);
}

QByteArray SettingsFiles::textLine(const QString& text) {
    // A NUL is what a crash leaves where a block of the file never reached the disk; no writer writes one, so that
    // a file that holds one can be known as damaged.
    QString safe = text;
    return kit::quotedLine({safe.replace(QChar(0), QChar(u' '))});
}

QByteArray SettingsFiles::numberLine(float number) {
    return kit::line({kit::singleText(number).toLatin1()});
}

QByteArray SettingsFiles::fileNameLine(const QString& path) {
    // One Latin-1 character per byte writes the bytes as they are.
    return textLine(QString::fromLatin1(QFile::encodeName(path)));
}

QString SettingsFiles::fileName(const QString& field) {
    const QByteArray bytes = field.toLatin1();
    const QString named = QFile::decodeName(bytes);
    const bool isName = QFile::encodeName(named) == bytes; // Latin-1 text beyond ASCII is seldom a name's bytes
    return isName && (QFileInfo::exists(named) || !QFileInfo::exists(field)) ? named : field;
}

std::optional<SettingsFiles::Contents> SettingsFiles::read(const QString& file, int count, Fields fields) const {
    {
        // Creates the file when it is missing. On a read-only data directory this fails, and the settings that are
        // there are still read: the user sees them, and nothing can overwrite them anyway.
        QFile created;
        kit::openWithoutWaiting(created, path(file), QIODevice::WriteOnly | QIODevice::Append);
    }
    QFile f;
    if (!kit::openWithoutWaiting(f, path(file), QIODevice::ReadOnly) || f.size() <= 0) {
        return std::nullopt;
    }
    // No more asked for than the file holds: a buffer made at the most a read may take would be the largest
    // allocation of the start, and would leave the allocator keeping that much heap for good.
    QByteArray data = f.read(std::min(f.size(), kMostBytesRead));
    if (f.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    const bool whole = f.atEnd();
    if (!whole) {
        // The line the read stops in is not there whole: it, and what follows, are past the end of what was read.
        data.truncate(data.lastIndexOf('\n') + 1);
    }
    Contents contents{kit::readFields(data, count)};
    // The writers' own encoding of what was read gives back the file's bytes exactly when the file is as they wrote
    // it.
    QByteArray rewritten;
    for (QString& value : contents.values) {
        if (fields == Fields::Texts) {
            rewritten += textLine(value);
            value.replace(QChar(0), QChar(u' '));
        } else {
            rewritten += numberLine(float(kit::prefixValue(value)));
        }
    }
    if (!whole || rewritten != data) {
        qsizetype same = 0;
        while (same < data.size() && same < rewritten.size() && data.at(same) == rewritten.at(same)) {
            ++same;
        }
        contents.damagedFrom = int(data.first(same).count('\n')) + 1;
    }
    return contents;
}

bool SettingsFiles::write(const QString& file, const QByteArray& content) const {
    QSaveFile f(path(file));
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    // The flush is checked here because commit() does not see an error that only shows when the buffer goes to
    // the disk: on a full disk it would put an empty or cut file in the old one's place.
    if (f.write(content) != content.size() || !f.flush()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace zavok
