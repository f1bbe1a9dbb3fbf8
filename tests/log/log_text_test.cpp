#include "log/log_viewer.h"

#include <gtest/gtest.h>

namespace zavok {
namespace {

using namespace Qt::StringLiterals;

TEST(LogText, LinesEndAtCrOrCrLfAndTheLastHasNoLineEnd) {
    EXPECT_EQ(logText("\"a\"\r\n\"b\"\r\n\"c\"\r\n"), u"\"a\"\r\n\"b\"\r\n\"c\""_s);
    EXPECT_EQ(logText("a\rb\r\n\r\nc"), u"a\r\nb\r\n\r\nc"_s);
    EXPECT_EQ(logText("a\nb"), u"a\nb"_s) << "a lone LF ends no line";
}

} // namespace
} // namespace zavok
