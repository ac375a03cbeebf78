#pragma once
// Programs the tests start, looked up on PATH as a shell would.

#include <optional>
#include <string>

namespace E2e {

// The program's path, or nothing where it is not installed.
std::optional<std::string> FindProgram(const std::string& name);

}  // namespace E2e
