#pragma once
// Builders of test images, byte by byte and independent of the decoders under test.

#include "PakTestSupport.h"
#include "resources/ImageLib.h"
#include <gtest/gtest.h>
#include <cstdlib>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ImageLibTest {

using Bytes = std::vector<uint8_t>;
using Decoder = std::unique_ptr<ImageLib::Image> (*)(ImageLib::ImageSource&);

inline std::unique_ptr<ImageLib::Image> Decode(Decoder decoder, const Bytes& bytes) {
  ImageLib::ImageSource source(bytes.data(), bytes.size());
  return decoder(source);
}

inline std::vector<uint32_t> Pixels(const ImageLib::Image& image) {
  return {image.GetBits(), image.GetBits() + image.PixelCount()};
}

inline void PutU16(Bytes& out, int value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

// Codes of the given widths packed least-significant bit first into GIF sub-blocks.
inline Bytes PackCodes(const std::vector<std::pair<int, int>>& codes) {
  Bytes packed;
  uint32_t buffer = 0;
  int bits = 0;
  for (auto [code, width] : codes) {
    buffer |= uint32_t(code) << bits;
    for (bits += width; bits >= 8; bits -= 8, buffer >>= 8) packed.push_back(uint8_t(buffer));
  }
  if (bits > 0) packed.push_back(uint8_t(buffer));
  Bytes blocks;
  for (size_t i = 0; i < packed.size(); i += 255) {
    size_t n = std::min<size_t>(255, packed.size() - i);
    blocks.push_back(uint8_t(n));
    blocks.insert(blocks.end(), packed.begin() + long(i), packed.begin() + long(i + n));
  }
  blocks.push_back(0);
  return blocks;
}

// Encodes each pixel as a literal code, tracking the code width the way a decoder grows it.
inline std::vector<std::pair<int, int>> LiteralCodes(int minBits, const std::vector<int>& indices) {
  int clear = 1 << minBits, width = minBits + 1, next = clear + 2;
  std::vector<std::pair<int, int>> codes{{clear, width}};
  bool afterClear = true;
  for (int index : indices) {
    codes.push_back({index, width});
    if (!afterClear && ++next == (1 << width) && width < 12) ++width;
    afterClear = false;
    if (next == 4095) {
      codes.push_back({clear, width});
      width = minBits + 1;
      next = clear + 2;
      afterClear = true;
    }
  }
  codes.push_back({clear + 1, width});
  return codes;
}

struct GifShape {
  int width = 1, height = 1;
  std::vector<uint32_t> globalColours;  // 0xRRGGBB; the count must be a power of two >= 2
  std::vector<uint32_t> localColours;
  int transparentIndex = -1;
  bool interlaced = false;
  int minBits = 2;
  std::vector<std::pair<int, int>> codes;
};

inline void PutColours(Bytes& out, const std::vector<uint32_t>& colours) {
  for (uint32_t c : colours) out.insert(out.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
}

inline int TableBits(size_t count) {
  int bits = 0;
  while ((size_t(2) << bits) < count) ++bits;
  return bits;
}

inline Bytes MakeGif(const GifShape& g) {
  Bytes out{'G', 'I', 'F', '8', '9', 'a'};
  PutU16(out, g.width);
  PutU16(out, g.height);
  out.push_back(uint8_t(g.globalColours.empty() ? 0 : 0x80 | TableBits(g.globalColours.size())));
  out.insert(out.end(), {0, 0});
  PutColours(out, g.globalColours);
  // An application extension first, which the decoder must step over.
  out.insert(out.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
  if (g.transparentIndex >= 0) out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, uint8_t(g.transparentIndex), 0});
  out.push_back(0x2C);
  PutU16(out, 0);
  PutU16(out, 0);
  PutU16(out, g.width);
  PutU16(out, g.height);
  uint8_t flags = g.interlaced ? 0x40 : 0;
  if (!g.localColours.empty()) flags |= uint8_t(0x80 | TableBits(g.localColours.size()));
  out.push_back(flags);
  PutColours(out, g.localColours);
  out.push_back(uint8_t(g.minBits));
  Bytes data = PackCodes(g.codes);
  out.insert(out.end(), data.begin(), data.end());
  out.push_back(0x3B);
  return out;
}

// An uncompressed true-colour TGA header followed by the given pixel bytes.
inline Bytes MakeTga(int width, int height, int bitsPerPixel, int descriptor, const Bytes& pixels, int imageType = 2) {
  Bytes out{0, 0, uint8_t(imageType), 0, 0, 0, 0, 0};
  PutU16(out, 0);
  PutU16(out, 0);
  PutU16(out, width);
  PutU16(out, height);
  out.push_back(uint8_t(bitsPerPixel));
  out.push_back(uint8_t(descriptor));
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

// A one-row GIF whose pixels are the given 0xRRGGBB colours, in that order.
inline Bytes GifRow(const std::vector<uint32_t>& colours) {
  GifShape shape;
  shape.width = int(colours.size());
  shape.globalColours = colours;
  while (shape.globalColours.size() < 2 || (shape.globalColours.size() & (shape.globalColours.size() - 1)))
    shape.globalColours.push_back(0);
  shape.minBits = std::max(2, TableBits(shape.globalColours.size()) + 1);
  std::vector<int> indices;
  for (size_t i = 0; i < colours.size(); ++i) indices.push_back(int(i));
  shape.codes = LiteralCodes(shape.minBits, indices);
  return MakeGif(shape);
}

// CTest runs the tests of one program in parallel processes: each gets its own folder, removed at exit.
inline std::string TempPath(const std::string& name) {
  struct Folder {
    std::string path = (std::filesystem::temp_directory_path() / "imagelib-XXXXXX").string();
    Folder() { EXPECT_NE(mkdtemp(path.data()), nullptr); }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Folder folder;
  return folder.path + "/" + name;
}

// Tiny files made with the libraries' own encoders, and inputs kept from fuzzing.
inline std::string DataPath(const std::string& name) {
  return std::string(TEST_DATA_DIR) + "/resources/imagelib/" + name;
}

}  // namespace ImageLibTest
