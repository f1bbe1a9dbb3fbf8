#pragma once

#include "forms/main_form.h"
#include "kit/bell.h"

namespace zavok {

// The five bell timers (the alerts' Timer2 and the zones' Timer3..Timer6) and the BELL OFF / BELL ON switch.
// Each running timer beeps once a period while the bell is on; the bell always starts off.
class BellTimers {
public:
    BellTimers(MainForm& form, kit::Bell& bell);

    bool isBellOn() const { return form_.soundon.isEnabled(); }

private:
    void ring();

    MainForm& form_;
    kit::Bell& bell_;
};

} // namespace zavok
