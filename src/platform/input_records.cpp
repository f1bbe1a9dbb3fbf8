#include "input_records.h"

namespace zavok::platform {

qint16 portByte(ContactSet closed) {
    return qint16((~closed & 0x0F) << 4);
}

int joystickRecord(int id, const std::array<quint32, kChannels>& channels, kit::JOYINFO& info) {
    info = {};
    if (id != 0 && id != 1) {
        return kJoyBadParameter;
    }
    info.wXpos = channels[std::size_t(2 * id)];
    info.wYpos = channels[std::size_t(2 * id + 1)];
    return kJoyNoError;
}

} // namespace zavok::platform
