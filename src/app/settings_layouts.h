#pragma once

#include "app/phones_readings.h"
#include "forms/channel_form.h"
#include "forms/main_form.h"
#include "forms/timer_form.h"
#include "kit/control.h"

#include <array>
#include <memory>

// Which control each line of the three settings files belongs to.
namespace zavok {

// cat.zvk: the left and then the top of each of the four indicators, in their order.
inline constexpr int kCatLines = 8;
// apnames.zvk: the names of the four alert circuits, clabel1 to clabel4.
inline constexpr int kApnamesLines = 4;

// phones.zvk: the control of each line, in the file's order, each group beginning on the line phones_readings.h names.
std::array<kit::Control*, phones::kLines>
phonesLayout(MainForm& main, const std::array<std::unique_ptr<ChannelForm>, 4>& channels, TimerForm& timer);

} // namespace zavok
