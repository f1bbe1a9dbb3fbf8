#pragma once

#include "kit/clock_texts.h"

#include <QString>

namespace zavok {

// The daily activity log: the one operation every writer appends its records with.
class ActivityLog {
public:
    // `directory` is where the day's files lie: the working directory when the program runs.
    ActivityLog(const kit::ClockTexts& clock, QString directory);

    // Appends "message","nowtime","nowdate" CR LF to the file named `logday` + ".txt", opening and closing it
    // for this one record. A record that cannot be written is dropped (false), and the program goes on.
    bool append(const QString& message) const;

    QString fileName() const;

    static const QString kStarted;
    static const QString kClosed;

private:
    const kit::ClockTexts& clock_;
    QString directory_;
    // The file of the day last written to, encoded for the system.
    mutable QString pathDay_;
    mutable QByteArray encodedPath_;
};

} // namespace zavok
