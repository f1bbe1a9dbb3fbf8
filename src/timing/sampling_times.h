#pragma once

#include "forms/channel_form.h"
#include "forms/main_form.h"
#include "forms/timer_form.h"

#include <array>

namespace zavok {

// The sampling-time window: TIMER opens it with the channel names on its buttons, a row's button opens that row's
// choices, a chosen entry becomes the row's sampling time, and the close image abandons any choice in progress.
void wireSamplingTimes(TimerForm& form, MainForm& main, const std::array<ChannelForm*, 4>& channels);

} // namespace zavok
