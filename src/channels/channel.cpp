#include "channel.h"

#include "kit/line_encoding.h"

namespace zavok {

Channel::Channel(ChannelForm& form, MainForm& main, TimerForm& timing, kit::Joysticks& joysticks, kit::Dialogs& dialogs,
                 kit::Bell& bell, const QString& dataDirectory)
    : channelSwitch(form, main)
    , acquisition(form, main, timing, joysticks, channelSwitch, dataDirectory)
    , calibration(form, main, dialogs, bell)
    , limits(form, main, dialogs)
    , form_(form)
    , flabel_(*main.flabel.at(form.channel() - 1))
    , time_(*timing.time.at(form.channel()))
    , dialogs_(dialogs)
    , name_(form.fname.text()) {
    form.fname.onChange = [this] { nameChanged(); };
    form.fname.onDoubleClick = [this] {
        form_.fname.setLocked(false);
        form_.setname.setVisible(true);
    };
    form.setname.onClick = [this] { setName(); };
    form.enable.onClick = [this] { enable(); };
    form.disable.onClick = [this] { disable(); };
    form.fclose.onClick = [this] { closeWindow(); };
    // The desktop's close command does what the window's own close image does.
    form.onCloseRequest = [this] { closeWindow(); };
}

void Channel::nameChanged() {
    // The name is the channel's from the moment it is typed (the zone shows it before SET NAME), so what phones.zvk
    // could not give back as typed never stands in the box: the name there was comes back, and the user hears why.
    const QString refused = kit::unstorable(form_.fname.text());
    if (refused.isEmpty()) {
        name_ = form_.fname.text();
        return;
    }
    form_.fname.setText(name_);
    dialogs_.message(kit::kCautionTitle, kit::refusal(refused, QStringLiteral("The name"), name_));
}

void Channel::setName() {
    form_.fname.setLocked(true);
    flabel_.setText(form_.fname.text());
    form_.setname.setVisible(false);
    time_.setText(form_.fname.text());
}

void Channel::enable() {
    channelSwitch.switchOn();
    limits.focusChange();
}

void Channel::disable() {
    channelSwitch.switchOff(ChannelSwitch::kDisabled);
    form_.enable.setFocus();
}

void Channel::closeWindow() {
    // Nothing is saved and the channel goes on sampling.
    limits.abandon();
    calibration.abandon();
    form_.hide();
    form_.setname.setVisible(false);
    form_.fname.setLocked(true);
}

} // namespace zavok
