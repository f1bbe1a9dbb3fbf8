#pragma once

#include "alerts/alert_state.h"
#include "forms/main_form.h"
#include "kit/dialogs.h"

#include <array>
#include <functional>

namespace zavok {

// The user's three ways with an alert circuit: switch it off and on, rename it, send its indicator home.
class Circuits {
public:
    // `labname` and `catfile` save the names and the indicator positions.
    Circuits(MainForm& form, AlertState& alerts, kit::Dialogs& dialogs, std::function<void()> labname,
             std::function<void()> catfile);

    // The text last typed for each circuit's name since the program started.
    const QString& newname(int circuit) const { return newname_.at(circuit - 1); }

private:
    void toggle(int circuit);
    void rename(int circuit);
    void sendHome(int circuit);

    MainForm& form_;
    AlertState& alerts_;
    kit::Dialogs& dialogs_;
    std::function<void()> labname_;
    std::function<void()> catfile_;
    std::array<QString, 4> newname_;
};

} // namespace zavok
