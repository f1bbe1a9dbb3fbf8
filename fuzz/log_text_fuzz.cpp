// The log viewer's line splitting, checked against a reading of the rule written the other way round: take lines
// one at a time, as a line-input statement does, and join them with CR LF.

#include "check.h"
#include "log/log_viewer.h"

#include <QByteArray>
#include <QList>

#include <cstdint>

namespace {

// Lines end at a CR or at a CR LF. The first line is always read, even from an empty file; after that a line is
// read while the end of the file has not been reached.
QList<QByteArray> lines(const QByteArray& content) {
    QList<QByteArray> out;
    qsizetype at = 0;
    do {
        const qsizetype cr = content.indexOf('\r', at);
        const qsizetype end = cr < 0 ? content.size() : cr;
        out.append(content.mid(at, end - at));
        at = end;
        if (at < content.size()) {
            ++at; // the CR
            if (at < content.size() && content[at] == '\n') {
                ++at;
            }
        }
    } while (at < content.size());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = zavok::logText(content);
    const QList<QByteArray> expected = lines(content);
    FUZZ_CHECK(text == QString::fromLatin1(expected.join("\r\n")));
    // Every CR shown is the start of a line end that the viewer put there, one fewer than the lines.
    FUZZ_CHECK(text.count(u'\r') == expected.size() - 1);
    FUZZ_CHECK(text.count(QStringLiteral("\r\n")) == expected.size() - 1);
    // Nothing is added after the last line: the text ends with a line end only when the last line is empty.
    FUZZ_CHECK(!text.endsWith(u'\r'));
    FUZZ_CHECK(!text.endsWith(QStringLiteral("\r\n")) || expected.last().isEmpty());
    return 0;
}
