#pragma once

#include "kit/inputs.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>

namespace zavok::test {

// The game port's address, where the four contacts are read.
inline constexpr int kGamePort = 0x201;

// Channels 1 to 4 as the channel windows read them: joystick 1 X and Y, joystick 2 X and Y.
using Channels = std::array<quint32, 4>;
inline Channels channels(kit::Joysticks& joysticks) {
    kit::JOYINFO one;
    kit::JOYINFO two;
    joysticks.joyGetPos(0, one);
    joysticks.joyGetPos(1, two);
    return {one.wXpos, one.wYpos, two.wXpos, two.wYpos};
}

// A joystick of SDL's, plugged in until it is pulled out or goes. SDL must already run (an SdlJoysticks does that).
class VirtualPad {
public:
    VirtualPad(int buttons, int axes, SDL_JoystickType type = SDL_JOYSTICK_TYPE_UNKNOWN) {
        const int index = SDL_JoystickAttachVirtual(type, axes, buttons, 0);
        handle_ = index < 0 ? nullptr : SDL_JoystickOpen(index);
        EXPECT_NE(handle_, nullptr) << SDL_GetError();
    }
    ~VirtualPad() { unplug(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void press(int button, bool down) { SDL_JoystickSetVirtualButton(handle_, button, down ? SDL_PRESSED : 0); }
    void tilt(int axis, Sint16 value) { SDL_JoystickSetVirtualAxis(handle_, axis, value); }
    // As SDL read the button at its last update, which only a pump of its events makes.
    bool reads(int button) const { return SDL_JoystickGetButton(handle_, button) == SDL_PRESSED; }
    void unplug() {
        if (handle_ == nullptr) {
            return;
        }
        const SDL_JoystickID id = SDL_JoystickInstanceID(handle_);
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == id) {
                SDL_JoystickDetachVirtual(index);
            }
        }
        SDL_JoystickClose(handle_);
        handle_ = nullptr;
    }

private:
    SDL_Joystick* handle_ = nullptr;
};

} // namespace zavok::test
