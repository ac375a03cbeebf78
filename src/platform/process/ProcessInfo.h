#pragma once
// What the process knows about itself: its own file, its folder and the command line it was given.

#include <string>

namespace Velk {

// The program's own file, read once from /proc/self/exe.
const std::string& GetProgramPath();
// The folder part of GetProgramPath(), without a trailing '/'.
std::string GetProgramFolder();

// Rebuilds the Windows-style command line from main's arguments: the program quoted, then each
// argument after a space, quoted (with '"' and the backslashes before it escaped) when it is empty
// or holds a space, a tab or a '"'. Until main calls it, the command line comes from /proc/self/cmdline.
void SetCommandLine(int argc, const char* const* argv);

}  // namespace Velk

// The text stays valid until the next SetCommandLine; main sets it before anything reads it.
char* GetCommandLineA();
