// The state-file parser, against the rule it keeps: five whole decimal numbers between any whitespace, the port byte
// 0..255, then four axes 0..65535.

#include "check.h"
#include "platform/state_file.h"

#include <QByteArray>

#include <cstdint>
#include <variant>

namespace {

using zavok::platform::InputSnapshot;
using zavok::platform::StateFileFault;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A whole number: an optional sign, then decimal digits only, within 64 bits; nullopt otherwise.
std::optional<qint64> wholeNumber(const QByteArray& token) {
    qsizetype at = token.startsWith('+') || token.startsWith('-') ? 1 : 0;
    if (at == token.size()) {
        return std::nullopt;
    }
    const bool negative = token.startsWith('-');
    qint64 value = 0;
    for (; at < token.size(); ++at) {
        if (token[at] < '0' || token[at] > '9') {
            return std::nullopt;
        }
        const int digit = token[at] - '0';
        if (negative ? value < (std::numeric_limits<qint64>::min() + digit) / 10
                     : value > (std::numeric_limits<qint64>::max() - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + (negative ? -digit : digit);
    }
    return value;
}

std::variant<InputSnapshot, StateFileFault> expected(const QByteArray& content) {
    QList<QByteArray> tokens;
    qsizetype at = 0;
    while (at < content.size()) {
        while (at < content.size() && isSpace(content[at])) {
            ++at;
        }
        const qsizetype start = at;
        while (at < content.size() && !isSpace(content[at])) {
            ++at;
        }
        if (at > start) {
            tokens.append(content.mid(start, at - start));
        }
    }
    if (tokens.size() != 5) {
        return StateFileFault::Malformed;
    }
    std::array<qint64, 5> numbers{};
    for (int i = 0; i < 5; ++i) {
        const auto number = wholeNumber(tokens[i]);
        if (!number) {
            return StateFileFault::Malformed;
        }
        numbers[std::size_t(i)] = *number;
    }
    if (numbers[0] < 0 || numbers[0] > 255) {
        return StateFileFault::OutOfRange;
    }
    InputSnapshot snapshot;
    snapshot.port = quint8(numbers[0]);
    for (std::size_t k = 0; k < 4; ++k) {
        if (numbers[k + 1] < 0 || numbers[k + 1] > 65535) {
            return StateFileFault::OutOfRange;
        }
        snapshot.channels[k] = quint32(numbers[k + 1]);
    }
    return snapshot;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto parsed = zavok::platform::parseStateFile(content);
    FUZZ_CHECK(parsed == expected(content));
    if (const auto* snapshot = std::get_if<InputSnapshot>(&parsed)) {
        // What a writer of the file would write back reads the same.
        QByteArray again = QByteArray::number(snapshot->port);
        for (quint32 axis : snapshot->channels) {
            again += ' ' + QByteArray::number(axis);
        }
        FUZZ_CHECK(zavok::platform::parseStateFile(again) == parsed);
    }
    return 0;
}
