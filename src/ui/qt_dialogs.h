#pragma once

#include "kit/dialogs.h"

namespace zavok::ui {

// The program's modal boxes as Qt dialogs over the active window. While one waits for the user the event loop
// runs on, so the timers keep monitoring.
class QtDialogs final : public kit::Dialogs {
public:
    void message(const QString& title, const QString& text) override;
    QString input(const QString& title, const QString& prompt, const QString& proposal) override;
    std::optional<QString> openFile(const kit::OpenFileRequest& request) override;
};

} // namespace zavok::ui
