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
};

class D3DPixelPipeline {
 public:
  D3DPixelPipeline(const D3DPipelineState& state, uint8_t* target, int pitch, const D3DPixelCodec& codec);

  // Shades count pixels of row y from column x, the attributes advancing by step per pixel.
  void ShadeSpan(int x, int y, int count, D3DAttributes at, const D3DAttributes& step) const;

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
  // 32-bit texels onto a 32-bit target in one diffuse colour, without the format codecs.
  bool CopySpan(uint8_t* out, int count, D3DAttributes at, const D3DAttributes& step, uint32_t diffuse) const;

  BlendKind blendKind_;
  bool modulate_;  // the default stage-0 set-up: texture times diffuse

  const D3DPipelineState& state_;
  uint8_t* target_;
  int pitch_;
  const D3DPixelCodec& codec_;
};

}  // namespace Velk
