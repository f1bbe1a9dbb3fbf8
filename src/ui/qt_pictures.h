#pragma once

#include "kit/pictures.h"

#include <QPixmap>

namespace zavok::ui {

// A picture is a file that one of Qt's image readers reads whole (BMP, JPEG, PNG and the rest).
class QtPictures final : public kit::Pictures {
public:
    bool canLoad(const QString& path) const override;
};

// The picture at `path` (a file, or a resource of the program); a null image when it cannot be read. Safe on any
// thread.
QImage readPicture(const QString& path);

} // namespace zavok::ui
