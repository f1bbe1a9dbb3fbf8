#pragma once

#include "history_options.h"

#include <QString>

class QIODevice;
class QTextStream;

namespace zavok::history {

// Prints the history in `path` as CSV to `out`: a heading line "time,channel,min,mean,max,count", then one line
// for each channel's minute, in time order and, within a minute, in channel order; the time is the minute in local
// time (2026-12-06T14:05), the numbers keep six significant digits and no more characters than those need. The file is
// opened read-only, so a running ZAVOK may go on writing it. A missing, unreadable or damaged file, or an output that
// takes no more, is told on `err` with exit status 1; otherwise the status is 0, also when no row falls between the
// days.
int exportHistory(const QString& path, const HistoryExport& request, QIODevice& out, QTextStream& err);

} // namespace zavok::history
