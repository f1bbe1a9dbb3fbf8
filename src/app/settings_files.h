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

    // What each line of a file holds: a quoted text (phones.zvk, apnames.zvk) or a bare number (cat.zvk).
    enum class Fields { Texts, Numbers };
    // One line of a file, as the writers write it. A text's NULs are written as blanks.
    static QByteArray textLine(const QString& text);
    static QByteArray numberLine(float number);
    // A file's path as its own bytes, so that any file comes back by its name, and the path that such a line,
    // read as text, names. Files written before kept the path as Latin-1 text: where that names a file and the
    // bytes do not, the Latin-1 path it is.
    static QByteArray fileNameLine(const QString& path);
    static QString fileName(const QString& field);

    struct Contents {
        QStringList values;
        // 0 when the file is exactly what the writers make of these values; otherwise the first line (from 1) that is
        // not: another number of lines, a line that is not one field of its kind, anything after the last CR LF, a
        // NUL byte. Such a file was damaged or edited by hand, and what was read of it may not be what was meant.
        int damagedFrom = 0;
    };

    // Creates the file empty when it is missing, then reads its first `count` values. A NUL in a text, which no
    // writer writes, is read as a blank. Nothing when the file is empty or cannot be created or read: then the
    // controls keep their design-time values.
    std::optional<Contents> read(const QString& file, int count, Fields fields) const;

    // Replaces the file as a whole: the new content goes to a temporary file that takes the old one's place only
    // once complete, so a crash or a full disk leaves the old file whole. False when that failed.
    bool write(const QString& file, const QByteArray& content) const;

private:
    QString directory_;
};

} // namespace zavok
