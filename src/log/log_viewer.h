#pragma once

#include "forms/log_form.h"
#include "kit/dialogs.h"

#include <QByteArray>
#include <QString>

namespace zavok {

// A log file's lines joined by CR LF, without a line end after the last line. A line ends at a CR, or at a CR
// followed by LF, as the activity log writes it.
QString logText(const QByteArray& content);

// LOAD and CLEAR of a log window, and the day going on in it: while the window shows a file, what the activity log
// writes to that file joins the text as it is written. It belongs to its window and must go before it.
class LogViewer {
public:
    LogViewer(LogForm& form, kit::Dialogs& dialogs, QString logDirectory);

    // The activity log has written: the lines the shown file gained since it was read join the text. Nothing is read
    // while no file is shown.
    void follow();

private:
    void load();
    void clear();
    // What the file holds from `read_` on, read and added to the text; false when it could not be read.
    bool readOn();

    LogForm& form_;
    kit::Dialogs& dialogs_;
    QString logDirectory_;
    QString path_;          // the file shown; empty while none is
    qint64 read_ = 0;       // how much of it the text shows
    bool lineOpen_ = false; // the text's last line had no line end yet
    bool endsInCr_ = false; // ...or ended at a CR whose LF may still come
};

} // namespace zavok
