#pragma once
// The clipboard's text, as narrow (Latin-1) strings. The sdl back end uses the desktop's
// clipboard; headless keeps the text in the process.

#include <string>

namespace Velk {

class Clipboard {
 public:
  // False when the text could not be placed; nothing is reported beyond that.
  static bool SetText(const std::string& narrow);
  // "" when the clipboard holds no text or cannot be read. Characters outside Latin-1 become '?'.
  static std::string GetText();
};

}  // namespace Velk
