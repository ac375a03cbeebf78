#include "engine/TextVars.h"

void TextVars::SetTextVarInt(const std::string& name, int value) { mValues[name] = std::to_wstring(value); }
