#include "help_form.h"

#include "kit/pictures.h"

namespace zavok {

HelpForm::HelpForm(kit::Desktop& desktop)
    : kit::Window(desktop, QStringLiteral("zavokhelp"),
                  {.caption = QStringLiteral("  LET THE ZAVOK HELP YOU"),
                   .back = {255, 255, 224},
                   .width = 6240,
                   .height = 4800})
    , Image1(add<kit::Image>(QStringLiteral("Image1"), {.place = {120, 120, 2400, 1560}, .border = true}))
    , Label1(add<kit::Label>(
          QStringLiteral("Label1"),
          {.text = QStringLiteral(
               "ZAVOK watches eight inputs wired to your computer's game port: four alert contacts, such as doors, "
               "a tank overflow switch or a freezer alarm, and four analogue sensors for pressure, volume, "
               "temperature, flow or whatever you connect. Every contact that closes or opens and every zone that "
               "goes into or out of alarm changes colour, rings the bell and is written, with its time and date, "
               "into the day's activity log.\n\n"
               "Click a zone to name its sensor, calibrate it and set its low and high alarms; click the numbers "
               "under a meter to set its scale; TIMER sets how often each input is read.\n\n"
               "CAUTION: ZAVOK is an aid, not a safety system. Wire sensors with the power off, keep mains "
               "voltage away from the game port, and never rely on it alone where life or property is at stake."),
           .place = {2640, 120, 3480, 4560},
           .fore = kit::Rgb{0, 0, 128}})) {
    Image1.setPicture(kit::kFloorPlanPicture);
    // Two rules under the picture, for the look of a printed leaflet. The window owns what it adds, which the
    // analyzer cannot tell when the result is not kept.
    // NOLINTBEGIN(clang-analyzer-cplusplus.NewDeleteLeaks)
    for (int rule = 1; rule <= 2; ++rule) {
        add<kit::PictureBox>(QStringLiteral("Picture") + QString::number(rule),
                             {.place = {120, 1680 + 120.0f * float(rule), 2400, 30}, .back = kit::Rgb{0, 0, 128}});
    }
    // NOLINTEND(clang-analyzer-cplusplus.NewDeleteLeaks)
}

} // namespace zavok
