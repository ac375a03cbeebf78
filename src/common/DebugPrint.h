#pragma once

namespace Velk {

// printf-style text to the debugger's output; no line end is added. Wide strings take "%ls".
void DebugPrint(const wchar_t* format, ...);

}  // namespace Velk
