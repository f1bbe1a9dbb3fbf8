#include "look.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>
#include <array>

namespace zavok::ui {

namespace {

// The program's captions were measured in a small, narrow desktop font: Sans and Serif are therefore condensed
// faces where the desktop has them, and Narrow narrower still.
QStringList facesOf(kit::Family family) {
    switch (family) {
    case kit::Family::Sans:
        return {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
                QStringLiteral("DejaVu Sans")};
    case kit::Family::Serif:
        return {QStringLiteral("DejaVu Serif Condensed"), QStringLiteral("DejaVu Serif"),
                QStringLiteral("Liberation Serif")};
    case kit::Family::Narrow:
        return {QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans Narrow"),
                QStringLiteral("DejaVu Sans Condensed")};
    }
    return {};
}

// The first of a family's faces that the desktop has, alone: given several, Qt asks fontconfig at once for every
// face that could stand in for a character the first lacks, for each font, half a millisecond of the start for three
// fonts; given one, it asks when a text has such a character. Where the desktop has none of them, all, as Qt then
// chooses by the kind of face.
QStringList chosenFaces(kit::Family family) {
    const QStringList faces = facesOf(family);
    const auto installed =
        std::find_if(faces.begin(), faces.end(), [](const QString& face) { return QFontDatabase::hasFamily(face); });
    return installed != faces.end() ? QStringList{*installed} : faces;
}

} // namespace

QFont toFont(const kit::Font& font) {
    // Chosen once: the desktop's faces do not change under a running program.
    static const std::array<QStringList, 3> chosen{chosenFaces(kit::Family::Sans), chosenFaces(kit::Family::Serif),
                                                   chosenFaces(kit::Family::Narrow)};
    QFont f;
    f.setFamilies(chosen.at(static_cast<std::size_t>(font.family)));
    f.setStyleHint(font.family == kit::Family::Serif ? QFont::Serif : QFont::SansSerif);
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
