#pragma once

#include "channels/channel.h"

#include <array>
#include <memory>

namespace zavok {

// The four analogue channels, one design with the channel number as its parameter.
class Channels {
public:
    Channels(const std::array<ChannelForm*, 4>& forms, MainForm& main, TimerForm& timing, kit::Joysticks& joysticks,
             kit::Dialogs& dialogs, kit::Bell& bell, const QString& dataDirectory) {
        for (std::size_t i = 0; i < forms.size(); ++i) {
            channels_.at(i) =
                std::make_unique<Channel>(*forms.at(i), main, timing, joysticks, dialogs, bell, dataDirectory);
        }
    }

    Channel& operator[](int n) { return *channels_.at(n - 1); } // n = 1..4
    const Channel& operator[](int n) const { return *channels_.at(n - 1); }

private:
    std::array<std::unique_ptr<Channel>, 4> channels_;
};

} // namespace zavok
