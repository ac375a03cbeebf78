#include "platform/d3d/D3DPixelCodec.h"

#include <bit>
#include <cstring>

namespace Velk {

D3DPixelCodec::D3DPixelCodec(const DDPIXELFORMAT& format)
    : bytes_(static_cast<int>(format.dwRGBBitCount / 8)), palettized_(format.dwFlags & DDPF_PALETTEINDEXED8) {
  const DWORD alpha = (format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0;
  const DWORD masks[4] = {alpha, format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
  for (int i = 0; i < 4; ++i) channels_[i] = ChannelOf(masks[i]);
  plain32_ = bytes_ == 4 && masks[1] == 0xFF0000 && masks[2] == 0xFF00 && masks[3] == 0xFF &&
             (alpha == 0 || alpha == 0xFF000000u);
}

D3DPixelCodec::Channel D3DPixelCodec::ChannelOf(DWORD mask) {
  if (!mask) return Channel{};
  return Channel{std::countr_zero(mask), std::popcount(mask)};
}

uint32_t D3DPixelCodec::Widen(uint32_t value, int bits) {
  if (bits >= 8) return value >> (bits - 8);
  uint32_t wide = 0;
  for (int filled = 0; filled < 8; filled += bits) wide = (wide << bits) | value;
  return (wide >> ((8 + bits - 1) / bits * bits - 8)) & 0xFF;
}

uint32_t D3DPixelCodec::Decode(uint32_t pixel) const {
  if (plain32_) return channels_[0].bits ? pixel : (pixel | 0xFF000000u);
  uint32_t argb = 0;
  for (int i = 0; i < 4; ++i) {
    const Channel& c = channels_[i];
    const uint32_t v = c.bits ? Widen((pixel >> c.shift) & ((1u << c.bits) - 1), c.bits) : (i == 0 ? 0xFFu : 0u);
    argb |= v << (24 - 8 * i);
  }
  return argb;
}

uint32_t D3DPixelCodec::Encode(uint32_t argb) const {
  if (plain32_) return channels_[0].bits ? argb : (argb & 0xFFFFFFu);
  uint32_t pixel = 0;
  for (int i = 0; i < 4; ++i) {
    const Channel& c = channels_[i];
    if (!c.bits) continue;
    const uint32_t v = (argb >> (24 - 8 * i)) & 0xFF;
    pixel |= (c.bits >= 8 ? v << (c.bits - 8) : v >> (8 - c.bits)) << c.shift;
  }
  return pixel;
}

// Pixels are little-endian whatever their size.
uint32_t D3DPixelCodec::Read(const uint8_t* at) const {
  uint32_t v = 0;
  std::memcpy(&v, at, static_cast<size_t>(bytes_));
  return v;
}

void D3DPixelCodec::Write(uint8_t* at, uint32_t pixel) const { std::memcpy(at, &pixel, static_cast<size_t>(bytes_)); }

}  // namespace Velk
