#include "timer_form.h"

#include "kit/pictures.h"

namespace zavok {

namespace {

using kit::Rgb;

constexpr float kRowTop = 600;
constexpr float kRowStep = 480;
constexpr float kRowHeight = 372;

const QString kButtonTip = QStringLiteral("Click to change sampling time in seconds");

QStringList choices(std::initializer_list<const char*> entries) {
    QStringList list;
    for (const char* e : entries) {
        list.append(QString::fromLatin1(e));
    }
    return list;
}

} // namespace

TimerForm::TimerForm(kit::Desktop& desktop)
    : kit::Window(desktop, QStringLiteral("zavoktimer"),
                  {.caption = {}, .back = Rgb{192, 192, 0}, .width = 3804, .height = 3096, .border = kit::Border::None})
    , head(add<kit::Label>(QStringLiteral("head"), {.text = QStringLiteral("SET SAMPLING TIME IN SECONDS"),
                                                    .place = {120, 120, 3060, 300},
                                                    .font = {.points = 9, .bold = true, .family = kit::Family::Narrow},
                                                    .align = kit::Align::Centre}))
    , fclose(add<kit::Image>(QStringLiteral("fclose"),
                             {.place = {3300, 60, 432, 432}, .tip = QStringLiteral("Close window")})) {
    fclose.setPicture(kit::kCloseIcon);

    const QStringList alertChoices =
        choices({"0.1", "0.2", "0.3", "0.4", "0.5", "1",  "1.5", "2",  "2.5", "3",  "3.5", "4",  "4.5", "5",  "6",
                 "7",   "8",   "9",   "10",  "11",  "12", "13",  "14", "15",  "20", "25",  "30", "40",  "50", "60"});
    const QStringList channelChoices =
        choices({"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1",  "2",  "3",  "4",  "5", "6",
                 "7",   "8",   "9",   "10",  "15",  "20",  "25",  "30",  "35",  "40", "45", "50", "55", "60"});

    for (int row = 0; row < 5; ++row) {
        const float top = kRowTop + kRowStep * float(row);
        const QString r = QString::number(row);
        const QString design = row == 0 ? QStringLiteral("0.1") : QStringLiteral("0.5");
        time[row] = &add<kit::Button>(QStringLiteral("time") + r,
                                      {.text = row == 0 ? QStringLiteral("ALERT #1,2,3,4 TIMING")
                                                        : QStringLiteral("ANALOGUE #%1 TIMING").arg(row),
                                       .place = {120, top, 2292, kRowHeight},
                                       .tip = kButtonTip});
        secs[row] = &add<kit::Label>(QStringLiteral("secs") + r, {.text = design,
                                                                  .place = {2520, top, 1140, kRowHeight},
                                                                  .back = Rgb{255, 192, 128},
                                                                  .fore = Rgb{255, 0, 0},
                                                                  .tip = QStringLiteral("Sampling time in seconds"),
                                                                  .align = kit::Align::Centre,
                                                                  .border = true});
        sec[row] = &add<kit::ComboBox>(QStringLiteral("sec") + r,
                                       {.text = design,
                                        .place = {2520, top, 1140, kRowHeight},
                                        .tip = QStringLiteral("Select sampling time in seconds."),
                                        .enabled = false,
                                        .visible = false},
                                       nullptr, row == 0 ? alertChoices : channelChoices);
    }
}

} // namespace zavok
