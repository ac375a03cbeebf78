#pragma once
// What the crash report needs of the system beyond the fault: the system's version line.
#include <string>

namespace Velk {

// "NT <major>.<minor> <name> Build <release>" from the running kernel.
std::string SystemVersionText();

}  // namespace Velk
