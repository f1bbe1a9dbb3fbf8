#pragma once

#include "meters/meter_scale.h"
#include "meters/zones.h"

namespace zavok {

// The meters and zone alarms wired to the main window.
struct Meters {
    Meters(MainForm& form, std::array<ChannelForm*, 4> channels, const ActivityLog& log, kit::Dialogs& dialogs)
        : zones(form, channels, log)
        , scale(form, dialogs) {}

    Zones zones;
    MeterScale scale;
};

} // namespace zavok
