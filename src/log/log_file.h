#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace zavok {

// What one append to a log file achieved.
struct Appended {
    qsizetype bytes = 0; // how much of what was given is in the file now: whole lines only
    int error = 0;       // why the rest is not (an errno); 0 when all of it is
};

// Appends `lines`, each ended by LF, to the file at `path` (encoded for the system), created when missing, with one
// open, one write and one close while all goes well. The file is left a file of whole lines: a line that did not fit
// whole is cut back off.
Appended appendLines(const QByteArray& path, QByteArrayView lines);

} // namespace zavok
