#pragma once
// The write stage of each destination format group: how an opaque colour is packed and how a
// premultiplied source is blended over the destination pixel.

#include <cstdint>
#include <cstring>

namespace Velk {

enum class SpanFormat : int { Argb8888 = 0, Xrgb888 = 1, Rgb565 = 2, Rgb555 = 3 };

// r, g, b of a source term; values above 255 only come from out-of-range vertex colours.
struct SpanRgb {
  uint32_t r;
  uint32_t g;
  uint32_t b;
};

// Destination memory is plain bytes, so pixels are moved with memcpy (a single load or store).
template <class Pixel>
inline Pixel LoadPixel(const uint8_t* at) {
  Pixel p;
  std::memcpy(&p, at, sizeof p);
  return p;
}

template <class Pixel>
inline void StorePixel(uint8_t* at, Pixel p) {
  std::memcpy(at, &p, sizeof p);
}

inline uint32_t PackRgb888(const SpanRgb& c) { return (c.r & 0xFF) << 16 | (c.g & 0xFF) << 8 | (c.b & 0xFF); }

// The integer parts of interpolated 16.16 channels, as the groups with lane blends take them.
inline uint32_t SourceTerm(uint32_t channel, uint32_t sA) { return (((channel >> 16) & 0xFF) * sA) >> 8; }

template <SpanFormat F>
struct SpanPixelWriter;

// Both 32-bit groups write opaque pixels alike, with alpha 0xFF.
struct SpanPixelWriter32 {
  using Pixel = uint32_t;

  static void Opaque(uint8_t* at, const SpanRgb& c) { StorePixel<Pixel>(at, 0xFF000000u | PackRgb888(c)); }
};

// 32-bit ARGB whose alpha takes part: source over destination, the result a straight colour.
template <>
struct SpanPixelWriter<SpanFormat::Argb8888> : SpanPixelWriter32 {
  static void Blend(uint8_t* at, uint32_t sA, const SpanRgb& p) {
    const uint32_t d = LoadPixel<Pixel>(at);
    const uint32_t dA = d >> 24;
    const uint32_t k = ((256 - dA) * (256 - sA)) >> 8;
    const uint32_t total = 256 - k;
    if (total == 0) return;  // nothing over nothing stays nothing; dividing would trap
    const uint32_t keep = 256 - sA;
    auto channel = [&](int shift, uint32_t src) {
      const uint32_t dc = (d >> shift) & 0xFF;
      return (((((dc * dA) >> 8) * keep) + (src << 8)) / total & 0xFF) << shift;
    };
    StorePixel<Pixel>(at, ((total - 1) & 0xFF) << 24 | channel(16, p.r) | channel(8, p.g) | channel(0, p.b));
  }

  // Untextured source: green keeps 8 fraction bits and red all 16 before the product.
  static SpanRgb UntexturedSource(uint32_t sA, uint32_t r, uint32_t g, uint32_t b) {
    return {(r * sA) >> 24, ((g >> 8) * sA) >> 16, ((b >> 16) * sA) >> 8};
  }
};

// 32-bit pixels whose alpha is not kept: every write sets it to 0xFF.
template <>
struct SpanPixelWriter<SpanFormat::Xrgb888> : SpanPixelWriter32 {
  static void Blend(uint8_t* at, uint32_t sA, const SpanRgb& q) {
    const uint32_t d = LoadPixel<Pixel>(at);
    const uint32_t inv = 255 - sA;
    const uint32_t rb = (((d & 0x00FF00FFu) * inv) >> 8) & 0x00FF00FFu;
    const uint32_t g = (((d & 0x0000FF00u) * inv) >> 8) & 0x0000FF00u;
    StorePixel<Pixel>(at, 0xFF000000u | (rb + g + PackRgb888(q)));
  }

  static SpanRgb UntexturedSource(uint32_t sA, uint32_t r, uint32_t g, uint32_t b) {
    return {SourceTerm(r, sA), SourceTerm(g, sA), SourceTerm(b, sA)};
  }
};

// 16-bit pixels: each field takes the top bits of its channel; the destination weight is cut to
// five bits so that red and blue scale together in one word.
template <unsigned RedShift, unsigned GreenBits, uint32_t RbMask, uint32_t GMask, uint32_t Keep>
struct SpanPixelWriter16 {
  using Pixel = uint16_t;

  static uint32_t Pack(const SpanRgb& c) {
    return ((c.r & 0xFF) >> 3) << RedShift | ((c.g & 0xFF) >> (8 - GreenBits)) << 5 | (c.b & 0xFF) >> 3;
  }

  static void Opaque(uint8_t* at, const SpanRgb& c) { StorePixel<Pixel>(at, Pixel(Pack(c))); }

  static void Blend(uint8_t* at, uint32_t sA, const SpanRgb& q) {
    const uint32_t d = LoadPixel<Pixel>(at);
    const uint32_t k = (255 - sA) >> 3;
    const uint32_t rb = (((d & RbMask) * k) >> 5) & RbMask;
    const uint32_t g = (((d & GMask) * k) >> 5) & GMask;
    StorePixel<Pixel>(at, Pixel((rb + g + Pack(q)) & Keep));
  }

  static SpanRgb UntexturedSource(uint32_t sA, uint32_t r, uint32_t g, uint32_t b) {
    return {SourceTerm(r, sA), SourceTerm(g, sA), SourceTerm(b, sA)};
  }
};

template <>
struct SpanPixelWriter<SpanFormat::Rgb565> : SpanPixelWriter16<11, 6, 0xF81F, 0x07E0, 0xFFFF> {};

// Bit 15 ends as 0 on every write.
template <>
struct SpanPixelWriter<SpanFormat::Rgb555> : SpanPixelWriter16<10, 5, 0x7C1F, 0x03E0, 0x7FFF> {};

}  // namespace Velk
