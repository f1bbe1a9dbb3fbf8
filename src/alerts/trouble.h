#pragma once

#include "forms/main_form.h"
#include "log/activity_log.h"

namespace zavok {

// The supervision of the inputs. While the source of the contacts is faulty the main window's caption says so, and
// the log records when the fault began and when it ended. A fault is a trouble, never an alert: the source keeps
// the contacts as they last read, so nothing here touches the alerts or the bell.
class Trouble {
public:
    static const QString kCaption;
    static const QString kBegan;
    static const QString kEnded;

    Trouble(MainForm& form, const ActivityLog& log) : form_(form), log_(log) {}

    // Takes the source's fault (empty while it reads) at each poll tick.
    void follow(const QString& fault);

    bool isOn() const { return !reason_.isEmpty(); }
    const QString& reason() const { return reason_; }

private:
    MainForm& form_;
    const ActivityLog& log_;
    QString reason_;
};

} // namespace zavok
