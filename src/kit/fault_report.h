#pragma once

#include <QSet>
#include <QString>

#include <functional>

namespace zavok::kit {

// Where the input sources tell the user that something cannot be read: one line each, without an end of line.
// It must be callable; a test that wants silence passes one that drops the line.
using FaultSink = std::function<void(const QString& line)>;

// Standard error, flushed at once so the line shows up next to what the user just did.
void writeToStandardError(const QString& line);

// Tells each kind of fault once. The sources are read at every tick, and a state file that stays missing for an
// hour must not fill the terminal or the journal with thousands of copies of the same line.
class FaultReport {
public:
    explicit FaultReport(FaultSink sink) : sink_(std::move(sink)) {}

    // Passes the line on the first time this kind is reported and drops it afterwards.
    void once(int kind, const QString& line);
    // Every kind may be told once more: what went wrong has been put right in between.
    void forget() { told_.clear(); }

private:
    FaultSink sink_;
    QSet<int> told_;
};

} // namespace zavok::kit
