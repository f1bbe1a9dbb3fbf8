#pragma once

#include <QFile>
#include <QString>

namespace zavok::kit {

// Opens a settings file, a log, a sample or a state file into `file`, never waiting on what stands at `path`.
// ReadOnly takes a regular file only. WriteOnly | Append creates a missing file and takes a regular file or a
// character device (a log sent to /dev/null). Either may add Unbuffered. A FIFO in a file's place would make an
// ordinary open wait for a writer or a reader that may never come, and that wait would freeze the one thread that runs
// every window and timer; a terminal or another device read as a settings file could wait just the same. False, with
// nothing left open, for those and for every other error.
bool openWithoutWaiting(QFile& file, const QString& path, QIODevice::OpenMode mode);

} // namespace zavok::kit
