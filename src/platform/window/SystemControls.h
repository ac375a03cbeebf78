#pragma once
// The window classes the system provides to every program: "BUTTON", "EDIT" and "STATIC".

#include "platform/window/WindowTable.h"

#include <optional>
#include <string>

namespace Velk {

// The class of that name (compared without case), or nothing for a class the system does not have.
std::optional<WindowClass> SystemControlClass(const std::wstring& name);

}  // namespace Velk
