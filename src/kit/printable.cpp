#include "printable.h"

namespace zavok::kit {

namespace {

bool isControl(char16_t c) {
    // C0, DEL and C1, and the line and paragraph separators that some terminals and journals break lines at.
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029;
}

void escape(char16_t c, QString& out) {
    switch (c) {
    case u'\n':
        out += QStringLiteral("\\n");
        return;
    case u'\r':
        out += QStringLiteral("\\r");
        return;
    case u'\t':
        out += QStringLiteral("\\t");
        return;
    case 0x1b:
        out += QStringLiteral("\\e");
        return;
    default:
        break;
    }
    if (c <= 0xff) {
        out += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QChar(u'0'));
    } else {
        out += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QChar(u'0'));
    }
}

} // namespace

QString printable(QStringView text, qsizetype most) {
    const bool cut = text.size() > most;
    const QStringView kept = cut ? text.first(most) : text;
    QString out;
    out.reserve(kept.size() + 3);
    for (const QChar c : kept) {
        if (c == u'\\') {
            out += QStringLiteral("\\\\"); // so that an escape of ours cannot be forged either
        } else if (isControl(c.unicode())) {
            escape(c.unicode(), out);
        } else {
            out += c;
        }
    }
    if (cut) {
        out += QStringLiteral("...");
    }
    return out;
}

} // namespace zavok::kit
