#include "line_encoding.h"

namespace zavok::kit {

QByteArray quotedField(const QString& text) {
    QString safe = text;
    safe.replace(u'"', u'\'').replace(u'\r', u' ').replace(u'\n', u' ');
    return '"' + safe.toLatin1() + '"';
}

QString storedText(const QString& text) {
    const QByteArray field = quotedField(text);
    return QString::fromLatin1(field.constData() + 1, field.size() - 2);
}

QByteArray line(const QList<QByteArray>& fields) {
    return fields.join(',') + "\r\n";
}

QStringList readFields(const QByteArray& data, int count) {
    QStringList fields;
    fields.reserve(count);
    qsizetype i = 0;
    const qsizetype n = data.size();
    auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    while (fields.size() < count && i < n) {
        while (i < n && (data[i] == ' ' || data[i] == '\t')) {
            ++i;
        }
        QByteArray field;
        if (i < n && data[i] == '"') {
            const qsizetype close = data.indexOf('"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            field = data.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            // Whatever stands between the closing quote and the next separator belongs to no field.
            while (i < n && data[i] != ',' && !isLineEnd(data[i])) {
                ++i;
            }
        } else {
            const qsizetype start = i;
            while (i < n && data[i] != ',' && !isLineEnd(data[i])) {
                ++i;
            }
            field = data.mid(start, i - start).trimmed();
        }
        fields.append(QString::fromLatin1(field));
        // One separator ends the field: a comma, or a line end (CR LF counts once).
        if (i < n && data[i] == '\r') {
            ++i;
            if (i < n && data[i] == '\n') {
                ++i;
            }
        } else if (i < n && (data[i] == ',' || data[i] == '\n')) {
            ++i;
        }
    }
    while (fields.size() < count) {
        fields.append(QString());
    }
    return fields;
}

} // namespace zavok::kit
