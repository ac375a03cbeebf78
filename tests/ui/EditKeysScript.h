#pragma once
// Byte scripts for the name field, shared by the fuzz target and the replay of its kept inputs. Each
// step is four bytes: kind, two bytes of argument, modifiers (bit 0 Shift, bit 1 Control). The field
// is driven through the widget manager as the player would; after every step its editing state must
// hold together.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "EditTestSupport.h"
#include "UiTestWorld.h"
#include "ui/QCEditWidget.h"

namespace edit_keys {

// An empty string when the state holds together, else what is wrong.
inline std::string CheckState(const QCEditBuffer& b) {
  const int length = static_cast<int>(b.mText.size());
  if (length > QCEditBuffer::MaxLength) return "text too long";
  if (b.mCaret < 0 || b.mCaret > length) return "caret out of range";
  if (b.mAnchor < -1 || b.mAnchor > length) return "anchor out of range";
  if (b.mScroll < 0 || b.mScroll > std::max(0, length - 1)) return "scroll out of range";
  return "";
}

// A 60-pixel field at (100, 100) with an 8-pixel font. Returns the first broken state, or "".
inline std::string RunScript(UiTestWorld& world, const uint8_t* data, size_t size) {
  QCDialog* dialog = world.Build(R"(<element type="qcdialog" name="s" width="800" height="600">
      <element type="qcedit" name="e" x="100" y="100" width="60" height="24" visible="true"/></element>)");
  auto* field = dynamic_cast<QCEditWidget*>(dialog->FindChild("e"));
  FixedAdvanceFont font(8);
  field->SetTextAttr(TextNormal, &font, Velk::Color(), Velk::Color(255, 255, 255));
  world.Manager()->SetFocus(field);
  std::string broken;
  for (size_t i = 0; i + 4 <= size && broken.empty(); i += 4) {
    const int arg = data[i + 1] | (data[i + 2] << 8);
    world.Hold(16, data[i + 3] & 1);
    world.Hold(17, data[i + 3] & 2);
    const int x = 100 + arg % 80 - 8;
    switch (data[i] % 8) {
      case 0:
        world.KeyDown(arg % 256);
        break;
      case 1:
        world.Char(static_cast<wchar_t>(arg));
        break;
      case 2:
        world.Press(x, 110, 1 + (data[i + 3] >> 2) % 2);
        break;
      case 3:
        world.MoveTo(x, 110);
        break;
      case 4:
        world.Release(x, 110);
        break;
      case 5:
        world.engine->SetClipboardText(std::string(std::max(1, arg % 24), static_cast<char>(data[i + 3] | 0x20)));
        break;
      case 6:
        world.Update();
        world.Draw();
        break;
      default:
        field->SetText(std::wstring(arg % 16, L'x'), data[i + 3] & 1);
        break;
    }
    broken = CheckState(field->GetEditState());
    if (!broken.empty()) broken += " after step " + std::to_string(i / 4);
  }
  world.Manager()->RemoveChild(dialog);
  delete dialog;
  return broken;
}

}  // namespace edit_keys
