// Reads arbitrary bytes as a font descriptor, then measures and draws with the font it built.
#include <cstdint>
#include <string>

#include "fonts/ImageFont.h"
#include "graphics/Graphics.h"
#include "platform/ScratchFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ScratchFolder folder;  // removed at exit
  const std::string path = folder / "font.txt";
  folder.Write("font.txt", std::string(reinterpret_cast<const char*>(data), size));

  Velk::ImageFont font(nullptr, path);
  const std::wstring text = L"AVa\x00e9 0";
  font.StringWidth(text);
  font.AddTag("bold");
  font.SetScale(1.5);
  font.StringWidth(text);
  Velk::Graphics g;
  font.DrawString(&g, 0, 0, text, Velk::Color::White, Velk::Rect());
  return 0;
}
