#include "bell_timers.h"

namespace zavok {

BellTimers::BellTimers(MainForm& form, kit::Bell& bell) : form_(form), bell_(bell) {
    form_.Timer2.onTick = [this] { ring(); };
    for (kit::Timer* timer : form_.zoneBell) {
        timer->onTick = [this] { ring(); };
    }
    // The two buttons share one place; the one shown tells the bell's state.
    form_.soundoff.onClick = [this] {
        form_.soundoff.setEnabled(false);
        form_.soundoff.setVisible(false);
        form_.soundon.setEnabled(true);
        form_.soundon.setVisible(true);
    };
    form_.soundon.onClick = [this] {
        form_.soundon.setEnabled(false);
        form_.soundon.setVisible(false);
        form_.soundoff.setEnabled(true);
        form_.soundoff.setVisible(true);
    };
}

void BellTimers::ring() {
    if (isBellOn()) {
        bell_.beep();
    }
}

} // namespace zavok
