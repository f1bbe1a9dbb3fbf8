// The numeric prefix value and the numeric-text test, on any text: they decide which typed entries are refused and
// what every caption means as a number, so they must agree with each other and never misbehave.

#include "check.h"
#include "kit/numbers.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace zavok::kit;

void checkText(const QString& text) {
    const double value = prefixValue(text);
    FUZZ_CHECK(!std::isnan(value)); // no text spells NaN

    if (isNumericText(text)) {
        // The whole text, blanks around it aside, is one number: the C library reads all of it and agrees.
        const std::string trimmed = text.trimmed().toStdString();
        char* end = nullptr;
        FUZZ_CHECK(std::strtod(trimmed.c_str(), &end) == value && end == trimmed.c_str() + trimmed.size());
    }

    const int period = samplingPeriod(text);
    FUZZ_CHECK(period >= 100 && period <= 60000);

    const qint64 rounded = roundHalfEven(value, -1000, 1000);
    FUZZ_CHECK(rounded >= -1000 && rounded <= 1000);
    FUZZ_CHECK(std::abs(value) > 1000 || std::abs(double(rounded) - value) <= 0.5);
    if (const int whole = toInt(value); std::abs(value) < 1e9) {
        FUZZ_CHECK(std::abs(double(whole) - value) <= 0.5);
        FUZZ_CHECK(std::abs(double(whole) - value) < 0.5 || whole % 2 == 0); // halves go to the even neighbour
    }
    toInt16(value); // for the sanitizers: any value, however far out

    // A number the program writes into a caption reads back as a number, and as the same one.
    if (std::isfinite(value)) {
        const QString written = numberText(value);
        FUZZ_CHECK(isNumericText(written) && !written.startsWith(u' '));
        FUZZ_CHECK(std::abs(prefixValue(written) - value) <= std::abs(value) * 1e-14);
        // A single is written with the seven digits of general number format, which is as close as it comes back.
        if (const float single = float(value); std::isfinite(single)) {
            const double back = prefixValue(singleText(single));
            FUZZ_CHECK(std::abs(back - double(single)) <= std::abs(double(single)) * 1e-6);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    // Typed text arrives as Unicode; files arrive as Latin-1. Both ways in.
    checkText(QString::fromLatin1(bytes, qsizetype(size)));
    checkText(QString::fromUtf8(bytes, qsizetype(size)));
    return 0;
}
