#include "channel_form.h"

#include "forms/channel_state.h"
#include "kit/pictures.h"

#include <array>

namespace zavok {

namespace {

using kit::Align;
using kit::Design;
using kit::Rgb;

constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kLightCyan{128, 255, 255};

constexpr float kButtonHeight = 372;
// The name row (the name box and its buttons) and the bar above it.
constexpr float kNameRowHeight = 492;

const std::array<QString, 4> kDefaultNames{QStringLiteral("Pressure"), QStringLiteral("Volume"),
                                           QStringLiteral("Temperature"), QStringLiteral("Flow")};

// Headings and row labels are yellow like their frame, with blue text.
Design heading(const QString& text, float left, float top, float width) {
    return {.text = text, .place = {left, top, width, 252}, .back = kYellow, .fore = kBlue};
}

// The stored value of a setting: red, with a single-line border.
Design stored(const QString& text, float left, float top) {
    return {.text = text, .place = {left, top, 852, 348}, .back = kRed, .align = Align::Centre, .border = true};
}

// An entry box, disabled until its procedure opens it.
Design entry(float left, float top) {
    return {.place = {left, top, 852, 348}, .back = kGreen, .enabled = false, .align = Align::Centre};
}

Design command(const QString& caption, kit::Place place, bool enabled, bool visible = true, const QString& tip = {}) {
    return {.text = caption, .place = place, .tip = tip, .enabled = enabled, .visible = visible};
}

} // namespace

ChannelForm::ChannelForm(kit::Desktop& desktop, int number)
    : kit::Window(
          desktop, QStringLiteral("zavokform") + QString::number(number),
          {.caption = {}, .back = kBlue, .width = 6192, .height = 5772, .border = kit::Border::None, .centred = true})
    , Picture1(add<kit::PictureBox>(QStringLiteral("Picture1"),
                                    {.place = {0, 120, channel::kRestBar, kNameRowHeight}, .back = kRed}))
    , fname(add<kit::TextBox>(QStringLiteral("fname"),
                              {.text = kDefaultNames.at(number - 1),
                               .place = {120, 720, 2652, kNameRowHeight},
                               .back = kLightCyan,
                               .fore = kRed,
                               .tip = QStringLiteral("Double click to change name and click SET NAME"),
                               .font = {.points = 18, .bold = true},
                               .align = Align::Centre,
                               .maxLength = 12}))
    , setname(add<kit::Button>(QStringLiteral("setname"),
                               command(QStringLiteral("SET NAME"), {2880, 720, 972, kNameRowHeight}, true, false,
                                       QStringLiteral("Click to set name"))))
    , enable(add<kit::Button>(QStringLiteral("enable"),
                              command(QStringLiteral("ENABLE"), {3960, 720, 1332, kNameRowHeight}, true, true,
                                      QStringLiteral("Click to enable reading"))))
    , disable(add<kit::Button>(QStringLiteral("disable"),
                               command(QStringLiteral("DISABLE"), {3960, 720, 1332, kNameRowHeight}, false, false,
                                       QStringLiteral("Click to disable reading"))))
    , fclose(add<kit::Image>(QStringLiteral("fclose"),
                             {.place = {5520, 720, 432, 432}, .tip = QStringLiteral("Close window")}))
    , set1(add<kit::Frame>(QStringLiteral("set1"), {.text = QStringLiteral("SET LOW AND HIGH ALARMS"),
                                                    .place = {120, 1320, 6000, 1812},
                                                    .back = kYellow,
                                                    .fore = kBlue}))
    , lowalarml(
          add<kit::Label>(QStringLiteral("lowalarml"), heading(QStringLiteral("SET LOW ALARM"), 120, 636, 1900), &set1))
    , highalarml(add<kit::Label>(QStringLiteral("highalarml"),
                                 heading(QStringLiteral("SET HIGH ALARM"), 120, 1140, 1900), &set1))
    , setvaluel(add<kit::Label>(QStringLiteral("setvaluel"), heading(QStringLiteral("SET"), 2160, 240, 1200), &set1))
    , newvaluel(
          add<kit::Label>(QStringLiteral("newvaluel"), heading(QStringLiteral("NEW VALUE"), 3480, 240, 1200), &set1))
    , setlowl(add<kit::Label>(QStringLiteral("setlowl"), stored(QStringLiteral("0"), 2400, 600), &set1))
    , sethighl(add<kit::Label>(QStringLiteral("sethighl"), stored(QStringLiteral("100"), 2400, 1080), &set1))
    , setnewlowt(add<kit::TextBox>(QStringLiteral("setnewlowt"), entry(3720, 600), &set1))
    , setnewhight(add<kit::TextBox>(QStringLiteral("setnewhight"), entry(3720, 1080), &set1))
    , setcom(add<kit::Button>(QStringLiteral("setcom"),
                              command(QStringLiteral("SET"), {4680, 600, 972, kButtonHeight}, false, false,
                                      QStringLiteral("Set alarm settings")),
                              &set1))
    , setclosecom(add<kit::Button>(QStringLiteral("setclosecom"),
                                   command(QStringLiteral("CLOSE"), {4680, 1080, 972, kButtonHeight}, false), &set1))
    , Label1(add<kit::Label>(QStringLiteral("Label1"),
                             {.place = {0, 1560, 6012, 252}, .back = kYellow, .fore = kRed, .align = Align::Centre},
                             &set1))
    // CHANGE lies over SET, CALIBRATE over FINALIZE CALIBRATION: declared after them, they are on top.
    , changealarm(add<kit::Button>(QStringLiteral("changealarm"),
                                   command(QStringLiteral("CHANGE"), {4680, 600, 972, kButtonHeight}, true, true,
                                           QStringLiteral("Change alarm settings")),
                                   &set1))
    , cal1(add<kit::Frame>(QStringLiteral("cal1"), {.text = QStringLiteral("CALIBRATE ZERO / FULL SCALE VALUES"),
                                                    .place = {100, 3240, 6000, 2412},
                                                    .back = kYellow,
                                                    .fore = kBlue}))
    , calvall(add<kit::Label>(QStringLiteral("calvall"), heading(QStringLiteral("SET"), 1920, 240, 1300), &cal1))
    , calreadl(add<kit::Label>(QStringLiteral("calreadl"), heading(QStringLiteral("ONLINE"), 3360, 240, 1300), &cal1))
    , calzerol(
          add<kit::Label>(QStringLiteral("calzerol"), heading(QStringLiteral("ZERO VALUE"), 500, 650, 1700), &cal1))
    , calfsdl(
          add<kit::Label>(QStringLiteral("calfsdl"), heading(QStringLiteral("F.S.D VALUE"), 500, 1130, 1700), &cal1))
    , calzvall(add<kit::Label>(QStringLiteral("calzvall"), stored(QStringLiteral("0"), 2280, 600), &cal1))
    , calfvall(add<kit::Label>(QStringLiteral("calfvall"), stored(QStringLiteral("65500"), 2280, 1080), &cal1))
    , calzerot(add<kit::TextBox>(QStringLiteral("calzerot"), entry(3600, 600), &cal1))
    , calfsdt(add<kit::TextBox>(QStringLiteral("calfsdt"), entry(3600, 1080), &cal1))
    , calsetzerocom(add<kit::Button>(QStringLiteral("calsetzerocom"),
                                     command(QStringLiteral("SET ZERO"), {4800, 600, 1092, kButtonHeight}, false),
                                     &cal1))
    , calsetfsdcom(add<kit::Button>(QStringLiteral("calsetfsdcom"),
                                    command(QStringLiteral("SET F.S.D."), {4800, 1080, 1092, kButtonHeight}, false),
                                    &cal1))
    , calclosecom(add<kit::Button>(QStringLiteral("calclosecom"),
                                   command(QStringLiteral("CLOSE"), {4800, 1850, 972, kButtonHeight}, false), &cal1))
    , auto_(add<kit::Button>(QStringLiteral("auto"),
                             command(QStringLiteral("AUTO"), {240, 1850, 972, kButtonHeight}, false), &cal1))
    , manual(add<kit::Button>(QStringLiteral("manual"),
                              command(QStringLiteral("MANUAL"), {240, 1850, 972, kButtonHeight}, true, false), &cal1))
    , calfincom(add<kit::Button>(
          QStringLiteral("calfincom"),
          command(QStringLiteral("FINALIZE CALIBRATION"), {1800, 1850, 2292, kButtonHeight}, false, false), &cal1))
    , Label3(add<kit::Label>(QStringLiteral("Label3"),
                             {.text = channel::kPressCalibrate,
                              .place = {0, 1540, 6012, 252},
                              .back = kYellow,
                              .fore = kBlue,
                              .align = Align::Centre},
                             &cal1))
    , calibrate(add<kit::Button>(QStringLiteral("calibrate"),
                                 command(QStringLiteral("CALIBRATE"), {1800, 1850, 2292, kButtonHeight}, true), &cal1))
    , Text1(add<kit::TextBox>(QStringLiteral("Text1"), {.visible = false}))
    , Text5(add<kit::TextBox>(QStringLiteral("Text5"), {.visible = false}))
    , Timer1(addTimer(QStringLiteral("Timer1"), 1000, true))
    , channel_(number) {
    fclose.setPicture(kit::kCloseIcon);
}

} // namespace zavok
