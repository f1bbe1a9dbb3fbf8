#pragma once

#include "kit/dialogs.h"
#include "kit/fault_report.h"

namespace zavok::system {

// The boxes of a program that runs with nobody in front of it. None ever opens: a message goes to standard error, and
// a question, which nobody could answer, stops the handler that asked.
class HeadlessDialogs final : public kit::Dialogs {
public:
    explicit HeadlessDialogs(kit::FaultSink sink = kit::writeToStandardError) : sink_(std::move(sink)) {}

    void message(const QString& title, const QString& text) override;
    QString input(const QString& title, const QString& prompt, const QString& proposal) override;
    std::optional<QString> openFile(const kit::OpenFileRequest& request) override;

private:
    kit::FaultSink sink_;
};

} // namespace zavok::system
