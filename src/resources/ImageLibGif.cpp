// GIF: the first image of the file, LZW-decoded by our own code.
#include "resources/ImageLib.h"
#include "resources/ImageLibFile.h"

#include <array>
#include <cstring>

namespace ImageLib {

namespace {

constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImageDescriptor = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControl = 0xF9;
constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeBits = 12;

struct ColourTable {
  std::array<uint32_t, 256> colours{};
  int count = 0;
};

bool ReadColourTable(ImageSource& source, uint8_t flags, ColourTable& table) {
  int count = 1 << ((flags & 7) + 1);
  uint8_t rgb[256 * 3];
  if (source.Read(rgb, size_t(count) * 3) != size_t(count) * 3) return false;
  for (int i = 0; i < count; ++i)
    table.colours[i] = 0xFF000000u | uint32_t(rgb[i * 3]) << 16 | uint32_t(rgb[i * 3 + 1]) << 8 | rgb[i * 3 + 2];
  table.count = count;
  return true;
}

// Reads a chain of sub-blocks up to its zero length; the first block's data goes to firstBlock.
bool ReadSubBlocks(ImageSource& source, std::array<uint8_t, 255>& firstBlock, int& firstLength) {
  firstLength = -1;
  for (;;) {
    uint8_t length;
    uint8_t data[255];
    if (!source.ReadByte(length)) return false;
    if (length == 0) return true;
    if (source.Read(data, length) != length) return false;
    if (firstLength < 0) {
      std::memcpy(firstBlock.data(), data, length);
      firstLength = length;
    }
  }
}

// Skips blocks up to the image descriptor; false at the trailer or the end of the file.
bool FindImage(ImageSource& source, int& transparentIndex) {
  for (;;) {
    uint8_t introducer;
    if (!source.ReadByte(introducer) || introducer == kTrailer) return false;
    if (introducer == kImageDescriptor) return true;
    if (introducer != kExtension) continue;
    uint8_t label;
    std::array<uint8_t, 255> data;
    int length;
    if (!source.ReadByte(label) || !ReadSubBlocks(source, data, length)) return false;
    if (label == kGraphicControl && length >= 4 && (data[0] & 1)) transparentIndex = data[3];
  }
}

// Places decoded pixels left to right, rows in file order or in the four interlace passes, and
// drops whatever comes after the last row.
class PixelSink {
 public:
  PixelSink(Image& image, const ColourTable& table, int transparentIndex, bool interlaced)
      : mImage(image), mTable(table), mTransparent(transparentIndex), mInterlaced(interlaced) {}

  bool Full() const { return mFull; }

  void Put(uint8_t index) {
    if (mFull) return;
    bool clear = index == mTransparent || index >= mTable.count;
    mImage.Row(mY)[mX] = clear ? 0 : mTable.colours[index];
    if (++mX == mImage.GetWidth()) {
      mX = 0;
      NextRow();
    }
  }

 private:
  void NextRow() {
    static constexpr int kPassStart[4] = {0, 4, 2, 1};
    static constexpr int kPassStep[4] = {8, 8, 4, 2};
    mY += mInterlaced ? kPassStep[mPass] : 1;
    while (mY >= mImage.GetHeight()) {
      if (!mInterlaced || ++mPass == 4) {
        mFull = true;
        return;
      }
      mY = kPassStart[mPass];
    }
  }

  Image& mImage;
  const ColourTable& mTable;
  int mTransparent;
  bool mInterlaced;
  int mX = 0, mY = 0, mPass = 0;
  bool mFull = false;
};

// Variable-width codes packed least-significant bit first across the image's sub-blocks.
class CodeReader {
 public:
  explicit CodeReader(ImageSource& source) : mSource(source) {}

  bool Next(int bits, int& code) {
    while (mBitCount < bits) {
      if (mPos == mLength && !NextBlock()) return false;
      mBitBuffer |= uint32_t(mBlock[mPos++]) << mBitCount;
      mBitCount += 8;
    }
    code = int(mBitBuffer & ((1u << bits) - 1));
    mBitBuffer >>= bits;
    mBitCount -= bits;
    return true;
  }

