#pragma once
// The program's exported callbacks, registered by name in the program module's export table, where
// effects find them with GetProcAddress(GetModuleHandleA(nullptr), name).

// Registers all 66 names. Safe to call more than once; the engine calls it before the effect
// definitions load.
void RegisterEffectCallbacks();
