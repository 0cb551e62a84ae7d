// SDL2, loaded when the first sound needs it rather than at start: the library and the
// forty-odd libraries it pulls in (sound servers, codecs, Wayland) cost start-up time and
// memory that a run which never plays a sound does not need.
#pragma once

#include <SDL.h>

namespace hosts::sdl {

// The SDL functions the audio output calls.
struct Library {
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&SDL_LockAudioDevice) LockAudioDevice;
    decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_RWFromFile) RWFromFile;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW;
    decltype(&SDL_FreeWAV) FreeWAV;
    decltype(&SDL_NewAudioStream) NewAudioStream;
    decltype(&SDL_AudioStreamPut) AudioStreamPut;
    decltype(&SDL_AudioStreamFlush) AudioStreamFlush;
    decltype(&SDL_AudioStreamAvailable) AudioStreamAvailable;
    decltype(&SDL_AudioStreamGet) AudioStreamGet;
    decltype(&SDL_FreeAudioStream) FreeAudioStream;
    decltype(&SDL_GetTicks64) GetTicks64;
    decltype(&SDL_Delay) Delay;
};

// The loaded library (opened on the first call and kept), or nullptr when it or one of
// its functions cannot be found: then there is no sound device.
const Library* Sdl();

}  // namespace hosts::sdl
