// The state-file parser, against the rule it keeps: five whole decimal numbers between any whitespace, the port byte
// 0..255, then four axes 0..65535.

#include "check.h"
#include "inputs/state_file.h"

#include <QByteArray>

#include <charconv>
#include <cstdint>
#include <sstream>
#include <variant>
#include <vector>

namespace {

using zavok::inputs::InputSnapshot;
using zavok::inputs::StateFileFault;

// The rule read by the C++ library rather than by Qt: a stream splits the words at C whitespace, and each word is a
// whole number, an optional sign and decimal digits only, within 64 bits.
std::variant<InputSnapshot, StateFileFault> expected(const QByteArray& content) {
    std::istringstream in(content.toStdString());
    std::vector<qint64> numbers;
    for (std::string word; in >> word;) {
        // from_chars reads a minus but no plus: a plus is passed over only where a digit follows it.
        const char* from = word.data() + (word.size() > 1 && word[0] == '+' && word[1] >= '0' && word[1] <= '9');
        const char* end = word.data() + word.size();
        qint64 number = 0;
        const auto read = std::from_chars(from, end, number);
        if (read.ec != std::errc() || read.ptr != end) {
            return StateFileFault::Malformed;
        }
        numbers.push_back(number);
    }
    if (numbers.size() != 5) {
        return StateFileFault::Malformed;
    }
    for (std::size_t i = 0; i < 5; ++i) {
        if (numbers[i] < 0 || numbers[i] > (i == 0 ? 255 : 65535)) {
            return StateFileFault::OutOfRange;
        }
    }
    return InputSnapshot{quint8(numbers[0]),
                         {quint32(numbers[1]), quint32(numbers[2]), quint32(numbers[3]), quint32(numbers[4])}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto parsed = zavok::inputs::parseStateFile(content);
    FUZZ_CHECK(parsed == expected(content));
    if (const auto* snapshot = std::get_if<InputSnapshot>(&parsed)) {
        // What a writer of the file would write back reads the same.
        QByteArray again = QByteArray::number(snapshot->port);
        for (quint32 axis : snapshot->channels) {
            again += ' ' + QByteArray::number(axis);
        }
        FUZZ_CHECK(zavok::inputs::parseStateFile(again) == parsed);
    }
    return 0;
}
