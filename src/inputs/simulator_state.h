#pragma once

#include "contact_latch.h"
#include "input_records.h"
#include "kit/inputs.h"

#include <array>

namespace zavok::inputs {

// The inputs of the built-in simulator: four contact switches, four sliders and a "no signal" switch per
// slider. It stands in for the game port and both joysticks, so that every alert and every zone can be driven
// on a machine without either.
class SimulatorState final : public kit::GamePort, public kit::Joysticks {
public:
    bool isClosed(int contact) const { return closed_.at(std::size_t(contact)); }
    // A closure is remembered until the next port read, however soon the switch opens again.
    void setClosed(int contact, bool closed);

    quint32 axis(int channel) const { return axes_.at(std::size_t(channel)); }
    // Kept within 0..65535.
    void setAxis(int channel, qint64 value);

    // What the channel reads: the slider, or 0 without signal, as from a pulled-out joystick.
    quint32 position(int channel) const { return hasNoSignal(channel) ? 0 : axis(channel); }
    bool hasNoSignal(int channel) const { return noSignal_.at(std::size_t(channel)); }
    void setNoSignal(int channel, bool noSignal) { noSignal_.at(std::size_t(channel)) = noSignal; }

    qint16 Inzavok(int port) override;
    void Outzavok(int port, int value) override;
    int joyGetPos(int id, kit::JOYINFO& info) override;

private:
    // Contacts rest open, as an unwired game-port button line does; sliders start in the middle.
    std::array<bool, kContacts> closed_{};
    std::array<quint32, kChannels> axes_{kAxisCentre, kAxisCentre, kAxisCentre, kAxisCentre};
    std::array<bool, kChannels> noSignal_{};
    ContactLatch latch_;
};

} // namespace zavok::inputs
