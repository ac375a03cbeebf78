#pragma once
// Row routines of the 32-bit blits: n destination pixels d[0..n) drawn from source pixels s[0..n).
// Each works several pixels at a time where the processor allows and gives exactly the bytes of the
// per-pixel arithmetic in PixelOps, which also draws the pixels left over at a row's end.
#include <cstdint>

#include "graphics/PixelOps.h"

namespace Velk::BlitRows {

using Row = void (*)(uint32_t* d, const uint32_t* s, int n, const PixelOps::Tint& tint);

void Copy(uint32_t* d, const uint32_t* s, int n, const PixelOps::Tint&);
// Normal blit onto an opaque destination by each pixel's alpha (PixelOps::OntoOpaque).
void OntoOpaque(uint32_t* d, const uint32_t* s, int n, const PixelOps::Tint&);
// Normal blit over a destination with alpha, weighted by the source alpha (PixelOps::OverLane).
void Over(uint32_t* d, const uint32_t* s, int n, const PixelOps::Tint&);
// Colourised normal blit (PixelOps::OverColorized).
void OverColorized(uint32_t* d, const uint32_t* s, int n, const PixelOps::Tint& tint);
// Additive blits (PixelOps::AddPlain and its kin through the saturation table).
void AddPlain(uint32_t* d, const uint32_t* s, int n, const PixelOps::Tint& tint);
void AddWeighted(uint32_t* d, const uint32_t* s, int n, const PixelOps::Tint& tint);
void AddTinted(uint32_t* d, const uint32_t* s, int n, const PixelOps::Tint& tint);
void AddTintedWeighted(uint32_t* d, const uint32_t* s, int n, const PixelOps::Tint& tint);

// Surface loops on 8-bit channels at bits 16, 8 and 0 of a 32-bit pixel whose source is in that
// display format with premultiplied colour. KeepAndAdd: each destination channel scaled by
// 256 - source alpha, then the source added; KeepAndAddUnlessClear does the same except under
// transparent source pixels, which leave the destination whole. AddClampedUnlessBlack: the colour channels summed with
// saturation, everything outside them cleared, except under black source pixels, which leave the
// destination whole.
inline uint32_t KeepAndAddPixel(uint32_t d, uint32_t s) {
  const uint32_t keep = 256 - (s >> 24);
  return ((((d & 0xFF00u) * keep) >> 8) & 0xFF00u) + ((((d & 0xFF00FFu) * keep) >> 8) & 0xFF00FFu) + s;
}
void KeepAndAdd(uint32_t* d, const uint32_t* s, int n);
void KeepAndAddUnlessClear(uint32_t* d, const uint32_t* s, int n);
void AddClampedUnlessBlack(uint32_t* d, const uint32_t* s, int n);

}  // namespace Velk::BlitRows
