#pragma once

#include <QSet>
#include <QString>

#include <functional>

namespace zavok::kit {

// Where the program tells the user what went wrong and no window shows: one line each, without an end of line. The
// adapters take one that must be callable (a test that wants silence passes one that drops the line); the core's own
// may be left empty, and then it says nothing.
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
    // Every kind may be told once more: what went wrong has been put right in between. True when anything had been
    // told, so that the caller can say it is put right.
    bool forget() {
        const bool told = !told_.isEmpty();
        told_.clear();
        return told;
    }

private:
    FaultSink sink_;
    QSet<int> told_;
};

} // namespace zavok::kit
