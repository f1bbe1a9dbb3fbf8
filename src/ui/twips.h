#pragma once

#include "kit/design.h"

#include <QPointF>
#include <QRect>

namespace zavok::ui {

// The kit measures in twips (1/1440 inch); the screen in pixels at its logical resolution. Positions read from a
// damaged file may be anything, so every conversion saturates to what a widget can hold.
class Twips {
public:
    explicit Twips(qreal dotsPerInch) : dotsPerInch_(dotsPerInch) {}
    // At the primary screen's logical resolution.
    static Twips ofScreen();

    int toPixels(float twips) const;
    // A size is never negative.
    int toPixelSize(float twips) const;
    QRect toPixels(const kit::Place& place) const;
    QPointF toTwips(QPointF pixels) const;

private:
    qreal dotsPerInch_;
};

} // namespace zavok::ui
