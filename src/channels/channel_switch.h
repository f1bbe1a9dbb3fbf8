#pragma once

#include "forms/channel_form.h"
#include "forms/main_form.h"

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

private:
    ChannelForm& form_;
    kit::Label& value_;
    kit::Label& flabel_;
    kit::PictureBox& pic_;
};

} // namespace zavok
