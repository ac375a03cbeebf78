#include "platform/winmm/PlaySound.h"

#include <cstdio>

BOOL PlaySoundA(const char* sound, HMODULE module, DWORD flags) {
  (void)module;
  (void)flags;
  if (sound == nullptr) return TRUE;
  std::fprintf(stderr, "PlaySound: no system sounds here, \"%s\" not played\n", sound);
  std::fflush(stderr);
  return FALSE;
}
