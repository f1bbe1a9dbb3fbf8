#include "waiting_records.h"

namespace zavok {

void WaitingRecords::push(const QByteArray& path, QByteArrayView line) {
    if (runs_.empty() || runs_.back().path != path) {
        runs_.push_back({path, {}, 0, 0});
    }
    Run& run = runs_.back();
    run.lines.append(line);
    ++run.count;
    ++size_;
}

void WaitingRecords::bound() {
    while (size_ > most_) {
        dropOldest();
    }
}

bool WaitingRecords::written(std::size_t index, qsizetype bytes) {
    Run& run = runs_.at(index);
    const qsizetype lines = QByteArrayView(run.lines).sliced(run.start, bytes).count('\n');
    run.start += bytes;
    run.count -= lines;
    size_ -= lines;
    if (run.count == 0) {
        runs_.erase(runs_.begin() + qsizetype(index));
        return false;
    }
    return true;
}

void WaitingRecords::dropOldest() {
    Run& run = runs_.front();
    const qsizetype next = run.lines.indexOf('\n', run.start) + 1;
    lastLost_ = run.lines.sliced(run.start, next - run.start);
    lastLostPath_ = run.path;
    run.start = next;
    --run.count;
    --size_;
    ++lost_;
    if (run.count == 0) {
        runs_.pop_front();
    } else if (run.start > run.lines.size() / 2) {
        // Dropping one line at a time from the front of a long run must not move the whole run each time: the run
        // is shortened only once half of it has gone.
        run.lines.remove(0, run.start);
        run.start = 0;
    }
}

} // namespace zavok
