#include "platform/clipboard/Clipboard.h"

#include "platform/backend/Backend.h"
#include "platform/base/PlatformText.h"

namespace Velk {

bool Clipboard::SetText(const std::string& narrow) {
  return Backend::Get().SetClipboardText(PlatformText::Utf16ToUtf8(PlatformText::Latin1ToUtf16(narrow)));
}

std::string Clipboard::GetText() {
  std::string utf8;
  if (!Backend::Get().GetClipboardText(utf8)) return "";
  return PlatformText::Utf16ToLatin1(PlatformText::Utf8ToUtf16(utf8));
}

}  // namespace Velk
