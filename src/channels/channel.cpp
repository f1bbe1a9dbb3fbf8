#include "channel.h"

namespace zavok {

Channel::Channel(ChannelForm& form, MainForm& main, TimerForm& timing, kit::Joysticks& joysticks, kit::Dialogs& dialogs,
                 kit::Bell& bell, const QString& dataDirectory)
    : channelSwitch(form, main)
    , acquisition(form, main, timing, joysticks, channelSwitch, dataDirectory)
    , calibration(form, main, dialogs, bell)
    , limits(form, main, dialogs)
    , form_(form)
    , flabel_(*main.flabel.at(form.channel() - 1))
    , time_(*timing.time.at(form.channel())) {
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
    // The settings file cannot hold a double quote inside a name, and the name is the channel's name from the
    // moment it is typed (the zone shows it before SET NAME), so the box never keeps one.
    if (form_.fname.text().contains(u'"')) {
        QString name = form_.fname.text();
        form_.fname.setText(name.replace(u'"', u'\''));
    }
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
