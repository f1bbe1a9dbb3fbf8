#pragma once

#include "app/settings_damage.h"

#include <QStringList>

#include <array>

namespace zavok::phones {

// Where each kind of setting begins in phones.zvk, lines counted from 0, in the order the file holds them.
inline constexpr int kLines = 46;
inline constexpr int kPicture = 0;
inline constexpr int kMeterLows = 1;
inline constexpr int kMeterFulls = 5;
inline constexpr int kChannelSettings = 9; // four per channel: low alarm, high alarm, calibration zero, full scale
inline constexpr int kNames = 25;
inline constexpr int kCircuits = 29;
inline constexpr int kSamplingTimes = 33;
inline constexpr int kZoneTexts = 38;
inline constexpr int kValues = 42;

// What reading phones.zvk safely needs to know of the windows.
struct Rules {
    QStringList design;                         // the controls' design-time texts, in the file's line order
    int nameLength = 0;                         // the longest channel name that the name box takes
    std::array<QStringList, 5> samplingChoices; // what each row of the sampling-time window offers
};

// Makes the values read from phones.zvk safe to start on, in place: no damaged value may silence an alarm. A circuit
// is off only when its line says exactly "DISABLED"; a meter scale that its dialog could not have stored, a limit or
// calibration reading that is no number, a sampling time its row does not offer, all take their design values; a
// name longer than its box is cut; a value that is neither "DIS" nor a number is read as empty (the channel starts
// enabled). Every line changed is noted in `damage`. The picture path and the zone texts are read as they stand.
void makeSafe(QStringList& values, const Rules& rules, SettingsDamage& damage);

} // namespace zavok::phones
