#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace zavok {

// The three settings files in the data directory.
class SettingsFiles {
public:
    explicit SettingsFiles(QString dataDirectory) : directory_(std::move(dataDirectory)) {}

    static const QString kPhones;  // phones.zvk: the main settings, written at shutdown
    static const QString kCat;     // cat.zvk: the indicator positions
    static const QString kApnames; // apnames.zvk: the alert circuit names

    const QString& directory() const { return directory_; }
    QString path(const QString& file) const;

    // Creates the file empty when it is missing, then reads its first `count` values. Nothing when the file is
    // empty or cannot be created or read: then the controls keep their design-time values.
    std::optional<QStringList> read(const QString& file, int count) const;

    // Replaces the file as a whole: the new content goes to a temporary file that takes the old one's place only
    // once complete, so a crash or a full disk leaves the old file whole. False when that failed.
    bool write(const QString& file, const QByteArray& content) const;

private:
    QString directory_;
};

} // namespace zavok
