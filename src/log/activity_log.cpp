#include "activity_log.h"

#include "kit/line_encoding.h"
#include "kit/printable.h"
#include "log/log_file.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>

namespace zavok {

const QString ActivityLog::kStarted = QStringLiteral("ZAVOK started at");
const QString ActivityLog::kClosed = QStringLiteral("ZAVOK closed at");

namespace {

QString shown(const QByteArray& encodedPath) {
    return kit::printable(QFile::decodeName(encodedPath));
}

QString records(qsizetype count) {
    return count == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(count);
}

} // namespace

ActivityLog::ActivityLog(const kit::ClockTexts& clock, QString directory, kit::FaultSink tell, qsizetype mostWaiting)
    : clock_(clock)
    , directory_(std::move(directory))
    , tell_(std::move(tell))
    , waiting_(mostWaiting) {}

QString ActivityLog::fileName() const {
    return QDir(directory_).filePath(clock_.logday + QStringLiteral(".txt"));
}

const QByteArray& ActivityLog::encodedPath() const {
    // The path changes once a day; working it out again costs more than the rest of a record.
    if (encodedPath_.isEmpty() || pathDay_ != clock_.logday) {
        pathDay_ = clock_.logday;
        encodedPath_ = QFile::encodeName(fileName());
    }
    return encodedPath_;
}

void ActivityLog::append(const QString& message, RecordFacts facts) const {
    // Made in the buffer of the last record: the poll tick may write ten a second.
    kit::quotedLine({message, clock_.nowtime, clock_.nowdate}, record_);
    const QByteArray& record = record_;
    if (waiting_.isEmpty()) {
        // The usual case: one open, one write and one close, since the poll tick may write ten records a second.
        const Appended done = appendLines(encodedPath(), record);
        if (done.error != 0) {
            waiting_.push(encodedPath(), record);
            say(QStringLiteral("zavok: the activity log cannot be written to %1: %2; its records wait in memory until "
                               "it can")
                    .arg(shown(encodedPath()), QString::fromLocal8Bit(std::strerror(done.error))));
        } else {
            written();
        }
    } else {
        // Behind the records that wait, and with those of its file in the same write.
        waiting_.push(encodedPath(), record);
        writeRuns(1);
        waiting_.bound();
    }
    tellObservers(message, facts);
}

void ActivityLog::writeRuns(qsizetype fresh) const {
    // A file that refuses keeps its later records waiting too, so that each file's records stay in order; the other
    // files' records go in all the same.
    std::vector<QByteArray> refused;
    QByteArray lastWritten;
    if (writeLostCount(refused)) {
        lastWritten = waiting_.lastLostPath();
    }
    std::size_t i = 0;
    while (i < waiting_.runs().size()) {
        const WaitingRecords::Run& run = waiting_.runs().at(i);
        const QByteArray path = run.path;
        if (std::find(refused.begin(), refused.end(), path) != refused.end()) {
            ++i;
            continue;
        }
        const Appended done = appendLines(path, run.waiting());
        const qsizetype before = waiting_.size();
        const bool stays = waiting_.written(i, done.bytes);
        writtenLate_ += before - waiting_.size();
        if (done.bytes > 0) {
            lastWritten = path;
        }
        if (done.error != 0) {
            refused.push_back(path);
        }
        if (stays) {
            ++i;
        }
    }
    // The newest records were just made: if they went in now, they did not wait. They are the last of their file's
    // run, so they went in exactly when no run of their file is left at the end of the queue.
    if (fresh > 0 && (waiting_.runs().empty() || waiting_.runs().back().path != encodedPath())) {
        writtenLate_ -= fresh;
    }
    if (!lastWritten.isEmpty()) {
        written();
    }
    if (waiting_.isEmpty()) {
        say(QStringLiteral("zavok: the activity log is written to %1 again, with the %2 that waited")
                .arg(shown(lastWritten), records(writtenLate_)));
        writtenLate_ = 0;
    }
}

bool ActivityLog::writeLostCount(std::vector<QByteArray>& refused) const {
    const qsizetype lost = waiting_.lost();
    if (lost == 0) {
        return false;
    }
    // The count takes the place, file, time and date of the newest record dropped, so that the log stays in order
    // and shows where the gap is: before the oldest records that are left.
    const QByteArray& last = waiting_.lastLost();
    const QByteArray record =
        kit::quotedField(records(lost) + QStringLiteral(" lost at")) + last.sliced(last.indexOf("\",\"") + 1);
    const QByteArray& path = waiting_.lastLostPath();
    const Appended done = appendLines(path, record);
    if (done.error != 0) {
        refused.push_back(path);
        return false;
    }
    waiting_.forgetLost();
    say(QStringLiteral("zavok: the activity log lost %1: more waited for %2 than the %3 kept in memory; the log says "
                       "so where they were")
            .arg(records(lost), shown(path))
            .arg(waiting_.most()));
    return true;
}

void ActivityLog::end() const {
    const qsizetype lost = waiting_.size() + waiting_.lost();
    if (lost != 0) {
        const QByteArray& path = waiting_.runs().empty() ? waiting_.lastLostPath() : waiting_.runs().front().path;
        say(QStringLiteral("zavok: the program ends with %1 of the activity log that could not be written to %2; they "
                           "are lost")
                .arg(records(lost), shown(path)));
    }
}

void ActivityLog::say(const QString& line) const {
    if (tell_) {
        tell_(line);
    }
}

void ActivityLog::tellObservers(const QString& message, RecordFacts facts) const {
    if (observers_.empty()) {
        return;
    }
    const Record record{kit::storedText(message), kit::storedText(clock_.nowtime), kit::storedText(clock_.nowdate),
                        facts, clock_.moment};
    for (const Observer& observer : observers_) {
        observer(record);
    }
}

} // namespace zavok
