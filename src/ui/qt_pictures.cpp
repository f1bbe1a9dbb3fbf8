#include "qt_pictures.h"

#include "kit/open_without_waiting.h"

#include <QImageReader>
#include <QtEndian>

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

// Qt's BMP reader keeps the rows it managed to read from a file cut short, so a BMP is measured against the size
// its header asks for: the pixel rows when they are stored plain, the file size it gives when they are run-length
// coded. Other formats are left to their readers, which refuse damaged data.
bool bmpCutShort(QFile& file) {
    const QByteArray head = file.peek(34);
    if (head.size() < 26 || !head.startsWith("BM")) {
        return false;
    }
    const auto at = [&head](int offset) { return qFromLittleEndian<quint32>(head.constData() + offset); };
    const auto at16 = [&head](int offset) { return qFromLittleEndian<quint16>(head.constData() + offset); };
    const bool core = at(14) == 12; // the oldest header, with 16-bit sizes and no compression
    if (!core && head.size() < 34) {
        return false;
    }
    const quint32 compression = core ? 0 : at(30);
    quint64 needed = at(2);
    if (compression == 0 || compression == 3) {
        const quint64 width = core ? at16(18) : qAbs(qint64(qint32(at(18))));
        const quint64 height = core ? at16(20) : qAbs(qint64(qint32(at(22))));
        const quint64 bits = at16(core ? 24 : 28);
        needed = at(10) + (width * bits + 31) / 32 * 4 * height;
    }
    return quint64(file.size()) < needed;
}

} // namespace

bool QtPictures::canLoad(const QString& path) const {
    // Read whole, not only the header: a file whose header is sound but whose data is damaged would leave the
    // picture panel empty in place of the picture it had.
    QFile file;
    return !path.isEmpty() && openPicture(file, path) && !bmpCutShort(file) && !QImageReader(&file).read().isNull();
}

QImage readPicture(const QString& path) {
    // Through the reader, which takes only what the picture's own data needs: read whole first, a picture that a
    // huge file carries in front would hold up the start and fill the memory.
    QFile file;
    return openPicture(file, path) ? QImageReader(&file).read() : QImage();
}

} // namespace zavok::ui
