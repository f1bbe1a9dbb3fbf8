#include "log_viewer.h"

#include "kit/open_without_waiting.h"

#include <QFile>
#include <QFileInfo>

namespace zavok {

QString logText(const QByteArray& content) {
    QByteArray text;
    text.reserve(content.size() + content.size() / 16);
    const qsizetype n = content.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = content[i];
        if (c != '\r') {
            text.append(c);
            continue;
        }
        if (i + 1 < n && content[i + 1] == '\n') {
            ++i;
        }
        // The last line end closes the last line; every other one starts a new line.
        if (i + 1 < n) {
            text.append("\r\n", 2);
        }
    }
    return QString::fromLatin1(text);
}

LogViewer::LogViewer(LogForm& form, kit::Dialogs& dialogs, QString logDirectory)
    : form_(form)
    , dialogs_(dialogs)
    , logDirectory_(std::move(logDirectory)) {
    form_.Command1.onClick = [this] { load(); };
    form_.Command2.onClick = [this] { clear(); };
}

void LogViewer::load() {
    clear();
    const auto path = dialogs_.openFile(LogForm::fileRequest(logDirectory_));
    if (!path) {
        return;
    }
    path_ = *path;
    if (!readOn()) {
        path_.clear();
    }
}

void LogViewer::clear() {
    form_.Text1.setText(QString());
    path_.clear();
    read_ = 0;
    lineOpen_ = false;
    endsInCr_ = false;
}

void LogViewer::follow() {
    // A file gone for now keeps its text; it may come back.
    const QFileInfo file(path_);
    if (path_.isEmpty() || !file.isFile() || file.size() == read_) {
        return;
    }
    // A file that shrank was written anew by someone else: it is shown from its start, as LOAD would show it.
    if (file.size() < read_) {
        const QString path = path_;
        clear();
        path_ = path;
    }
    readOn();
}

bool LogViewer::readOn() {
    QFile file;
    if (!kit::openWithoutWaiting(file, path_, QIODevice::ReadOnly) || !file.seek(read_)) {
        return false;
    }
    // Whatever was read before an error is shown; the file is closed either way.
    QByteArray more = file.readAll();
    const bool joins = read_ > 0 && !lineOpen_;
    read_ += more.size();
    // A CR LF that the writes cut in two is still one line end.
    if (endsInCr_ && more.startsWith('\n')) {
        more.remove(0, 1);
        endsInCr_ = false;
    }
    if (more.isEmpty()) {
        return true;
    }
    // The lines read before ended with a line end that logText left off: it comes back before the new lines.
    const QString added = logText(more);
    form_.Text1.setText(form_.Text1.text() + (joins ? QStringLiteral("\r\n") : QString()) + added);
    endsInCr_ = more.endsWith('\r');
    lineOpen_ = !endsInCr_ && !more.endsWith("\r\n");
    return true;
}

} // namespace zavok
