#pragma once

#include "forms/channel_form.h"
#include "forms/main_form.h"

#include <functional>

namespace zavok {

// Switches a channel on and off: its ENABLE and DISABLE buttons, its timer, and what its zone shows. The channel
// is on exactly while DISABLE is enabled, which is what the zone classification reads.
class ChannelSwitch {
public:
    // What the zone label says when the channel is switched on, switched off, or finds no input.
    static const QString kEnabled;
    static const QString kDisabled;
    static const QString kNoInput;

    ChannelSwitch(ChannelForm& form, MainForm& main);

    void switchOn();
    // The zone label takes `zoneText` before the value label becomes "DIS", so that the classification which the
    // new value runs already finds the channel off.
    void switchOff(const QString& zoneText);

    // The channel is on exactly while its DISABLE button is enabled.
    bool isOn() const { return form_.disable.isEnabled(); }

    // Runs first thing at every switch-off: what was read before it is no reading any more.
    std::function<void()> onSwitchedOff;

private:
    ChannelForm& form_;
    kit::Label& value_;
    kit::Label& flabel_;
    kit::PictureBox& pic_;
};

} // namespace zavok
