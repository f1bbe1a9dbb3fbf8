#include "zones.h"

#include "forms/zone_colours.h"
#include "kit/numbers.h"

namespace zavok {

Zones::Zones(MainForm& form, std::array<ChannelForm*, 4> channels, const ActivityLog& log)
    : form_(form)
    , channels_(channels)
    , log_(log) {
    for (int k = 1; k <= 4; ++k) {
        form_.value.at(k - 1)->onChange = [this, k] { classify(k); };
        form_.flabel.at(k - 1)->onChange = [this, k] { logZoneLabel(k); };
        // The design's label may already show a state, which no change would tell.
        states_.at(k - 1) = zone::shownState(form_.flabel.at(k - 1)->text(), channels_.at(k - 1)->fname.text());
    }
}

void Zones::classify(int zone) {
    const int i = zone - 1;
    const ChannelForm& channel = *channels_.at(i);
    const double v = kit::prefixValue(form_.value.at(i)->text());
    const double a = kit::prefixValue(channel.setlowl.text());
    const double b = kit::prefixValue(channel.sethighl.text());
    const double z = kit::prefixValue(form_.mzero.at(i)->text());
    const double f = kit::prefixValue(form_.mfsd.at(i)->text());
    const bool enabled = channel.disable.isEnabled();

    // Strict bounds for the alarm limits, inclusive ones for the scale; the first test that holds wins. Zone 1
    // has always needed a value above the meter's low value for a high alarm.
    const bool aboveLow = zone == 1 ? v > z : v >= z;
    const QString* alarm = nullptr;
    if (enabled && v < a && v >= z && v <= f) {
        alarm = &zone::kLowAlarm;
    } else if (enabled && v > b && aboveLow && v <= f) {
        alarm = &zone::kHighAlarm;
    } else if (enabled && v < z) {
        alarm = &zone::kLowCalError;
    } else if (enabled && v > f) {
        alarm = &zone::kHighCalError;
    }

    kit::Label& label = *form_.flabel.at(i);
    kit::Timer& bell = *form_.zoneBell.at(i);
    if (alarm == nullptr) {
        label.setText(channel.fname.text());
        bell.setEnabled(false);
        return; // the frame's alarm colour latches until RESET
    }
    // The label first, so that its record is written before the bell and the frame change.
    label.setText(*alarm);
    bell.setEnabled(true);
    form_.frame.at(i)->setBack(zone::kAlarmFrame);
}

void Zones::reclassify(int zone) {
    form_.frame.at(zone - 1)->setBack(zone::kNormalFrame);
    classify(zone);
}

void Zones::reset() {
    for (int k = 1; k <= 4; ++k) {
        form_.flabel.at(k - 1)->setText(channels_.at(k - 1)->fname.text());
    }
    for (int k = 1; k <= 4; ++k) {
        reclassify(k);
    }
}

void Zones::logZoneLabel(int zone) {
    const QString& name = channels_.at(zone - 1)->fname.text();
    const std::optional<zone::State> shown = zone::shownState(form_.flabel.at(zone - 1)->text(), name);
    if (!shown) {
        return;
    }
    // Kept before the record goes out, so that whoever hears the record finds the zone in its new state.
    states_.at(zone - 1) = shown;
    log_.append(zone::record(name, *shown), {zone::recordKind(*shown), zone});
}

} // namespace zavok
