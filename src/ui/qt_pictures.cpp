#include "qt_pictures.h"

#include "kit/open_without_waiting.h"

#include <QImageReader>

namespace zavok::ui {

namespace {

// A picture file opened without ever waiting on what stands at the path: a FIFO chosen as the picture, or named in
// phones.zvk, would otherwise freeze every window. The pictures built into the program are resources.
bool openPicture(QFile& file, const QString& path) {
    if (path.startsWith(u':')) {
        file.setFileName(path);
        return file.open(QIODevice::ReadOnly);
    }
    return kit::openWithoutWaiting(file, path, QIODevice::ReadOnly);
}

} // namespace

bool QtPictures::canLoad(const QString& path) const {
    // Read whole, not only the header: a file whose header is sound but whose data is damaged would leave the
    // picture panel empty in place of the picture it had.
    QFile file;
    return !path.isEmpty() && openPicture(file, path) && !QImageReader(&file).read().isNull();
}

QPixmap readPicture(const QString& path) {
    QFile file;
    QPixmap picture;
    if (openPicture(file, path)) {
        picture.loadFromData(file.readAll());
    }
    return picture;
}

} // namespace zavok::ui
