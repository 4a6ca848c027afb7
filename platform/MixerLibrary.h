#pragma once

#include <SDL_mixer.h>

// SDL2_mixer, loaded when sound is first set up rather than when the process
// starts. The mixer links FluidSynth, GLib, JACK, PulseAudio, libsndfile and
// more, none of which the game uses; loading them at start held up the first
// picture. The functions the audio layer calls are looked up once; the
// library stays loaded until the process ends (its decoders may keep
// threads and handlers that an unload would pull from under them).
class MixerLibrary {
 public:
  MixerLibrary() = default;
  MixerLibrary(const MixerLibrary&) = delete;
  MixerLibrary& operator=(const MixerLibrary&) = delete;

  // Loads the library and looks up every function; false, with nothing
  // usable, when any is missing. Later calls after a success do nothing.
  bool Load();

  decltype(&Mix_Init) Init = nullptr;
  decltype(&Mix_Quit) Quit = nullptr;
  decltype(&Mix_OpenAudio) OpenAudio = nullptr;
  decltype(&Mix_CloseAudio) CloseAudio = nullptr;
  decltype(&Mix_ReserveChannels) ReserveChannels = nullptr;
  decltype(&Mix_Resume) Resume = nullptr;
  decltype(&Mix_ResumeMusic) ResumeMusic = nullptr;
  decltype(&Mix_HaltMusic) HaltMusic = nullptr;
  decltype(&Mix_HaltChannel) HaltChannel = nullptr;
  decltype(&Mix_LoadWAV_RW) LoadWAV_RW = nullptr;
  decltype(&Mix_FreeChunk) FreeChunk = nullptr;
  decltype(&Mix_PlayChannel) PlayChannel = nullptr;
  decltype(&Mix_LoadMUS_RW) LoadMUS_RW = nullptr;
  decltype(&Mix_FreeMusic) FreeMusic = nullptr;
  decltype(&Mix_PlayMusic) PlayMusic = nullptr;

 private:
  void* m_library = nullptr;  // never closed: see above
};
