#pragma once

#include "alerts/alert_state.h"
#include "alerts/bell_timers.h"
#include "alerts/circuits.h"
#include "alerts/poll_cycle.h"
#include "alerts/trouble.h"

namespace zavok {

// The digital alerts wired to the main window: poll cycle, alert state, input supervision, bells and circuits.
struct Alerts {
    Alerts(MainForm& form, const TimerForm& timing, const ActivityLog& log, kit::GamePort& port,
           const kit::Joysticks& joysticks, const kit::Clock& clock, const QLocale& locale, kit::ClockTexts& clockTexts,
           kit::Bell& bell, kit::Dialogs& dialogs, std::function<void()> labname, std::function<void()> catfile)
        : state(form, bits, log)
        , trouble(form, log)
        , poll(form, timing, port, joysticks, clock, locale, clockTexts, bits, state, trouble, log)
        , bells(form, bell)
        , circuits(form, state, dialogs, std::move(labname), std::move(catfile)) {}

    AlertBits bits;
    AlertState state;
    Trouble trouble;
    PollCycle poll;
    BellTimers bells;
    Circuits circuits;
};

} // namespace zavok
