#pragma once

#include "kit/control.h"
#include "kit/dialogs.h"
#include "kit/window.h"

namespace zavok {

// The log window `zavoklog`: one day's activity log, read as plain text.
class LogForm : public kit::Window {
    Q_OBJECT

public:
    explicit LogForm(kit::Desktop& desktop);

    kit::Button& Command1; // LOAD
    kit::Label& Label2;
    kit::Button& Command2; // CLEAR
    kit::TextBox& Text1;

    // CommonDialog1 as LOAD prepares it, opening on the directory the logs are written to.
    static kit::OpenFileRequest fileRequest(const QString& logDirectory);
};

} // namespace zavok
