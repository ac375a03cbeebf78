#pragma once
// Byte scripts for the name field, shared by the fuzz target and the replay of its kept inputs. Each
// step is four bytes: kind, two bytes of argument, modifiers (bit 0 Shift, bit 1 Control). After
// every step the editing state must hold together.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "EditTestSupport.h"

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

// Runs the script; returns the first broken state's description, or "".
inline std::string RunScript(const uint8_t* data, size_t size) {
  FixedAdvanceFont font(8);
  ClipboardHost host;
  QCEditBuffer b;
  b.SetFont(&font);
  b.SetWidth(60);
  for (size_t i = 0; i + 4 <= size; i += 4) {
    const int arg = data[i + 1] | (data[i + 2] << 8);
    const bool shift = data[i + 3] & 1, control = data[i + 3] & 2;
    switch (data[i] % 8) {
      case 0:  // key-down; letters A to Y only move the focus
        if (arg % 256 < 'A' || arg % 256 > 'Y') b.ProcessKey(arg % 256, 0, shift, control, host);
        break;
      case 1:
        b.ProcessKey(0, static_cast<wchar_t>(arg), shift, control, host);
        break;
      case 2:
        b.MouseDown(arg % 128 - 8, 1 + (data[i + 3] >> 2) % 2);
        break;
      case 3:
        b.MouseDrag(arg % 128 - 8);
        break;
      case 4:
        b.MouseUp(arg % 128 - 8);
        break;
      case 5:
        host.clipboard.assign(std::max<size_t>(1, arg % 24), static_cast<char>(data[i + 3] | 0x20));
        break;
      case 6:
        b.TickBlink();
        break;
      default:
        b.SetText(std::wstring(arg % 16, L'x'), shift);
        break;
    }
    std::string broken = CheckState(b);
    if (!broken.empty()) return broken + " after step " + std::to_string(i / 4);
  }
  return "";
}

}  // namespace edit_keys
