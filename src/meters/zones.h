#pragma once

#include "forms/channel_form.h"
#include "forms/main_form.h"
#include "log/activity_log.h"
#include "meters/zone_texts.h"

#include <array>

namespace zavok {

// The four zones of the main window: every new value is classified against the meter's scale and the channel's
// alarm limits, and every change of a zone label that names an alarm or the channel is logged.
class Zones {
public:
    Zones(MainForm& form, std::array<ChannelForm*, 4> channels, const ActivityLog& log);

    // Classifies zone 1..4 from what its controls show at this moment.
    void classify(int zone);
    // The frame back to its normal colour, then a fresh classification: start-up and RESET do this per zone.
    void reclassify(int zone);
    // RESET's part: every zone label back to its channel's name, then every zone classified again.
    void reset();

    // The state zone 1..4 last showed, as its last record told it; nothing while its label has shown no state yet.
    std::optional<zone::State> state(int zone) const { return states_.at(zone - 1); }

private:
    void logZoneLabel(int zone);

    MainForm& form_;
    std::array<ChannelForm*, 4> channels_;
    const ActivityLog& log_;
    std::array<std::optional<zone::State>, 4> states_{};
};

} // namespace zavok
