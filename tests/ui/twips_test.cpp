#include "ui/twips.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <limits>

namespace zavok::ui {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

struct Case {
    const char* name;
    float twips;
    int position;
    int size;
};

// 1440 twips are one inch, 96 pixels on an ordinary desktop; numbers from a damaged file stay within what a
// widget can hold, and a size is never negative.
TEST(Twips, ConvertAtTheScreenResolutionAndSaturate) {
    const Twips twips(96);
    const Case cases[] = {
        {"one inch", 1440, 96, 96},
        {"one pixel", 15, 1, 1},
        {"the main window's width", 7476, 498, 498},
        {"a negative position", -1440, -96, 0},
        {"far too large", 1e30F, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX},
        {"far too small", -1e30F, -QWIDGETSIZE_MAX, 0},
        {"infinite", kInfinity, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX},
        {"not a number", kNaN, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(twips.toPixels(c.twips), c.position) << c.name;
        EXPECT_EQ(twips.toPixelSize(c.twips), c.size) << c.name;
    }
    EXPECT_EQ(Twips(192).toPixels(kit::Place{720, 1440, 2880, 360}), QRect(96, 192, 384, 48));
    EXPECT_EQ(Twips(120).toTwips(QPointF(12, 0.5)), QPointF(144, 6));
}

} // namespace
} // namespace zavok::ui
