#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QString>

// What the settings writer's n-th write puts into cat.zvk and apnames.zvk, and which write a file holds. Each write
// differs from the one before in every line and in length, so a file torn between two writes is no write at all.
namespace zavok::test {

inline float catValue(int write, int line) {
    return float(write * 8 + line);
}

inline QString circuitName(int write, int circuit) {
    return QStringLiteral("circuit %1 of write %2 ").arg(circuit).arg(write) + QString((write % 7) * 100, u'x');
}

inline QByteArray catFile(int write) {
    QByteArray out;
    for (int line = 0; line < 8; ++line) {
        out += QByteArray::number(write * 8 + line) + "\r\n";
    }
    return out;
}

inline QByteArray apnamesFile(int write) {
    QByteArray out;
    for (int circuit = 1; circuit <= 4; ++circuit) {
        out += '"' + circuitName(write, circuit).toLatin1() + "\"\r\n";
    }
    return out;
}

// The write whose whole content the file holds, or -1.
inline int catWrite(const QByteArray& content) {
    bool number = false;
    const int first = content.left(content.indexOf('\r')).toInt(&number);
    return number && first % 8 == 0 && content == catFile(first / 8) ? first / 8 : -1;
}

inline int apnamesWrite(const QByteArray& content) {
    static const QRegularExpression pattern(QStringLiteral("^\"circuit 1 of write (\\d+) "));
    const auto match = pattern.match(QString::fromLatin1(content.left(64)));
    const int write = match.hasMatch() ? match.captured(1).toInt() : -1;
    return write >= 0 && content == apnamesFile(write) ? write : -1;
}

} // namespace zavok::test
