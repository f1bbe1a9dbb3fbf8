#include "qt_pictures.h"

#include <QImageReader>

namespace zavok::ui {

bool QtPictures::canLoad(const QString& path) const {
    return !path.isEmpty() && QImageReader(path).canRead();
}

} // namespace zavok::ui
