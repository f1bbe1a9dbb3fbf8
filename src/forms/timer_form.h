#pragma once

#include "kit/control.h"
#include "kit/window.h"

#include <array>

namespace zavok {

// The sampling-time window `zavoktimer`: row 0 is the alerts, rows 1..4 the analogue channels.
class TimerForm : public kit::Window {
    Q_OBJECT

public:
    explicit TimerForm(kit::Desktop& desktop);

    kit::Label& head;
    std::array<kit::Button*, 5> time{};  // time0..time4
    std::array<kit::Label*, 5> secs{};   // secs0..secs4: the sampling times in seconds
    std::array<kit::ComboBox*, 5> sec{}; // sec0..sec4: the choices, shown while a row is being changed
    kit::Image& fclose;
};

} // namespace zavok
