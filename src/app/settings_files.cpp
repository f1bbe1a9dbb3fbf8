#include "settings_files.h"

#include "kit/line_encoding.h"
#include "kit/open_without_waiting.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

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

std::optional<QStringList> SettingsFiles::read(const QString& file, int count) const {
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
    const QByteArray data = f.read(kMostBytesRead);
    if (f.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return kit::readFields(data, count);
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
