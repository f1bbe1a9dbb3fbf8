#include "look.h"

namespace zavok::ui {

// The program's captions were measured in a small, narrow desktop font: Sans and Serif are therefore condensed
// faces where the desktop has them, and Narrow narrower still.
QFont toFont(const kit::Font& font) {
    QFont f;
    switch (font.family) {
    case kit::Family::Sans:
        f.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
                       QStringLiteral("DejaVu Sans")});
        f.setStyleHint(QFont::SansSerif);
        break;
    case kit::Family::Serif:
        f.setFamilies({QStringLiteral("DejaVu Serif Condensed"), QStringLiteral("DejaVu Serif"),
                       QStringLiteral("Liberation Serif")});
        f.setStyleHint(QFont::Serif);
        break;
    case kit::Family::Narrow:
        f.setFamilies({QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans Narrow"),
                       QStringLiteral("DejaVu Sans Condensed")});
        f.setStyleHint(QFont::SansSerif);
        break;
    }
    f.setPointSize(font.points);
    f.setBold(font.bold);
    return f;
}

Qt::Alignment toAlignment(kit::Align align) {
    switch (align) {
    case kit::Align::Left:
        return Qt::AlignLeft | Qt::AlignTop;
    case kit::Align::Centre:
        return Qt::AlignHCenter | Qt::AlignTop;
    case kit::Align::Right:
        return Qt::AlignRight | Qt::AlignTop;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

} // namespace zavok::ui
