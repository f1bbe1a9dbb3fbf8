#include "fault_report.h"

#include <cstdio>

namespace zavok::kit {

void writeToStandardError(const QString& line) {
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void FaultReport::once(int kind, const QString& line) {
    if (told_.contains(kind)) {
        return;
    }
    told_.insert(kind);
    sink_(line);
}

} // namespace zavok::kit
