#include "hosts/sdl_audio/sdl_library.h"

#include <dlfcn.h>

namespace hosts::sdl {

namespace {

template <typename Fn>
bool Resolve(void* handle, const char* name, Fn* fn) {
    *fn = reinterpret_cast<Fn>(dlsym(handle, name));
    return *fn != nullptr;
}

const Library* Open() {
    static Library library;
    void* handle = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    Library& l = library;
    const bool all =
        Resolve(handle, "SDL_SetHint", &l.SetHint) &&
        Resolve(handle, "SDL_InitSubSystem", &l.InitSubSystem) &&
        Resolve(handle, "SDL_QuitSubSystem", &l.QuitSubSystem) &&
        Resolve(handle, "SDL_OpenAudioDevice", &l.OpenAudioDevice) &&
        Resolve(handle, "SDL_CloseAudioDevice", &l.CloseAudioDevice) &&
        Resolve(handle, "SDL_LockAudioDevice", &l.LockAudioDevice) &&
        Resolve(handle, "SDL_UnlockAudioDevice", &l.UnlockAudioDevice) &&
        Resolve(handle, "SDL_PauseAudioDevice", &l.PauseAudioDevice) &&
        Resolve(handle, "SDL_RWFromFile", &l.RWFromFile) &&
        Resolve(handle, "SDL_LoadWAV_RW", &l.LoadWAV_RW) &&
        Resolve(handle, "SDL_FreeWAV", &l.FreeWAV) &&
        Resolve(handle, "SDL_NewAudioStream", &l.NewAudioStream) &&
        Resolve(handle, "SDL_AudioStreamPut", &l.AudioStreamPut) &&
        Resolve(handle, "SDL_AudioStreamFlush", &l.AudioStreamFlush) &&
        Resolve(handle, "SDL_AudioStreamAvailable", &l.AudioStreamAvailable) &&
        Resolve(handle, "SDL_AudioStreamGet", &l.AudioStreamGet) &&
        Resolve(handle, "SDL_FreeAudioStream", &l.FreeAudioStream) &&
        Resolve(handle, "SDL_GetTicks64", &l.GetTicks64) &&
        Resolve(handle, "SDL_Delay", &l.Delay);
    // The library stays loaded for the rest of the process: its audio thread may run.
    return all ? &library : nullptr;
}

}  // namespace

const Library* Sdl() {
    static const Library* const loaded = Open();
    return loaded;
}

}  // namespace hosts::sdl
