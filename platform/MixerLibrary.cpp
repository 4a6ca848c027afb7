#include "platform/MixerLibrary.h"

#include <dlfcn.h>

namespace {
constexpr const char* kLibraryName = "libSDL2_mixer-2.0.so.0";

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}
}  // namespace

bool MixerLibrary::Load() {
  if (m_library) return true;
  void* const library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return false;
  const bool found = Find(library, "Mix_Init", Init) && Find(library, "Mix_Quit", Quit) &&
                     Find(library, "Mix_OpenAudio", OpenAudio) && Find(library, "Mix_CloseAudio", CloseAudio) &&
                     Find(library, "Mix_ReserveChannels", ReserveChannels) && Find(library, "Mix_Resume", Resume) &&
                     Find(library, "Mix_ResumeMusic", ResumeMusic) && Find(library, "Mix_HaltMusic", HaltMusic) &&
                     Find(library, "Mix_HaltChannel", HaltChannel) && Find(library, "Mix_LoadWAV_RW", LoadWAV_RW) &&
                     Find(library, "Mix_FreeChunk", FreeChunk) &&
                     Find(library, "Mix_PlayChannel", PlayChannel) &&
                     Find(library, "Mix_LoadMUS_RW", LoadMUS_RW) && Find(library, "Mix_FreeMusic", FreeMusic) &&
                     Find(library, "Mix_PlayMusic", PlayMusic);
  if (!found) {
    dlclose(library);
    return false;
  }
  m_library = library;
  return true;
}
