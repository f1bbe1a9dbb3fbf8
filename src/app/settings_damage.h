#pragma once

#include <QList>
#include <QString>

namespace zavok {

// What start-up found damaged in the settings files, and what it made of each damaged line: collected while the
// files are read, and said once they all have been.
class SettingsDamage {
public:
    static const QString kRecord; // the activity-log record of a start on damaged settings

    // The file `name` is not as the program writes it from line `line` (from 1) on.
    void notAsWritten(const QString& name, int line);
    // Line `line` (from 1) of the file `name` held `found`; `done` says what start-up made of it.
    void damagedLine(const QString& name, int line, const QString& found, const QString& done);
    // The same, for a line that start-up read as `used` instead.
    void readAs(const QString& name, int line, const QString& found, const QString& used);

    bool isEmpty() const { return files_.isEmpty(); }
    // One line for standard error: each damaged file in `directory`, its damaged lines and what was done.
    QString told(const QString& directory) const;

private:
    struct Line {
        int number;
        QString found;
        QString done;
    };
    struct File {
        QString name;
        int notAsWrittenFrom = 0; // 0: as written
        QList<Line> lines;
    };
    File& file(const QString& name);

    QList<File> files_;
};

} // namespace zavok
