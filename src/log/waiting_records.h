#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <deque>

namespace zavok {

// The records that their file did not take yet, oldest first, each with the file it belongs to. Bounded: beyond
// `most` records the oldest are dropped, and counted, once the newest has had its chance to be written with them.
class WaitingRecords {
public:
    // The records of one file that follow each other in the queue, as one run of lines.
    struct Run {
        QByteArray path; // encoded for the system
        QByteArray lines;
        qsizetype start = 0; // where the first line that still waits begins
        qsizetype count = 0;
        QByteArrayView waiting() const { return QByteArrayView(lines).sliced(start); }
    };

    explicit WaitingRecords(qsizetype most) : most_(most) {}

    qsizetype most() const { return most_; }
    // Nothing waits: no record, and no count of dropped ones.
    bool isEmpty() const { return runs_.empty() && lost_ == 0; }
    qsizetype size() const { return size_; }

    // How many records were dropped since the last forgetLost(); the newest of them and its file.
    qsizetype lost() const { return lost_; }
    const QByteArray& lastLost() const { return lastLost_; }
    const QByteArray& lastLostPath() const { return lastLostPath_; }
    void forgetLost() { lost_ = 0; }

    // Puts the line at the end of the queue. The bound holds again only with bound(), so that a record can join the
    // queue for a try at the file without pushing out the oldest.
    void push(const QByteArray& path, QByteArrayView line);
    // Drops the oldest records beyond `most`.
    void bound();
    const std::deque<Run>& runs() const { return runs_; }
    // The first `bytes` of run `index`'s waiting lines, whole lines, are in the file now. False when that was all of
    // the run, which then is gone from the queue.
    bool written(std::size_t index, qsizetype bytes);

private:
    void dropOldest();

    qsizetype most_;
    std::deque<Run> runs_;
    qsizetype size_ = 0;
    qsizetype lost_ = 0;
    QByteArray lastLost_;
    QByteArray lastLostPath_;
};

} // namespace zavok
