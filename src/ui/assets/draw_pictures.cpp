// Draws the pictures built into the program, at build time, so that every one of them is our own.
// Usage: zavok_draw_pictures OUTPUT_DIRECTORY

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

const QColor kWall(60, 60, 70);
const QColor kHall(236, 232, 220);

struct Room {
    QRect area;
    QColor floor;
    const char* name = nullptr;
};

// A door is a gap in a wall with the leaf drawn open and the arc it sweeps.
void door(QPainter& p, QPoint hinge, QPoint leafEnd, QRect sweep, int startAngle) {
    p.setPen(QPen(kWall, 1.5));
    p.drawLine(hinge, leafEnd);
    p.setPen(QPen(kWall, 0.8, Qt::DashLine));
    p.drawArc(sweep, startAngle * 16, 90 * 16);
}

// The built-in picture of the main window: the plan of a small house, where the alert indicators are put.
QImage floorPlan() {
    QImage image(366, 240, QImage::Format_RGB32);
    image.fill(QColor(250, 250, 244));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const Room rooms[] = {
        {{12, 12, 150, 96}, QColor(214, 232, 250), "LIVING ROOM"},
        {{162, 12, 104, 96}, QColor(250, 236, 200), "KITCHEN"},
        {{266, 12, 88, 96}, QColor(218, 240, 218), "UTILITY"},
        {{12, 108, 342, 30}, kHall, "HALL"},
        {{12, 138, 126, 90}, QColor(240, 220, 236), "BEDROOM"},
        {{138, 138, 72, 90}, QColor(210, 238, 240), "BATH"},
        {{210, 138, 144, 90}, QColor(240, 226, 214), "BEDROOM"},
    };
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    for (const Room& room : rooms) {
        p.fillRect(room.area, room.floor);
        p.setPen(QColor(90, 90, 110));
        p.drawText(room.area, Qt::AlignCenter, QString::fromLatin1(room.name));
    }

    // The walls: the outline, the two walls along the hall and those between the rooms.
    p.setPen(QPen(kWall, 4, Qt::SolidLine, Qt::SquareCap));
    p.setBrush(Qt::NoBrush);
    p.drawRect(12, 12, 342, 216);
    p.drawLine(12, 108, 354, 108);
    p.drawLine(12, 138, 354, 138);
    p.drawLine(162, 12, 162, 108);
    p.drawLine(266, 12, 266, 108);
    p.drawLine(138, 138, 138, 228);
    p.drawLine(210, 138, 210, 228);

    // Doors from the hall into each room, and the front and back doors at its ends.
    for (const int x : {70, 190, 290}) {
        p.fillRect(x, 105, 22, 6, kHall);
        door(p, {x, 108}, {x, 86}, QRect(x - 22, 86, 44, 44), 0);
    }
    for (const int x : {60, 160, 260}) {
        p.fillRect(x, 135, 22, 6, kHall);
        door(p, {x, 138}, {x, 160}, QRect(x - 22, 116, 44, 44), 270);
    }
    p.fillRect(9, 112, 6, 22, kHall);
    p.fillRect(351, 112, 6, 22, kHall);
    p.setPen(QPen(QColor(180, 40, 40), 2));
    p.drawLine(12, 112, 12, 134);
    p.drawLine(354, 112, 354, 134);

    // Windows: thin double lines set into the outer walls.
    p.setPen(QPen(QColor(90, 140, 200), 2));
    for (const QLine& window : {QLine(40, 12, 100, 12), QLine(190, 12, 240, 12), QLine(40, 228, 100, 228),
                                QLine(240, 228, 320, 228), QLine(354, 40, 354, 80)}) {
        p.drawLine(window);
    }

    // The tank in the utility room and the freezer in the kitchen, two of the things the program watches.
    p.setPen(QPen(kWall, 1.2));
    p.setBrush(QColor(170, 200, 230));
    p.drawEllipse(QPoint(326, 40), 14, 14);
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(236, 18, 24, 20);
    return image;
}

// The close image of the program's own windows: a white cross on a red disc.
QImage closeIcon() {
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 0, 0), 3));
    p.setBrush(QColor(220, 30, 30));
    p.drawEllipse(QRectF(3, 3, 58, 58));
    p.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(20, 20, 44, 44);
    p.drawLine(44, 20, 20, 44);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    // Text needs a font database, and so an application; drawing needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const bool saved = floorPlan().save(out.filePath(QStringLiteral("floorplan.png"))) &&
                       closeIcon().save(out.filePath(QStringLiteral("close.png")));
    return saved ? 0 : 1;
}
