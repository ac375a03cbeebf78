#include "contentlib/TgaWriter.h"

#include "contentlib/ByteBuffer.h"

namespace Content {

bool TgaWriter::Write(const Picture& picture, std::vector<uint8_t>& out, std::string& error) {
  if (picture.width <= 0 || picture.height <= 0 || picture.width > 0xFFFF || picture.height > 0xFFFF)
    return error = "TGA sides must be 1 to 65535", false;
  ByteBuffer b;
  b.U8(0), b.U8(0), b.U8(2);        // no id, no colour map, true colour
  b.U16LE(0), b.U16LE(0), b.U8(0);  // colour map
  b.U16LE(0), b.U16LE(0);           // origin
  b.U16LE(picture.width), b.U16LE(picture.height);
  b.U8(32), b.U8(0x28);
  for (uint32_t p : picture.pixels) b.U32LE(p);  // B G R A in memory order
  out = std::move(b.bytes);
  return true;
}

}  // namespace Content
