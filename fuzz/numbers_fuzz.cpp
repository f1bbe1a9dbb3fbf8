// The numeric prefix value and the numeric-text test, on any text: they decide which typed entries are refused and
// what every caption means as a number, so they must agree with each other and never misbehave.

#include "check.h"
#include "kit/numbers.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
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
        const double whole = std::strtod(trimmed.c_str(), &end);
        FUZZ_CHECK(end == trimmed.c_str() + trimmed.size());
        FUZZ_CHECK(whole == value);
    }

    const int period = samplingPeriod(text);
    FUZZ_CHECK(period >= 100 && period <= 60000);

    const qint64 rounded = roundHalfEven(value, -1000, 1000);
    FUZZ_CHECK(rounded >= -1000 && rounded <= 1000);
    if (std::abs(value) <= 1000) {
        FUZZ_CHECK(std::abs(double(rounded) - value) <= 0.5);
    }
    const int whole = toInt(value);
    if (std::abs(value) < 1e9) {
        FUZZ_CHECK(std::abs(double(whole) - value) <= 0.5);
        FUZZ_CHECK(std::abs(double(whole) - value) < 0.5 || whole % 2 == 0); // halves go to the even neighbour
    }
    toInt16(value);

    // A number the program writes into a caption reads back as a number, and as the same one.
    if (std::isfinite(value)) {
        const QString written = numberText(value);
        FUZZ_CHECK(isNumericText(written));
        FUZZ_CHECK(!written.startsWith(u' '));
        const double back = prefixValue(written);
        FUZZ_CHECK(std::abs(back - value) <= std::abs(value) * 1e-14);
        // A single is written with the seven digits of general number format, which is as close as it comes back.
        const float single = float(value);
        if (std::isfinite(single)) {
            const double backSingle = prefixValue(singleText(single));
            FUZZ_CHECK(std::abs(backSingle - double(single)) <= std::abs(double(single)) * 1e-6);
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
