#pragma once

#include "alerts/alert_state.h"
#include "alerts/trouble.h"
#include "forms/main_form.h"
#include "forms/timer_form.h"
#include "kit/clock.h"
#include "kit/clock_texts.h"
#include "kit/inputs.h"
#include "kit/numbers.h"
#include "log/activity_log.h"

#include <QLocale>

#include <optional>

namespace zavok {

// The main window's heartbeat: each tick of its Timer1 reads the game port once, refreshes the clock texts, tells
// the input supervision whether the port's or a joystick's source is faulty, hands the four alert bits to the trigger
// labels, switches the alerts' bell and gives the records that the activity log could not write another chance.
class PollCycle {
public:
    static constexpr int kGamePort = 513; // 0x201

    PollCycle(MainForm& form, const TimerForm& timing, kit::GamePort& port, const kit::Joysticks& joysticks,
              const kit::Clock& clock, const QLocale& locale, kit::ClockTexts& clockTexts, AlertBits& bits,
              const AlertState& alerts, Trouble& trouble, const ActivityLog& log);

    void tick();

    qint16 portvalue() const { return portvalue_; }
    // How many ticks have run: what a watchdog sees of the program's heartbeat.
    quint64 ticks() const { return ticks_; }
    quint8 portbyte() const { return portbyte_; }

private:
    MainForm& form_;
    const TimerForm& timing_;
    kit::GamePort& port_;
    const kit::Joysticks& joysticks_;
    const kit::Clock& clock_;
    QLocale locale_;
    kit::ClockTexts& clockTexts_;
    AlertBits& bits_;
    const AlertState& alerts_;
    Trouble& trouble_;
    const ActivityLog& log_;
    qint16 portvalue_ = 0;
    kit::NumberText portvalueText_; // Text9, made from portvalue_
    quint8 portbyte_ = 0;
    kit::TextReading<quint8> portText_; // Text9, taken back into portbyte_
    quint64 ticks_ = 0;
    kit::TextReading<int> period_; // the sampling time
};

} // namespace zavok
