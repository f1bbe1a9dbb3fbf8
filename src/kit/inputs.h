#pragma once

#include <QString>

namespace zavok::kit {

// The game port: one byte of an input/output port. Bits 4 to 7 carry the four alert contacts, 0 meaning closed.
class GamePort {
public:
    virtual ~GamePort() = default;
    // The port's byte, 0 to 255, as a 16-bit integer.
    virtual qint16 Inzavok(int port) = 0;
    // Declared for completeness of the port interface; the program never writes to the port.
    virtual void Outzavok(int port, int value) = 0;
    // Why the port cannot be read right now, or nothing while it can. A source that fails keeps the contacts as they
    // last read (at rest before its first good reading): a fault is a trouble to show, never an alert.
    virtual QString fault() const { return {}; }
};

// One joystick's position record.
struct JOYINFO {
    quint32 wXpos = 0;
    quint32 wYpos = 0;
    quint32 wZpos = 0;
    quint32 wButtons = 0;
};

class Joysticks {
public:
    virtual ~Joysticks() = default;
    // Fills the record of joystick `id` (0 or 1); the result code is not examined by the program.
    virtual int joyGetPos(int id, JOYINFO& info) = 0;
    // Why joystick `id` cannot be read right now (unplugged, its source gone), or nothing while it can. Its record
    // then reads 0, which is not the sensor's reading: a channel holds what it showed rather than take it.
    virtual QString fault(int id) const {
        Q_UNUSED(id);
        return {};
    }
};

} // namespace zavok::kit
