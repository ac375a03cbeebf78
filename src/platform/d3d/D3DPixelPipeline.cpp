#include "platform/d3d/D3DPixelPipeline.h"

#include "platform/d3d/D3D.h"

#include <algorithm>
#include <cmath>

namespace Velk {

namespace {

inline uint32_t Channel(uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

inline uint32_t Mul255(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }

inline int Address(int i, int size, bool wrap) {
  if (wrap) {
    i %= size;
    return i < 0 ? i + size : i;
  }
  return std::clamp(i, 0, size - 1);
}

inline uint32_t ToByte(float value) { return static_cast<uint32_t>(std::clamp(value + 0.5f, 0.0f, 255.0f)); }

// Per channel through op; shifts select the channels taking part.
template <typename Op>
uint32_t PerChannel(uint32_t a, uint32_t b, std::initializer_list<int> shifts, Op op) {
  uint32_t out = 0;
  for (int s : shifts) out |= op(Channel(a, s), Channel(b, s)) << s;
  return out;
}

uint32_t ApplyOp(DWORD op, uint32_t arg1, uint32_t arg2, std::initializer_list<int> shifts) {
  switch (op) {
    case D3DTOP_SELECTARG1: return PerChannel(arg1, 0, shifts, [](uint32_t x, uint32_t) { return x; });
    case D3DTOP_SELECTARG2: return PerChannel(0, arg2, shifts, [](uint32_t, uint32_t y) { return y; });
    case D3DTOP_ADD: return PerChannel(arg1, arg2, shifts, [](uint32_t x, uint32_t y) { return std::min(x + y, 255u); });
    default: return PerChannel(arg1, arg2, shifts, Mul255);
  }
}

uint32_t Factor(DWORD factor, uint32_t channel, uint32_t src, uint32_t dst, int shift) {
  const uint32_t sa = Channel(src, 24);
  const uint32_t da = Channel(dst, 24);
  switch (factor) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_ONE: return channel;
    case D3DBLEND_SRCCOLOR: return Mul255(channel, Channel(src, shift));
    case D3DBLEND_INVSRCCOLOR: return Mul255(channel, 255 - Channel(src, shift));
    case D3DBLEND_SRCALPHA: return Mul255(channel, sa);
    case D3DBLEND_INVSRCALPHA: return Mul255(channel, 255 - sa);
    case D3DBLEND_DESTALPHA: return Mul255(channel, da);
    case D3DBLEND_INVDESTALPHA: return Mul255(channel, 255 - da);
    case D3DBLEND_DESTCOLOR: return Mul255(channel, Channel(dst, shift));
    case D3DBLEND_INVDESTCOLOR: return Mul255(channel, 255 - Channel(dst, shift));
    case D3DBLEND_SRCALPHASAT: return Mul255(channel, shift == 24 ? 255 : std::min(sa, 255 - da));
    default: return channel;
  }
}

}  // namespace

uint32_t D3DPixelPipeline::Texel(int x, int y) const {
  const D3DTextureView& t = state_.texture;
  const uint8_t* at = t.texels + static_cast<size_t>(y) * t.pitch + static_cast<size_t>(x) * t.codec->BytesPerPixel();
  const uint32_t raw = t.codec->Read(at);
  if (t.palette) return (*t.palette)[raw & 0xFF];
  return t.codec->Decode(raw);
}

uint32_t D3DPixelPipeline::Sample(float u, float v) const {
  const D3DTextureView& t = state_.texture;
  if (!t.texels) return 0xFFFFFFFFu;
  if (!state_.linear) {
    return Texel(Address(static_cast<int>(std::floor(u * t.width)), t.width, state_.wrapU),
                 Address(static_cast<int>(std::floor(v * t.height)), t.height, state_.wrapV));
  }
  const float fx = u * t.width - 0.5f;
  const float fy = v * t.height - 0.5f;
  const float x0f = std::floor(fx);
  const float y0f = std::floor(fy);
  const uint32_t wx = static_cast<uint32_t>((fx - x0f) * 256);
  const uint32_t wy = static_cast<uint32_t>((fy - y0f) * 256);
  const int x0 = static_cast<int>(x0f);
  const int y0 = static_cast<int>(y0f);
  const int xa = Address(x0, t.width, state_.wrapU);
  const int xb = Address(x0 + 1, t.width, state_.wrapU);
  const int ya = Address(y0, t.height, state_.wrapV);
  const int yb = Address(y0 + 1, t.height, state_.wrapV);
  const uint32_t p00 = Texel(xa, ya), p10 = Texel(xb, ya), p01 = Texel(xa, yb), p11 = Texel(xb, yb);
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) {
    const uint32_t top = Channel(p00, s) * (256 - wx) + Channel(p10, s) * wx;
    const uint32_t bottom = Channel(p01, s) * (256 - wx) + Channel(p11, s) * wx;
    out |= ((top * (256 - wy) + bottom * wy) >> 16) << s;
  }
  return out;
}

uint32_t D3DPixelPipeline::Argument(DWORD arg, uint32_t texel, uint32_t diffuse) const {
  switch (arg & 0xF) {
    case D3DTA_TEXTURE: return texel;
    case D3DTA_TFACTOR: return state_.textureFactor;
    default: return diffuse;  // stage 0: CURRENT is the diffuse colour
  }
}

uint32_t D3DPixelPipeline::Combine(uint32_t texel, uint32_t diffuse) const {
  if (state_.colorOp == D3DTOP_DISABLE) return diffuse;
  const uint32_t color = ApplyOp(state_.colorOp, Argument(state_.colorArg1, texel, diffuse),
                                 Argument(state_.colorArg2, texel, diffuse), {0, 8, 16});
  const uint32_t alpha = state_.alphaOp == D3DTOP_DISABLE
                             ? diffuse & 0xFF000000u
                             : ApplyOp(state_.alphaOp, Argument(state_.alphaArg1, texel, diffuse),
                                       Argument(state_.alphaArg2, texel, diffuse), {24});
  return color | alpha;
}

uint32_t D3DPixelPipeline::Blend(uint32_t src, uint32_t dst) const {
  if (!state_.blend) return src;
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) {
    const uint32_t sum = Factor(state_.srcBlend, Channel(src, s), src, dst, s) +
                         Factor(state_.destBlend, Channel(dst, s), src, dst, s);
    out |= std::min(sum, 255u) << s;
  }
  return out;
}

void D3DPixelPipeline::ShadeSpan(int x, int y, int count, D3DAttributes at, const D3DAttributes& step) const {
  const int bytes = codec_.BytesPerPixel();
  uint8_t* out = target_ + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * bytes;
  for (int i = 0; i < count; ++i, out += bytes) {
    const uint32_t diffuse = ToByte(at.a) << 24 | ToByte(at.r) << 16 | ToByte(at.g) << 8 | ToByte(at.b);
    const uint32_t src = Combine(Sample(at.u, at.v), diffuse);
    const uint32_t color = state_.blend ? Blend(src, codec_.Decode(codec_.Read(out))) : src;
    codec_.Write(out, codec_.Encode(color));
    at.u += step.u;
    at.v += step.v;
    at.a += step.a;
    at.r += step.r;
    at.g += step.g;
    at.b += step.b;
  }
}

}  // namespace Velk
