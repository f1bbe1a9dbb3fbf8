// The log viewer's line splitting, checked against a reading of the rule written the other way round: take lines
// one at a time, as a line-input statement does, and join them with CR LF.

#include "check.h"
#include "log/log_viewer.h"

#include <QByteArray>
#include <QList>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    // Lines end at a CR or at a CR LF. The first line is always read, even from an empty file; after that a line is
    // read while the end of the file has not been reached. So nothing follows the last line, and a line end ends
    // the text only where the last line is empty.
    QList<QByteArray> lines;
    qsizetype at = 0;
    do {
        const qsizetype cr = content.indexOf('\r', at);
        const qsizetype end = cr < 0 ? content.size() : cr;
        lines.append(content.mid(at, end - at));
        at = end;
        if (at < content.size() && ++at < content.size() && content[at] == '\n') { // past the CR, and its LF
            ++at;
        }
    } while (at < content.size());
    FUZZ_CHECK(zavok::logText(content) == QString::fromLatin1(lines.join("\r\n")));
    return 0;
}
