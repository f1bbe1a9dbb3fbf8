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

// A family as QFontDatabase::families() lists it: "Nimbus Sans Narrow [urw]" where several foundries make it.
QStringView familyOf(const QString& listed) {
    const qsizetype open = listed.indexOf(u'[');
    return open > 0 && listed.indexOf(u']', open) > open ? QStringView(listed).left(open).trimmed()
                                                         : QStringView(listed);
}

// The first of a family's faces that the desktop has, alone: given several, Qt asks fontconfig at once for every
// face that could stand in for a character the first lacks, for each font, half a millisecond of the start for three
// fonts; given one, it asks when a text has such a character. Where the desktop has none of them, all, as Qt then
// chooses by the kind of face. Looked up in the desktop's families rather than through QFontDatabase::hasFamily,
// which first has fontconfig apply its whole configuration to the name, a third of a millisecond a face, to resolve
// aliases that none of these names is.
QStringList chosenFaces(kit::Family family, const QStringList& desktop) {
    const QStringList faces = facesOf(family);
    const auto installed = std::find_if(faces.begin(), faces.end(), [&desktop](const QString& face) {
        return std::any_of(desktop.begin(), desktop.end(), [&face](const QString& listed) {
            return familyOf(listed).compare(face, Qt::CaseInsensitive) == 0;
        });
    });
    return installed != faces.end() ? QStringList{*installed} : faces;
}

// Each family's chosen faces, in the order of kit::Family.
std::array<QStringList, 3> chosenFacesOfEachFamily() {
    const QStringList desktop = QFontDatabase::families();
    return {chosenFaces(kit::Family::Sans, desktop), chosenFaces(kit::Family::Serif, desktop),
            chosenFaces(kit::Family::Narrow, desktop)};
}

} // namespace

QFont toFont(const kit::Font& font) {
    // Chosen once: the desktop's faces do not change under a running program.
    static const std::array<QStringList, 3> chosen = chosenFacesOfEachFamily();
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
