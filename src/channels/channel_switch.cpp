#include "channel_switch.h"

#include "forms/channel_state.h"

namespace zavok {

const QString ChannelSwitch::kEnabled = QStringLiteral("ENABLED");
const QString ChannelSwitch::kDisabled = QStringLiteral("DISABLED");
const QString ChannelSwitch::kNoInput = QStringLiteral("NO INPUT");

ChannelSwitch::ChannelSwitch(ChannelForm& form, MainForm& main)
    : form_(form)
    , value_(*main.value.at(form.channel() - 1))
    , flabel_(*main.flabel.at(form.channel() - 1))
    , pic_(*main.pic.at(form.channel() - 1)) {}

void ChannelSwitch::switchOn() {
    form_.disable.setEnabled(true);
    form_.disable.setVisible(true);
    form_.enable.setEnabled(false);
    form_.enable.setVisible(false);
    flabel_.setText(kEnabled);
    // The period stays as the last tick set it.
    form_.Timer1.setEnabled(true);
}

void ChannelSwitch::switchOff(const QString& zoneText) {
    if (onSwitchedOff) {
        onSwitchedOff();
    }
    form_.enable.setEnabled(true);
    form_.enable.setVisible(true);
    form_.disable.setEnabled(false);
    form_.disable.setVisible(false);
    form_.Timer1.setEnabled(false);
    flabel_.setText(zoneText);
    value_.setText(channel::kDis);
    form_.Picture1.setWidth(channel::kRestBar);
    pic_.setWidth(channel::kRestMeterBar);
}

} // namespace zavok
