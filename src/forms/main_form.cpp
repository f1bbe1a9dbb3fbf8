#include "main_form.h"

#include "forms/channel_state.h"
#include "forms/circuit_state.h"
#include "forms/zone_colours.h"
#include "kit/pictures.h"

namespace zavok {

namespace {

using kit::Align;
using kit::Design;
using kit::Family;
using kit::Rgb;

constexpr Rgb kWindowBack{192, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kNavy{0, 0, 128};
constexpr Rgb kValueBack{128, 255, 128};
constexpr Rgb kScaleBack{255, 192, 255};
constexpr Rgb kTroughGreen{0, 255, 0};

// Alert rows under the picture, and the column of commands between them and the zones.
constexpr float kRowTop = 3180;
constexpr float kRowStep = 300;
constexpr float kRowHeight = 264;
constexpr float kColumnLeft = 4440;
constexpr float kBottomRowTop = 4620;

// Zone frames down the right side; the controls inside are placed relative to the frame.
constexpr float kZoneLeft = 5340;
constexpr float kZoneWidth = 2076;
constexpr float kZoneTop = 30;
constexpr float kZoneStep = 1320;
constexpr float kZoneHeight = 1290;

QString n(int i) {
    return QString::number(i);
}

float rowTop(int alert) {
    return kRowTop + kRowStep * float(alert - 1);
}

Design button(const QString& caption, float left, float top, float width, Rgb face, const QString& tip = {}) {
    return {.text = caption, .place = {left, top, width, kRowHeight + 12}, .back = face, .tip = tip};
}

} // namespace

MainForm::MainForm(kit::Desktop& desktop)
    : kit::Window(desktop, QStringLiteral("zavok"),
                  {.caption = QStringLiteral("ZAVOK"), .back = kWindowBack, .width = 7476, .height = 5316})
    , zavoklabel(add<kit::Label>(QStringLiteral("zavoklabel"),
                                 {.text = QStringLiteral("MONITORS, ANNUNCIATES, FIRES, INTRUDERS, ALERTS..."),
                                  .place = {60, 60, 5160, 264},
                                  .back = kValueBack,
                                  .fore = kRed,
                                  .font = {.points = 9, .bold = true, .family = Family::Narrow},
                                  .align = Align::Centre}))
    , Image1(add<kit::Image>(
          QStringLiteral("Image1"),
          {.place = {0, 360, 5280, 2760}, .tip = QStringLiteral("Click \"CHANGE IMAGE\" to change picture")}))
    , Label5(add<kit::Label>(QStringLiteral("Label5"), {.place = {0, 0, 1000, 252}, .visible = false}))
    , reset(add<kit::Button>(QStringLiteral("reset"), button(QStringLiteral("RESET"), kColumnLeft, rowTop(1), 780,
                                                             kYellow, QStringLiteral("Reset alert reminders"))))
    , timerset(add<kit::Button>(QStringLiteral("timerset"),
                                button(QStringLiteral("TIMER"), kColumnLeft, rowTop(2), 780, {192, 192, 255},
                                       QStringLiteral("Set timing in seconds for collecting data"))))
    , log(add<kit::Button>(QStringLiteral("log"),
                           button(QStringLiteral("LOG"), kColumnLeft, rowTop(3), 780, {192, 255, 192},
                                  QStringLiteral("Click to read log of activities"))))
    , soundoff(add<kit::Button>(QStringLiteral("soundoff"),
                                [] {
                                    Design d = button(QStringLiteral("BELL OFF"), kColumnLeft, rowTop(4), 780,
                                                      {192, 0, 0}, QStringLiteral("Click to switch alarm bell on/off"));
                                    d.fore = Rgb{255, 255, 255}; // black on dark red would hardly read
                                    return d;
                                }()))
    , soundon(add<kit::Button>(QStringLiteral("soundon"),
                               [] {
                                   Design d = button(QStringLiteral("BELL ON "), kColumnLeft, rowTop(4), 780,
                                                     {0, 192, 0}, QStringLiteral("Click to switch alarm bell on/off"));
                                   d.enabled = false;
                                   d.visible = false;
                                   return d;
                               }()))
    , image(add<kit::Button>(QStringLiteral("image"), button(QStringLiteral("CHANGE IMAGE"), 60, kBottomRowTop, 1452,
                                                             {255, 192, 128}, QStringLiteral("Click to change image"))))
    , help(add<kit::Button>(QStringLiteral("help"),
                            button(QStringLiteral("HELP"), 1620, kBottomRowTop, 972, {255, 255, 192})))
    , exit(add<kit::Button>(QStringLiteral("exit"), button(QStringLiteral("EXIT"), 2700, kBottomRowTop, 972,
                                                           {255, 128, 128}, QStringLiteral("Close program "))))
    , Text1(add<kit::TextBox>(QStringLiteral("Text1"), {.text = QStringLiteral("fileday var"), .visible = false}))
    , Text9(add<kit::TextBox>(QStringLiteral("Text9"), {.text = QStringLiteral("240"), .visible = false}))
    , Timer1(addTimer(QStringLiteral("Timer1"), 100, true))
    , Timer2(addTimer(QStringLiteral("Timer2"), 500, false)) {
    Image1.setPicture(kit::kFloorPlanPicture);

    for (int a = 1; a <= 4; ++a) {
        const int i = a - 1;
        const kit::Rgb rest = circuit::restColour(a);
        const float top = rowTop(a);
        const kit::Place home{60, top, 372, kRowHeight};
        blabel[i] = &add<kit::Label>(QStringLiteral("blabel") + n(a), {.text = u'#' + n(a),
                                                                       .place = home,
                                                                       .back = rest,
                                                                       .enabled = false,
                                                                       .align = Align::Centre,
                                                                       .border = true});
        alabel[i] = &add<kit::Label>(QStringLiteral("alabel") + n(a),
                                     {.text = QStringLiteral("  Alert #") + n(a) + QStringLiteral(" NO Contact"),
                                      .place = {480, top, 1692, kRowHeight},
                                      .back = rest,
                                      .tip = QStringLiteral("Click to reset movable indicators"),
                                      .border = true});
        clabel[i] =
            &add<kit::Label>(QStringLiteral("clabel") + n(a),
                             {.text = std::array{QStringLiteral("Front Door"), QStringLiteral("Back Door"),
                                                 QStringLiteral("Tank Overflow"), QStringLiteral("Freezer Alarm")}[i],
                              .place = {2220, top, 1272, kRowHeight},
                              .back = kYellow,
                              .fore = kRed,
                              .tip = QStringLiteral("Click to change name"),
                              .border = true});
        enable[i] = &add<kit::Label>(QStringLiteral("enable") + n(a),
                                     {.text = circuit::kEnabled,
                                      .place = {3540, top, 852, kRowHeight},
                                      .back = Rgb{0, 128, 0},
                                      .fore = kYellow,
                                      .tip = QStringLiteral("Click to enable or disable circuit"),
                                      .align = Align::Centre,
                                      .border = true});
        trigger[i] =
            &add<kit::Label>(QStringLiteral("a%1label").arg(a), {.text = QStringLiteral("1"), .visible = false});
    }
    // The movable indicators come after everything they may be dragged over, so that they lie on top.
    for (int a = 1; a <= 4; ++a) {
        indicator[a - 1] = &add<kit::Label>(QStringLiteral("Label") + n(a), {.text = u'#' + n(a),
                                                                             .place = blabel[a - 1]->place(),
                                                                             .back = kit::kPaletteLightGreen,
                                                                             .align = Align::Centre,
                                                                             .border = true,
                                                                             .draggable = true});
    }

    const std::array<QString, 4> frameNames{QStringLiteral("frame1"), QStringLiteral("frame2"),
                                            QStringLiteral("frame3"), QStringLiteral("Frame4")};
    const std::array<QString, 4> troughNames{QStringLiteral("pic11"), QStringLiteral("p1c22"), QStringLiteral("pic33"),
                                             QStringLiteral("pic44")};
    const QString zoneTip = QStringLiteral("Click to set properties...");
    const QString scaleTip = QStringLiteral("Click to set low/high meter values");
    for (int z = 1; z <= 4; ++z) {
        const int i = z - 1;
        auto& f = add<kit::Frame>(frameNames[i],
                                  {.text = QStringLiteral("Zone ") + n(z),
                                   .place = {kZoneLeft, kZoneTop + kZoneStep * float(i), kZoneWidth, kZoneHeight},
                                   .back = zone::kNormalFrame,
                                   .tip = zoneTip});
        frame[i] = &f;
        flabel[i] = &add<kit::Label>(
            QStringLiteral("flabel") + n(z),
            {.place = {60, 210, 1230, 252}, .fore = kNavy, .tip = zoneTip, .font = {.family = Family::Serif}}, &f);
        value[i] = &add<kit::Label>(
            QStringLiteral("value") + n(z),
            {.text = QStringLiteral("DIS"),
             .place = {1320, 210, 696, 252},
             .back = kValueBack,
             .fore = kRed,
             // The first zone's tip has always carried a trailing blank.
             .tip = QStringLiteral("Displays Analogue #") + n(z) + (z == 1 ? QStringLiteral(" ") : QString()),
             .font = {.bold = true},
             .align = Align::Centre},
            &f);
        // The meter starts at the frame's left edge, and its bar at the trough's top-left corner.
        trough[i] = &add<kit::PictureBox>(troughNames[i],
                                          {.place = {0, 480, 2030, 492},
                                           .back = kTroughGreen,
                                           .tip = QStringLiteral("Displays Analogue value #") + n(z)},
                                          &f);
        pic[i] = &add<kit::PictureBox>(QStringLiteral("pic") + n(z),
                                       {.place = {0, 480, channel::kRestMeterBar, 492}, .back = kRed}, &f);
        mzero[i] = &add<kit::Label>(QStringLiteral("mzero") + n(z),
                                    {.text = QStringLiteral("0"),
                                     .place = {60, 1010, 600, 228},
                                     .back = kScaleBack,
                                     .fore = kRed,
                                     .tip = scaleTip},
                                    &f);
        mfsd[i] = &add<kit::Label>(QStringLiteral("mfsd") + n(z),
                                   {.text = QStringLiteral("100"),
                                    .place = {1416, 1010, 600, 228},
                                    .back = kScaleBack,
                                    .fore = kRed,
                                    .tip = scaleTip,
                                    .align = Align::Right},
                                   &f);
        zoneBell[i] = &addTimer(QStringLiteral("Timer") + n(z + 2), 500, false);
    }
}

kit::OpenFileRequest MainForm::pictureRequest() {
    return {.filter = QStringLiteral("Image Files (*.bmp)|*.bmp|Image Files (*.jpg)|*.jpg|All Files (*.*)|*.*|"),
            .filterIndex = 1,
            .mustExist = true,
            .title = {},
            .initialDirectory = {}};
}

} // namespace zavok
