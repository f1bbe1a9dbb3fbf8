#pragma once

#include "rgb.h"

#include <QString>

#include <optional>

namespace zavok::kit {

// Positions and sizes are in twips (1/1440 inch), single precision as the settings files store them.
struct Place {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

enum class Family { Sans, Serif, Narrow };
enum class Align { Left, Centre, Right };

struct Font {
    int points = 8;
    bool bold = false;
    Family family = Family::Sans;
};

// The design-time properties of a control, written with designated initialisers so that every
// declaration reads like the property sheet it comes from. Fields a control kind does not use are ignored.
struct Design {
    QString text{};
    Place place{};
    std::optional<Rgb> back{}; // unset: the desktop's own face colour
    std::optional<Rgb> fore{};
    QString tip{};
    bool enabled = true;
    bool visible = true;
    Font font{};
    Align align = Align::Left;
    bool border = false;    // labels and picture boxes: a single-line border
    bool draggable = false; // labels: dragging starts by itself when pressed
    bool locked = false;    // text boxes: shown but not editable
    int maxLength = 0;      // text boxes: 0 means no limit
    bool multiline = false; // text boxes: several lines with both scroll bars
};

} // namespace zavok::kit
