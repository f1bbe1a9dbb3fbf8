#include "activity_log.h"

#include "ui/kit/line_encoding.h"

#include <QDir>
#include <QFile>

namespace zavok {

const QString ActivityLog::kStarted = QStringLiteral("ZAVOK started at");
const QString ActivityLog::kClosed = QStringLiteral("ZAVOK closed at");

ActivityLog::ActivityLog(const kit::ClockTexts& clock, QString directory)
    : clock_(clock)
    , directory_(std::move(directory)) {}

QString ActivityLog::fileName() const {
    return QDir(directory_).filePath(clock_.logday + QStringLiteral(".txt"));
}

bool ActivityLog::append(const QString& message) const {
    const QByteArray record =
        kit::line({kit::quotedField(message), kit::quotedField(clock_.nowtime), kit::quotedField(clock_.nowdate)});
    QFile file(fileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return false;
    }
    // One write of the whole line, so that a record is either there or not, never half a line, whenever the
    // disk allows.
    const bool written = file.write(record) == record.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

} // namespace zavok
