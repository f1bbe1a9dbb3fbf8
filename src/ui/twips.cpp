#include "twips.h"

#include "kit/numbers.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zavok::ui {

namespace {

constexpr qreal kTwipsPerInch = 1440;
// Positions and sizes stay within the range Qt accepts for a widget, so that a position plus a size cannot
// overflow either.
constexpr qint64 kLargest = QWIDGETSIZE_MAX;
// Without a screen (never in practice) the resolution of an ordinary desktop.
constexpr qreal kFallbackDotsPerInch = 96;

} // namespace

Twips Twips::ofScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return Twips(screen != nullptr ? screen->logicalDotsPerInch() : kFallbackDotsPerInch);
}

int Twips::toPixels(float twips) const {
    return int(kit::roundHalfEven(double(twips) * dotsPerInch_ / kTwipsPerInch, -kLargest, kLargest));
}

int Twips::toPixelSize(float twips) const {
    return int(kit::roundHalfEven(double(twips) * dotsPerInch_ / kTwipsPerInch, 0, kLargest));
}

QRect Twips::toPixels(const kit::Place& place) const {
    return {toPixels(place.left), toPixels(place.top), toPixelSize(place.width), toPixelSize(place.height)};
}

QPointF Twips::toTwips(QPointF pixels) const {
    return pixels * kTwipsPerInch / dotsPerInch_;
}

} // namespace zavok::ui
