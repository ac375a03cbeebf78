// Reads arbitrary bytes as a font descriptor, then measures and draws with the font it built.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "fonts/ImageFont.h"
#include "graphics/Graphics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fontfuzz-" + std::to_string(getpid()) + ".txt";
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  std::fwrite(data, 1, size, out);
  std::fclose(out);

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
