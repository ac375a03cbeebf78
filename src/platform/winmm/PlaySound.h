#pragma once
// Playing a named wave file straight from disk. The files it is asked for are the system's own
// sounds, which this platform does not have, so nothing is played: the request is logged.

#include "platform/base/WinTypes.h"

constexpr DWORD SND_SYNC = 0x0000;
constexpr DWORD SND_ASYNC = 0x0001;

// FALSE for a sound, since none is played; TRUE for a null name (stop playing), which has nothing to stop.
BOOL PlaySoundA(const char* sound, HMODULE module, DWORD flags);
