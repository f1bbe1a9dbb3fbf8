#pragma once

#include "ui/kit/pictures.h"

namespace zavok::ui {

// A picture is a file that one of Qt's image readers recognises (BMP, JPEG, PNG and the rest).
class QtPictures final : public kit::Pictures {
public:
    bool canLoad(const QString& path) const override;
};

} // namespace zavok::ui
