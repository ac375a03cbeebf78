#pragma once
// Unpacks a pixel of an RGB surface format into 0xAARRGGBB and packs it back. Unpacking widens each
// channel by bit replication (a 4-bit 0xF becomes 0xFF, a 5-bit 0x1F becomes 0xFF); packing truncates.
// A format without an alpha mask reads as opaque.

#include "platform/ddraw/DDraw.h"

#include <cstdint>

namespace Velk {

class D3DPixelCodec {
 public:
  explicit D3DPixelCodec(const DDPIXELFORMAT& format);

  int BytesPerPixel() const { return bytes_; }
  bool IsPalettized() const { return palettized_; }
  // 32-bit with the 0xFF0000 / 0xFF00 / 0xFF masks: pixels are ARGB words as they stand.
  bool IsPlain32() const { return plain32_; }
  bool HasAlpha() const { return channels_[0].bits != 0; }
  uint32_t Decode(uint32_t pixel) const;
  uint32_t Encode(uint32_t argb) const;
  uint32_t Read(const uint8_t* at) const;
  void Write(uint8_t* at, uint32_t pixel) const;

 private:
  struct Channel {
    int shift = 0;
    int bits = 0;
  };
  static Channel ChannelOf(DWORD mask);
  static uint32_t Widen(uint32_t value, int bits);

  Channel channels_[4];  // alpha, red, green, blue
  int bytes_;
  bool palettized_;
  bool plain32_;  // 0x00FF0000 / 0xFF00 / 0xFF, with or without 0xFF000000 alpha
};

}  // namespace Velk
