#pragma once

#include "kit/inputs.h"

#include <array>

namespace zavok::inputs {

// The four contacts and the four channels are numbered 0 to 3 here: contact c is bit 4 + c of the port byte, and
// channels 0 and 1 are joystick 1's X and Y, channels 2 and 3 joystick 2's.
inline constexpr int kContacts = 4;
inline constexpr int kChannels = 4;

// A set of contacts, bit c standing for contact c.
using ContactSet = quint8;

// What joyGetPos answers, in the joystick service's own codes. The program never looks at them, but a source
// still tells a bad joystick number apart from a good one.
inline constexpr int kJoyNoError = 0;
inline constexpr int kJoyBadParameter = 165;

// An axis position runs from 0 to 65535; SDL's axes run from -32768 to 32767, centre 0.
inline constexpr quint32 kAxisMax = 65535;
inline constexpr quint32 kAxisCentre = 32768;

// The upper half of the game-port byte: a closed contact is a 0 bit at 4 + c, an open one a 1 bit.
quint8 contactBits(ContactSet closed);

// The game-port byte of a source that emulates the port (the simulator, the joysticks): its contact bits, and the
// four low bits at 1, as a real port's axis timers read while idle. With them at 0, four closed contacts would make
// the byte 0, a reading the poll cycle ignores, and the fourth closure would raise no alarm.
qint16 portByte(ContactSet closed);

// The byte of every contact at rest.
inline constexpr quint8 kAtRest = 0xFF;

// Joystick `id`'s record from the four channel positions: X and Y are channels 2 * id and 2 * id + 1. Z and the
// buttons stay 0: the program reads only X and Y, and the buttons reach it through the port. An id other than 0
// or 1 gets a zeroed record.
int joystickRecord(int id, const std::array<quint32, kChannels>& channels, kit::JOYINFO& info);

} // namespace zavok::inputs
