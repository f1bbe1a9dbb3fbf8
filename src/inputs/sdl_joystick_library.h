#pragma once

#include "kit/loaded_library.h"

#include <SDL.h>

namespace zavok::inputs {

// What the joysticks use of SDL. SDL, and the thirty libraries it needs (sound servers, X11, Wayland, DRM), is loaded
// when the joysticks are first asked for: a run on the simulator or a state file never maps it.
struct SdlJoystickLibrary {
#define ZAVOK_SDL_JOYSTICK_FUNCTIONS(F)                                                                                \
    F(SDL_SetHint)                                                                                                     \
    F(SDL_GetError)                                                                                                    \
    F(SDL_InitSubSystem)                                                                                               \
    F(SDL_QuitSubSystem)                                                                                               \
    F(SDL_EventState)                                                                                                  \
    F(SDL_PumpEvents)                                                                                                  \
    F(SDL_PeepEvents)                                                                                                  \
    F(SDL_NumJoysticks)                                                                                                \
    F(SDL_JoystickGetDeviceInstanceID)                                                                                 \
    F(SDL_JoystickOpen)                                                                                                \
    F(SDL_JoystickClose)                                                                                               \
    F(SDL_JoystickGetAttached)                                                                                         \
    F(SDL_JoystickInstanceID)                                                                                          \
    F(SDL_JoystickNumButtons)                                                                                          \
    F(SDL_JoystickNumAxes)                                                                                             \
    F(SDL_JoystickGetButton)                                                                                           \
    F(SDL_JoystickGetAxis)
    ZAVOK_SDL_JOYSTICK_FUNCTIONS(ZAVOK_LIBRARY_MEMBER)
    void findIn(kit::LoadedLibrary& library) {
        ZAVOK_SDL_JOYSTICK_FUNCTIONS(ZAVOK_LIBRARY_FIND)
    }
#undef ZAVOK_SDL_JOYSTICK_FUNCTIONS
};

// Loaded at the first call; nullptr, with the loader's reason in `why`, where it cannot be.
inline const SdlJoystickLibrary* sdlJoystickLibrary(QString& why) {
    return kit::loadedFunctions<SdlJoystickLibrary>(ZAVOK_SDL_SONAME, why);
}

} // namespace zavok::inputs
