#pragma once
// What the widgets ask of the engine, each step skipped when the engine lacks the part.
#include <string>

class QCTextureRef;

namespace Velk {
class Font;
}

// Selects the named game cursor ("normal", "active", "text").
void SelectUiCursor(const char* name);
// Plays the named UI sound once; an empty or unknown name plays nothing.
void PlayUiSound(const std::string& name);
// elapsed + one logic step in seconds, computed in double and kept as a float.
float AdvanceSeconds(float elapsed);
// A handle onto the named UI texture; empty when the name or the texture manager is unknown.
QCTextureRef FindUiTexture(const std::string& name);
// The named font of the engine's font table, or null.
Velk::Font* FindUiFont(const std::string& name);
