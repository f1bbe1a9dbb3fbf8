#pragma once

#include "kit/clock_texts.h"

#include <QString>

#include <functional>
#include <vector>

namespace zavok {

// The daily activity log: the one operation every writer appends its records with.
class ActivityLog {
public:
    // A record as the file holds it: its message, time and date fields as written.
    struct Record {
        QString message;
        QString time;
        QString date;
    };
    using Observer = std::function<void(const Record&)>;

    // `directory` is where the day's files lie: the working directory when the program runs.
    ActivityLog(const kit::ClockTexts& clock, QString directory);

    // Appends "message","nowtime","nowdate" CR LF to the file named `logday` + ".txt", opening and closing it
    // for this one record. A record that cannot be written is dropped (false), and the program goes on.
    bool append(const QString& message) const;

    QString fileName() const;

    // Hears every record the program makes, in order, whether or not the file took it: those who watch from
    // outside (a broker, the history) should not miss an alarm because the disk is full.
    void observe(Observer observer) { observers_.push_back(std::move(observer)); }

    static const QString kStarted;
    static const QString kClosed;

private:
    bool write(const QByteArray& record) const;
    void tellObservers(const QString& message) const;

    const kit::ClockTexts& clock_;
    QString directory_;
    // The file of the day last written to, encoded for the system.
    mutable QString pathDay_;
    mutable QByteArray encodedPath_;
    std::vector<Observer> observers_;
};

} // namespace zavok
