#pragma once

#include "forms/log_form.h"
#include "kit/dialogs.h"

#include <QByteArray>
#include <QString>

namespace zavok {

// A log file's lines joined by CR LF, without a line end after the last line. A line ends at a CR, or at a CR
// followed by LF, as the activity log writes it.
QString logText(const QByteArray& content);

// LOAD and CLEAR of a log window. The behaviour lives in the window's controls, so it goes when the window does.
void wireLogViewer(LogForm& form, kit::Dialogs& dialogs, const QString& logDirectory);

} // namespace zavok
