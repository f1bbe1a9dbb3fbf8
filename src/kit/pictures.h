#pragma once

#include <QString>

namespace zavok::kit {

// Pictures that ship inside the program, named by resource path; the renderer holds the resources.
inline const QString kFloorPlanPicture = QStringLiteral(":/zavok/floorplan.png");
inline const QString kCloseIcon = QStringLiteral(":/zavok/close.png");

// Whether a file can be shown as a picture. Decoding images needs QtGui, so the core only asks.
class Pictures {
public:
    virtual ~Pictures() = default;
    virtual bool canLoad(const QString& path) const = 0;
};

} // namespace zavok::kit
