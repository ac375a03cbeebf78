#pragma once
// A message box for the player about a file: a text from the string properties (its built-in
// default otherwise) followed by the file's name as given (a game file as the game names it, with
// '\'; a file of the player's home as the system spells it).

#include <string>

void ShowPlayerNotice(const char* textId, const wchar_t* defaultText, const std::string& file, unsigned icon);
