#include "common/DebugPrint.h"

#include <cstdarg>

#include "common/StringUtil.h"
#include "platform/debug/DebugOutput.h"

namespace Velk {

void DebugPrint(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = VFormatWString(format, args);
  va_end(args);
  OutputDebugStringA(Narrow(text).c_str());
}

}  // namespace Velk
