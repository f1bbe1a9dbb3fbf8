#include "input_records.h"

namespace zavok::inputs {

quint8 contactBits(ContactSet closed) {
    return quint8((~closed & 0x0F) << 4);
}

qint16 portByte(ContactSet closed) {
    constexpr quint8 kIdleAxisTimers = 0x0F;
    return qint16(contactBits(closed) | kIdleAxisTimers);
}

int joystickRecord(int id, const std::array<quint32, kChannels>& channels, kit::JOYINFO& info) {
    info = {};
    if (id != 0 && id != 1) {
        return kJoyBadParameter;
    }
    info.wXpos = channels[2 * std::size_t(id)];
    info.wYpos = channels[2 * std::size_t(id) + 1];
    return kJoyNoError;
}

} // namespace zavok::inputs
