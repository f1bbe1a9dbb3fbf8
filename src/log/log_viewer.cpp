#include "log_viewer.h"

#include "kit/open_without_waiting.h"

#include <QFile>

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

void wireLogViewer(LogForm& form, kit::Dialogs& dialogs, const QString& logDirectory) {
    form.Command1.onClick = [&form, &dialogs, logDirectory] {
        form.Text1.setText(QString());
        const auto path = dialogs.openFile(LogForm::fileRequest(logDirectory));
        if (!path) {
            return;
        }
        QFile file;
        if (!kit::openWithoutWaiting(file, *path, QIODevice::ReadOnly)) {
            return;
        }
        // Whatever was read before an error is shown; the file is closed either way.
        form.Text1.setText(logText(file.readAll()));
    };
    form.Command2.onClick = [&form] { form.Text1.setText(QString()); };
}

} // namespace zavok
