#include "line_encoding.h"

#include "printable.h"

#include <array>

namespace zavok::kit {

namespace {

// What a field stores of each Latin-1 character: the character itself, but for the quote and the line ends that
// would cut the field.
constexpr std::array<char, 256> kStored = [] {
    std::array<char, 256> stored{};
    for (std::size_t c = 0; c < stored.size(); ++c) {
        stored.at(c) = char(c);
    }
    stored.at('"') = '\'';
    stored.at('\r') = ' ';
    stored.at('\n') = ' ';
    return stored;
}();

// What toLatin1 would make of the text between its quotes, once the quotes and line ends that would cut the field
// are replaced; written in one pass, by table, as every record of the activity log goes through here.
char* quoteInto(char* out, QStringView text) {
    *out++ = '"';
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        *out++ = u < kStored.size() ? kStored[u] : '?';
    }
    *out++ = '"';
    return out;
}

} // namespace

QByteArray quotedField(const QString& text) {
    QByteArray field(text.size() + 2, Qt::Uninitialized);
    quoteInto(field.data(), text);
    return field;
}

void quotedLine(std::initializer_list<QStringView> texts, QByteArray& into) {
    qsizetype size = 2; // CR LF
    for (const QStringView text : texts) {
        size += (size > 2 ? 1 : 0) + text.size() + 2; // the comma before it, its quotes
    }
    into.resize(size);
    char* const begin = into.data();
    char* out = begin;
    for (const QStringView text : texts) {
        if (out != begin) {
            *out++ = ',';
        }
        out = quoteInto(out, text);
    }
    *out++ = '\r';
    *out = '\n';
}

QByteArray quotedLine(std::initializer_list<QStringView> texts) {
    QByteArray made;
    quotedLine(texts, made);
    return made;
}

QString storedText(const QString& text) {
    const QByteArray field = quotedField(text);
    return QString::fromLatin1(field.constData() + 1, field.size() - 2);
}

QString unstorable(QStringView text, FieldOf field) {
    QString found;
    // By code point, so that a character beyond the 16-bit plane is named whole.
    for (const char32_t c : text.toUcs4()) {
        const bool cuts = c == U'"' || c == U'\r' || c == U'\n' || c == U'\0';
        const QString one = QString::fromUcs4(&c, 1);
        if ((cuts || (field == FieldOf::Text && c > 0xFF)) && !found.contains(one)) {
            found += one;
        }
    }
    return found;
}

QString refusal(const QString& characters, const QString& what, const QString& kept) {
    QStringList shown;
    for (const char32_t c : characters.toUcs4()) {
        shown += printable(QString::fromUcs4(&c, 1));
    }
    return QStringLiteral("The settings files cannot keep these characters: %1\n%2 stays \"%3\".")
        .arg(shown.join(u' '), what, printable(kept));
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
