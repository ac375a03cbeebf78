// TGA: only uncompressed 32-bit files with 8 alpha bits and the origin at the top left.
#include "resources/ImageLib.h"
#include "resources/ImageLibFile.h"

#include <vector>

namespace ImageLib {

namespace {

constexpr uint8_t kTrueColourType = 2;
constexpr uint8_t kTopLeftAlpha8 = 0x28;

struct TgaHeader {
  uint8_t idLength = 0, colourMapType = 0, imageType = 0, colourMapEntrySize = 0;
  uint16_t colourMapFirst = 0, colourMapLength = 0, xOrigin = 0, yOrigin = 0;
  uint16_t width = 0, height = 0;
  uint8_t bitsPerPixel = 0, descriptor = 0;
};

bool ReadHeader(ImageSource& source, TgaHeader& h) {
  return source.ReadByte(h.idLength) && source.ReadByte(h.colourMapType) && source.ReadByte(h.imageType) &&
         source.ReadU16(h.colourMapFirst) && source.ReadU16(h.colourMapLength) &&
         source.ReadByte(h.colourMapEntrySize) && source.ReadU16(h.xOrigin) && source.ReadU16(h.yOrigin) &&
         source.ReadU16(h.width) && source.ReadU16(h.height) && source.ReadByte(h.bitsPerPixel) &&
         source.ReadByte(h.descriptor);
}

// The ID field and a colour map, when present, stand between the header and the pixels.
int64_t BytesBeforePixels(const TgaHeader& h) {
  int64_t mapBytes = h.colourMapType ? int64_t(h.colourMapLength) * ((h.colourMapEntrySize + 7) / 8) : 0;
  return h.idLength + mapBytes;
}

}  // namespace

std::unique_ptr<Image> DecodeTGA(ImageSource& source) {
  TgaHeader h;
  if (!ReadHeader(source, h) || h.bitsPerPixel != 32 || h.descriptor != kTopLeftAlpha8 ||
      h.imageType != kTrueColourType || !source.Skip(BytesBeforePixels(h)))
    return nullptr;
  auto image = Image::Create(h.width, h.height);
  if (!image) return nullptr;
  // A short file leaves the remaining pixels zero (transparent).
  std::vector<uint8_t> row(size_t(h.width) * 4);
  for (int y = 0; y < h.height; ++y) {
    size_t got = source.Read(row.data(), row.size()) / 4;
    uint32_t* out = image->Row(y);
    for (size_t x = 0; x < got; ++x) {
      const uint8_t* p = &row[x * 4];
      out[x] = uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    if (got < h.width) break;
  }
  return image;
}

Image* GetTGAImage(const std::string& fileName) { return DecodeFile(fileName, DecodeTGA).release(); }

}  // namespace ImageLib
