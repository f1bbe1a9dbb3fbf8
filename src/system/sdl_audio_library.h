#pragma once

#include "kit/loaded_library.h"

#include <SDL.h>

namespace zavok::system {

// What the bell uses of SDL's audio. SDL, and the thirty libraries it needs, is loaded when the bell is first rung or
// prepared: the service's bell that never rings never maps it.
struct SdlAudioLibrary {
#define ZAVOK_SDL_AUDIO_FUNCTIONS(F)                                                                                   \
    F(SDL_GetError)                                                                                                    \
    F(SDL_AudioInit)                                                                                                   \
    F(SDL_AudioQuit)                                                                                                   \
    F(SDL_RWFromConstMem)                                                                                              \
    F(SDL_LoadWAV_RW)                                                                                                  \
    F(SDL_FreeWAV)                                                                                                     \
    F(SDL_OpenAudioDevice)                                                                                             \
    F(SDL_CloseAudioDevice)                                                                                            \
    F(SDL_PauseAudioDevice)                                                                                            \
    F(SDL_GetQueuedAudioSize)                                                                                          \
    F(SDL_QueueAudio)
    ZAVOK_SDL_AUDIO_FUNCTIONS(ZAVOK_LIBRARY_MEMBER)
    void findIn(kit::LoadedLibrary& library) {
        ZAVOK_SDL_AUDIO_FUNCTIONS(ZAVOK_LIBRARY_FIND)
    }
#undef ZAVOK_SDL_AUDIO_FUNCTIONS
};

// Loaded at the first call; nullptr, with the loader's reason in `why`, where it cannot be.
inline const SdlAudioLibrary* sdlAudioLibrary(QString& why) {
    return kit::loadedFunctions<SdlAudioLibrary>(ZAVOK_SDL_SONAME, why);
}

} // namespace zavok::system