 private:
  bool NextBlock() {
    uint8_t length;
    if (!mSource.ReadByte(length) || length == 0) return false;
    mLength = mSource.Read(mBlock, length);
    mPos = 0;
    return mLength > 0;
  }

  ImageSource& mSource;
  uint8_t mBlock[255];
  size_t mLength = 0, mPos = 0;
  uint32_t mBitBuffer = 0;
  int mBitCount = 0;
};

// Runs until the image is full, the data ends, or a code is bad.
void DecodeLzw(ImageSource& source, PixelSink& sink) {
  uint8_t minBits;
  if (!source.ReadByte(minBits) || minBits < 1 || minBits > 8) return;
  const int clearCode = 1 << minBits;
  const int endCode = clearCode + 1;
  std::array<uint16_t, kMaxCodes> prefix{};
  std::array<uint8_t, kMaxCodes> suffix{};
  std::array<uint8_t, kMaxCodes + 1> stack{};
  CodeReader reader(source);
  int codeBits = minBits + 1;
  int nextFree = clearCode + 2;
  int previous = -1;
  uint8_t firstChar = 0;
  int code;
  while (!sink.Full() && reader.Next(codeBits, code)) {
    if (code == clearCode) {
      codeBits = minBits + 1;
      nextFree = clearCode + 2;
      previous = -1;
      continue;
    }
    if (code == endCode || code > nextFree) return;
    if (previous < 0) {
      // After a clear only a single pixel can follow; anything else has no meaning.
      if (code >= clearCode) return;
      sink.Put(uint8_t(code));
      previous = code;
      firstChar = uint8_t(code);
      continue;
    }
    int depth = 0;
    int current = code;
    if (code == nextFree) {
      stack[depth++] = firstChar;
      current = previous;
    }
    while (current >= clearCode) {
      stack[depth++] = suffix[current];
      current = prefix[current];
    }
    stack[depth++] = uint8_t(current);
    firstChar = uint8_t(current);
    bool tableFull = nextFree == kMaxCodes;
    if (!tableFull) {
      prefix[nextFree] = uint16_t(previous);
      suffix[nextFree] = firstChar;
      if (++nextFree >= (1 << codeBits) && codeBits < kMaxCodeBits) ++codeBits;
    }
    while (depth > 0) sink.Put(stack[--depth]);
    if (tableFull) return;
    previous = code;
  }
}

}  // namespace

std::unique_ptr<Image> DecodeGIF(ImageSource& source) {
  char signature[6];
  if (source.Read(signature, 6) != 6 ||
      (std::memcmp(signature, "GIF87", 5) != 0 && std::memcmp(signature, "GIF89", 5) != 0))
    return nullptr;
  uint16_t screenWidth, screenHeight;
  uint8_t screenFlags, background, aspect;
  if (!source.ReadU16(screenWidth) || !source.ReadU16(screenHeight) || !source.ReadByte(screenFlags) ||
      !source.ReadByte(background) || !source.ReadByte(aspect))
    return nullptr;
  ColourTable globalTable;
  if ((screenFlags & 0x80) && !ReadColourTable(source, screenFlags, globalTable)) return nullptr;
  int transparentIndex = -1;
  if (!FindImage(source, transparentIndex)) return nullptr;
  uint16_t left, top, width, height;
  uint8_t flags;
  if (!source.ReadU16(left) || !source.ReadU16(top) || !source.ReadU16(width) || !source.ReadU16(height) ||
      !source.ReadByte(flags))
    return nullptr;
  ColourTable localTable;
  if ((flags & 0x80) && !ReadColourTable(source, flags, localTable)) return nullptr;
  const ColourTable& table = (flags & 0x80) ? localTable : globalTable;
  if (table.count == 0) return nullptr;
  auto image = Image::Create(width, height);
  if (!image) return nullptr;
  PixelSink sink(*image, table, transparentIndex, (flags & 0x40) != 0);
  DecodeLzw(source, sink);
  return image;
}

Image* GetGIFImage(const std::string& fileName) { return DecodeFile(fileName, DecodeGIF).release(); }

}  // namespace ImageLib
