#pragma once

#include "kit/clock_texts.h"
#include "kit/fault_report.h"
#include "log/record_facts.h"
#include "log/waiting_records.h"

#include <QString>

#include <functional>
#include <vector>

namespace zavok {

// The daily activity log: the one operation every writer appends its records with.
class ActivityLog {
public:
    // A record as the file holds it: its message, time and date fields as written, and what it is about; `moment`
    // is the local time its time field was formatted from.
    struct Record {
        QString message;
        QString time;
        QString date;
        RecordFacts facts;
        QDateTime moment = {};
    };
    using Observer = std::function<void(const Record&)>;
    // A day of records at the fastest sampling, one every 0.1 s: what waits in memory while the file takes none.
    static constexpr qsizetype kMostWaiting = 864'000;

    // `directory` is where the day's files lie: the working directory when the program runs. `tell`, where set, hears
    // what goes wrong with the file, a line for standard error. `mostWaiting` (at least 1) bounds the records that
    // wait for their file.
    ActivityLog(const kit::ClockTexts& clock, QString directory, kit::FaultSink tell = {},
                qsizetype mostWaiting = kMostWaiting);

    // Appends "message","nowtime","nowdate" CR LF to the file named `logday` + ".txt", opening and closing it for
    // this one record. A record that the file does not take waits in memory, in order, with the file it belongs to,
    // and goes in before the next record as soon as the file takes records again. `facts` go to the observers only:
    // the file holds the words.
    void append(const QString& message, RecordFacts facts) const;

    // Gives the records that wait another chance; nothing to do, and nothing done, while none waits.
    void writeWaiting() const {
        if (!waiting_.isEmpty()) {
            writeRuns(0);
        }
    }

    // The program ends: the records that still wait are lost, and the log says so.
    void end() const;

    QString fileName() const;

    // Hears every record the program makes, in order, whether or not the file took it: those who watch from
    // outside (a broker, the history) should not miss an alarm because the disk is full.
    void observe(Observer observer) { observers_.push_back(std::move(observer)); }

    // Runs once records have gone into a file, whether just made or late after waiting: a window that shows the file
    // reads on then, and never has to look at the disk in between.
    std::function<void()> onWritten;

    static const QString kStarted;
    static const QString kClosed;

private:
    const QByteArray& encodedPath() const;
    // `fresh` of the newest records in the queue came in after the last try, rather than waiting for the disk.
    void writeRuns(qsizetype fresh) const;
    // The count of the records dropped, written before anything else that waits; false when there is none or its file
    // refused it, which then joins `refused`.
    bool writeLostCount(std::vector<QByteArray>& refused) const;
    void say(const QString& line) const;
    void written() const {
        if (onWritten) {
            onWritten();
        }
    }
    void tellObservers(const QString& message, RecordFacts facts) const;

    const kit::ClockTexts& clock_;
    QString directory_;
    kit::FaultSink tell_;
    // The file of the day last written to, encoded for the system.
    mutable QString pathDay_;
    mutable QByteArray encodedPath_;
    mutable QByteArray record_; // the last record's line, whose buffer the next one reuses
    // The writers hold the log as a constant: what waits for the disk is no part of what they see of it.
    mutable WaitingRecords waiting_;
    mutable qsizetype writtenLate_ = 0; // the records that waited and went in since the file last refused
    std::vector<Observer> observers_;
};

} // namespace zavok
