#include "settings_files.h"

#include "ui/kit/line_encoding.h"

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
    QFile f(path(file));
    if (!f.open(QIODevice::Append)) {
        return std::nullopt;
    }
    f.close();
    if (!f.open(QIODevice::ReadOnly) || f.size() <= 0) {
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
    if (f.write(content) != content.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace zavok
