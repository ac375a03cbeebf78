#include "app/JumpToTimeDialog.h"

#include "common/StringUtil.h"
#include "platform/registry/Registry.h"

namespace Velk {

namespace {
const char kValueName[] = "DemoJumpTime";
constexpr DWORD kMaxStoredBytes = 1000;
}  // namespace

JumpToTimeDialog::JumpToTimeDialog(Image* buttonImage, RegistryStore store)
    : DemoDialog(buttonImage, kId, L"Jump To Time"), mStore(std::move(store)) {
  BYTE bytes[kMaxStoredBytes];
  DWORD type = 0;
  DWORD size = sizeof(bytes);
  std::string text;
  if (mStore.Read(kValueName, &type, bytes, &size) && type == REG_SZ) {
    text.assign(reinterpret_cast<const char*>(bytes), size);
    text = text.substr(0, text.find('\0'));
  }
  SetText(text.substr(0, kMaxText));
}

void JumpToTimeDialog::SaveText() const { mStore.WriteString(kValueName, mText); }

void JumpToTimeDialog::KeyChar(wchar_t c) {
  if (c == L'\b') {
    if (!mText.empty()) SetText(mText.substr(0, mText.size() - 1));
  } else if (((c >= L'0' && c <= L'9') || c == L':') && mText.size() < kMaxText) {
    SetText(mText + static_cast<char>(c));
  }
}

void JumpToTimeDialog::SetText(std::string text) {
  mText = std::move(text);
  mDialogLines = Widen(mText);
  Invalidate();
}

}  // namespace Velk
