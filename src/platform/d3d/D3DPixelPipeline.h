#pragma once
// The per-pixel half of the software device: texture sampling (point or bilinear, wrap or clamp),
// the stage-0 combine, alpha blending and the write into the target. A stage without a texture reads
// as opaque white, so untextured primitives come out in their vertex colour.

#include "platform/d3d/D3DPixelCodec.h"

#include <array>
#include <cstdint>

namespace Velk {

// Interpolated values at a pixel: texture position and the diffuse channels (0..255).
struct D3DAttributes {
  float u = 0;
  float v = 0;
  float a = 0;
  float r = 0;
  float g = 0;
  float b = 0;
};

// count pixels of row y from column x, the attributes starting at `at` and advancing by step a pixel.
struct D3DSpan {
  int x = 0;
  int y = 0;
  int count = 0;
  D3DAttributes at;
  D3DAttributes step;
};

struct D3DTextureView {
  const uint8_t* texels = nullptr;  // null: no texture
  int width = 0;
  int height = 0;
  int pitch = 0;
  const D3DPixelCodec* codec = nullptr;
  const std::array<uint32_t, 256>* palette = nullptr;  // ARGB, for palettized textures
};

struct D3DPipelineState {
  D3DTextureView texture;
  bool linear = false;
  bool wrapU = true;
  bool wrapV = true;
  DWORD colorOp = 4;
  DWORD colorArg1 = 2;
  DWORD colorArg2 = 1;
  DWORD alphaOp = 2;
  DWORD alphaArg1 = 2;
  DWORD alphaArg2 = 1;
  uint32_t textureFactor = 0xFFFFFFFFu;
  bool blend = false;
  DWORD srcBlend = 2;
  DWORD destBlend = 1;
  // Rows hiddenTop..hiddenBottom - 1 are left as they are; the others shade as without them.
  int hiddenTop = 0;
  int hiddenBottom = 0;
};

class D3DPixelPipeline {
 public:
  D3DPixelPipeline(const D3DPipelineState& state, uint8_t* target, int pitch, const D3DPixelCodec& codec);

  void ShadeSpan(const D3DSpan& span) const;
  // Two spans of one row, the right one starting where the left one ends: one run of texels where
  // both are the texels of one texture row, one after the other.
  void ShadeSpans(const D3DSpan& left, const D3DSpan& right) const;

  // rows spans one below the other from span, v growing by rowStepV a row, where every row's v is
  // exact as drawing a rectangle's triangles gives it (see D3DRectangle).
  void ShadeRows(D3DSpan span, int rows, float rowStepV) const;

  const D3DTextureView& Texture() const { return state_.texture; }
  bool ReadsItsTarget() const { return state_.texture.texels == target_; }

  uint32_t Sample(float u, float v) const;
  uint32_t Combine(uint32_t texel, uint32_t diffuse) const;
  uint32_t Blend(uint32_t src, uint32_t dst) const;

 private:
  // The blend set-ups the callers use, done without the general factor table.
  enum class BlendKind { kNone, kAlpha, kAlphaAdd, kAdd, kGeneral };

  uint32_t Texel(int x, int y) const;
  uint32_t Argument(DWORD arg, uint32_t texel, uint32_t diffuse) const;
  uint32_t BlendFast(uint32_t src, uint32_t dst) const;
  bool TexelRun(int count, const D3DAttributes& at, const D3DAttributes& step, int& first, int& row) const;
  // Whether a span draws 32-bit texels in their own colours with the source-alpha blend, which
  // the sprite rows do.
  bool IsSprite(const D3DSpan& span) const;
  uint8_t* PixelAt(int x, int y) const;
  bool Hidden(int row) const { return row >= state_.hiddenTop && row < state_.hiddenBottom; }
  // count texels of texture row `row` from column `first`, one per pixel from out.
  void SpriteRun(uint8_t* out, int first, int row, int count) const;
  // 32-bit texels onto a 32-bit target in one diffuse colour, without the format codecs.
  bool CopySpan(uint8_t* out, int count, D3DAttributes at, const D3DAttributes& step, uint32_t diffuse) const;

  BlendKind blendKind_;
  bool modulate_;  // the default stage-0 set-up: texture times diffuse
  bool plain32_;   // 32-bit texels onto a 32-bit target, modulated
  uint32_t keep_;  // the bits a pixel of the target holds

  const D3DPipelineState& state_;
  uint8_t* target_;
  int pitch_;
  const D3DPixelCodec& codec_;
};

}  // namespace Velk
