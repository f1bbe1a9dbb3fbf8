#pragma once

#include "channels/acquisition.h"
#include "channels/alarm_limits.h"
#include "channels/calibration.h"
#include "channels/channel_switch.h"

namespace zavok {

// One analogue channel wired to its window `zavokform`N, its zone on the main window and its row of the
// sampling-time window. Besides owning the channel's pieces, it answers the window's own events: the name,
// ENABLE and DISABLE, the close image.
class Channel {
public:
    Channel(ChannelForm& form, MainForm& main, TimerForm& timing, kit::Joysticks& joysticks, kit::Dialogs& dialogs,
            kit::Bell& bell, const QString& dataDirectory);

    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    ChannelSwitch channelSwitch;
    Acquisition acquisition;
    Calibration calibration;
    AlarmLimits limits;

private:
    void nameChanged();
    void setName();
    void enable();
    void disable();
    void closeWindow();

    ChannelForm& form_;
    kit::Label& flabel_;
    kit::Button& time_;
    kit::Dialogs& dialogs_;
    QString name_; // the name last typed that phones.zvk can keep
};

} // namespace zavok
