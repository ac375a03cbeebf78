#pragma once
// One line to the error stream about a level or configuration the game reads past (an unknown
// kind, a missing record, a name that binds to nothing). The game plays on; tests listen in.

#include <functional>
#include <string>

void LevelLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same, the first time `key` is given in this process only: for a name that is missing every
// time it is looked up.
void LevelLogOnce(const std::string& key, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Every line also goes to the listener while one is set; an empty function removes it.
void SetLevelLogListener(std::function<void(const std::string&)> listener);
