#include "simulator_state.h"

#include <algorithm>

namespace zavok::inputs {

void SimulatorState::setClosed(int contact, bool closed) {
    closed_.at(std::size_t(contact)) = closed;
    if (closed) {
        latch_.close(ContactSet(1u << contact));
    }
}

void SimulatorState::setAxis(int channel, qint64 value) {
    axes_.at(std::size_t(channel)) = quint32(std::clamp<qint64>(value, 0, kAxisMax));
}

qint16 SimulatorState::Inzavok(int) {
    ContactSet live = 0;
    for (int c = 0; c < kContacts; ++c) {
        if (closed_[std::size_t(c)]) {
            live = ContactSet(live | (1u << c));
        }
    }
    return portByte(latch_.take(live));
}

// The simulator has nothing to write to.
void SimulatorState::Outzavok(int, int) {}

int SimulatorState::joyGetPos(int id, kit::JOYINFO& info) {
    std::array<quint32, kChannels> positions{};
    for (int k = 0; k < kChannels; ++k) {
        positions[std::size_t(k)] = position(k);
    }
    return joystickRecord(id, positions, info);
}

} // namespace zavok::inputs
