#pragma once
// The phases the parent runs as child processes, by name.

#include <string>

#include "e2e/Playthrough.h"

namespace E2e {

// The phase's exit status; an unknown name is status 2.
int RunPhase(const std::string& name, PlaythroughOptions options);

}  // namespace E2e
