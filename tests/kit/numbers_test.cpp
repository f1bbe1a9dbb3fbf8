#include "kit/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zavok::kit {
namespace {

struct PrefixCase {
    const char* text;
    double value;
};

TEST(PrefixValue, ReadsTheLeadingNumberAndNothingElse) {
    const PrefixCase cases[] = {
        {"DIS", 0},
        {"", 0},
        {"  ", 0},
        {"50", 50},
        {" 25", 25},
        {"-1", -1},
        {"+7", 7},
        {"12.5kg", 12.5},
        {".5", 0.5},
        {"1e3", 1000},
        {"1E-2", 0.01},
        {"2e", 2},
        {"2e+", 2},
        {"1 2", 12},
        {"3.4.5", 3.4},
        {"-", 0},
        {"abc12", 0},
        {"-0", 0},
        {"32767.45", 32767.45},
        {"0x10", 0},
        {"inf", 0},
        {"nan", 0},
        {"1,5", 1},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(prefixValue(QString::fromLatin1(c.text)), c.value) << c.text;
    }
}

TEST(PrefixValue, HugeExponentsStayFiniteOrInfiniteButNeverCrash) {
    EXPECT_TRUE(std::isinf(prefixValue(QStringLiteral("1e999"))));
    EXPECT_EQ(prefixValue(QStringLiteral("1e-999")), 0.0);
    EXPECT_DOUBLE_EQ(prefixValue(QString(100000, u'9')), std::strtod(std::string(100000, '9').c_str(), nullptr));
}

TEST(NumericText, TheWholeTextMustBeANumber) {
    for (const char* yes : {"0", " 500", "500 ", "-1", "+2", "10.4", ".5", "5.", "1e3", "1E-3", "-0"}) {
        EXPECT_TRUE(isNumericText(QString::fromLatin1(yes))) << yes;
    }
    for (const char* no : {"", " ", "abc", "1a", "1e", "e3", "1 2", ".", "-", "1,5", "0x10", "inf", "nan", "\"5\""}) {
        EXPECT_FALSE(isNumericText(QString::fromLatin1(no))) << no;
    }
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbourAndEverythingSaturates) {
    EXPECT_EQ(toInt(2.5), 2);
    EXPECT_EQ(toInt(3.5), 4);
    EXPECT_EQ(toInt(-2.5), -2);
    EXPECT_EQ(toInt(12.5), 12);
    EXPECT_EQ(toInt(13.5), 14);
    EXPECT_EQ(toInt(499.6), 500);
    EXPECT_EQ(toInt(std::nan("")), 0);
    EXPECT_EQ(toInt(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(toInt(-std::numeric_limits<double>::infinity()), std::numeric_limits<int>::min());
    EXPECT_EQ(toInt16(40000), 32767);
    EXPECT_EQ(toInt16(-40000.0), -32768);
    EXPECT_EQ(toInt16(32766.5), 32766);
}

TEST(NumberText, GeneralNumberFormat) {
    EXPECT_EQ(numberText(50), QStringLiteral("50"));
    EXPECT_EQ(numberText(-3), QStringLiteral("-3"));
    EXPECT_EQ(numberText(32767.45), QStringLiteral("32767.45"));
    EXPECT_EQ(numberText(-0.0), QStringLiteral("0"));
    EXPECT_EQ(numberText(65535), QStringLiteral("65535"));
    EXPECT_EQ(singleText(1440.0f), QStringLiteral("1440"));
    EXPECT_EQ(singleText(-120.0f), QStringLiteral("-120"));
    EXPECT_EQ(singleText(1020.5f), QStringLiteral("1020.5"));
}

TEST(SamplingPeriod, OfferedTimesConvertExactlyAndDamagedOnesStayInRange) {
    EXPECT_EQ(samplingPeriod(QStringLiteral("0.1")), 100);
    EXPECT_EQ(samplingPeriod(QStringLiteral("0.5")), 500);
    EXPECT_EQ(samplingPeriod(QStringLiteral("2")), 2000);
    EXPECT_EQ(samplingPeriod(QStringLiteral("60")), 60000);
    EXPECT_EQ(samplingPeriod(QStringLiteral("0")), 100);
    EXPECT_EQ(samplingPeriod(QStringLiteral("abc")), 100);
    EXPECT_EQ(samplingPeriod(QStringLiteral("-5")), 100);
    EXPECT_EQ(samplingPeriod(QStringLiteral("1e9")), 60000);
    EXPECT_EQ(samplingPeriod(QStringLiteral("1e999")), 60000);
}

} // namespace
} // namespace zavok::kit
