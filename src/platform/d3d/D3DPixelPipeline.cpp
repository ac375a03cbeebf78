#include "platform/d3d/D3DPixelPipeline.h"

#include "platform/d3d/D3D.h"
#include "platform/d3d/D3DSpanRows.h"

#include <algorithm>
#include <cmath>

namespace Velk {

namespace {

inline uint32_t Channel(uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

using D3DSpanRows::Address;
using D3DSpanRows::Bilinear;
using D3DSpanRows::FloorInt;
using D3DSpanRows::Mul255;

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
    case D3DTOP_SELECTARG1:
      return PerChannel(arg1, 0, shifts, [](uint32_t x, uint32_t) { return x; });
    case D3DTOP_SELECTARG2:
      return PerChannel(0, arg2, shifts, [](uint32_t, uint32_t y) { return y; });
    case D3DTOP_ADD:
      return PerChannel(arg1, arg2, shifts, [](uint32_t x, uint32_t y) { return std::min(x + y, 255u); });
    default:
      return PerChannel(arg1, arg2, shifts, Mul255);
  }
}

uint32_t Factor(DWORD factor, uint32_t channel, uint32_t src, uint32_t dst, int shift) {
  const uint32_t sa = Channel(src, 24);
  const uint32_t da = Channel(dst, 24);
  switch (factor) {
    case D3DBLEND_ZERO:
      return 0;
    case D3DBLEND_ONE:
      return channel;
    case D3DBLEND_SRCCOLOR:
      return Mul255(channel, Channel(src, shift));
    case D3DBLEND_INVSRCCOLOR:
      return Mul255(channel, 255 - Channel(src, shift));
    case D3DBLEND_SRCALPHA:
      return Mul255(channel, sa);
    case D3DBLEND_INVSRCALPHA:
      return Mul255(channel, 255 - sa);
    case D3DBLEND_DESTALPHA:
      return Mul255(channel, da);
    case D3DBLEND_INVDESTALPHA:
      return Mul255(channel, 255 - da);
    case D3DBLEND_DESTCOLOR:
      return Mul255(channel, Channel(dst, shift));
    case D3DBLEND_INVDESTCOLOR:
      return Mul255(channel, 255 - Channel(dst, shift));
    case D3DBLEND_SRCALPHASAT:
      return Mul255(channel, shift == 24 ? 255 : std::min(sa, 255 - da));
    default:
      return channel;
  }
}

bool IsDiffuse(DWORD arg) { return (arg & 0xF) == D3DTA_CURRENT || (arg & 0xF) == D3DTA_DIFFUSE; }

// Texel times diffuse per channel; a white diffuse leaves the texel as it is.
inline uint32_t Modulate(uint32_t texel, uint32_t diffuse, bool alphaToo) {
  if (diffuse == 0xFFFFFFFFu) return texel;
  uint32_t out = alphaToo ? Mul255(Channel(texel, 24), Channel(diffuse, 24)) << 24 : texel & 0xFF000000u;
  for (int s = 0; s < 24; s += 8) out |= Mul255(Channel(texel, s), Channel(diffuse, s)) << s;
  return out;
}

// A v step too small to move v leaves it where it is at every pixel (each pixel adds it to the same
// v), so the span reads along one texture row, as one without a v step does. Clipping a picture's
// quad at its own clip gives such steps.
D3DAttributes StepAlongRow(const D3DAttributes& at, const D3DAttributes& step) {
  D3DAttributes along = step;
  if (at.v + step.v == at.v) along.v = 0;
  return along;
}

}  // namespace

D3DPixelPipeline::D3DPixelPipeline(const D3DPipelineState& state, uint8_t* target, int pitch,
                                   const D3DPixelCodec& codec)
    : state_(state), target_(target), pitch_(pitch), codec_(codec) {
  if (!state.blend) {
    blendKind_ = BlendKind::kNone;
  } else if (state.srcBlend == D3DBLEND_SRCALPHA && state.destBlend == D3DBLEND_INVSRCALPHA) {
    blendKind_ = BlendKind::kAlpha;
  } else if (state.srcBlend == D3DBLEND_SRCALPHA && state.destBlend == D3DBLEND_ONE) {
    blendKind_ = BlendKind::kAlphaAdd;
  } else if (state.srcBlend == D3DBLEND_ONE && state.destBlend == D3DBLEND_ONE) {
    blendKind_ = BlendKind::kAdd;
  } else {
    blendKind_ = BlendKind::kGeneral;
  }
  modulate_ = state.colorOp == D3DTOP_MODULATE && (state.colorArg1 & 0xF) == D3DTA_TEXTURE &&
              IsDiffuse(state.colorArg2) && (state.alphaArg1 & 0xF) == D3DTA_TEXTURE &&
              (state.alphaOp == D3DTOP_SELECTARG1 || (state.alphaOp == D3DTOP_MODULATE && IsDiffuse(state.alphaArg2)));
  const D3DTextureView& t = state.texture;
  plain32_ = t.texels && t.codec->IsPlain32() && codec.IsPlain32() && modulate_;
  keep_ = codec.HasAlpha() ? 0xFFFFFFFFu : 0xFFFFFFu;
}

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
    return Texel(Address(FloorInt(u * static_cast<float>(t.width)), t.width, state_.wrapU),
                 Address(FloorInt(v * static_cast<float>(t.height)), t.height, state_.wrapV));
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
  return Bilinear(Texel(xa, ya), Texel(xb, ya), Texel(xa, yb), Texel(xb, yb), wx, wy);
}

uint32_t D3DPixelPipeline::Argument(DWORD arg, uint32_t texel, uint32_t diffuse) const {
  switch (arg & 0xF) {
    case D3DTA_TEXTURE:
      return texel;
    case D3DTA_TFACTOR:
      return state_.textureFactor;
    default:
      return diffuse;  // stage 0: CURRENT is the diffuse colour
  }
}

uint32_t D3DPixelPipeline::Combine(uint32_t texel, uint32_t diffuse) const {
  if (modulate_) return Modulate(texel, diffuse, state_.alphaOp == D3DTOP_MODULATE);
  if (state_.colorOp == D3DTOP_DISABLE) return diffuse;
  const uint32_t color = ApplyOp(state_.colorOp, Argument(state_.colorArg1, texel, diffuse),
                                 Argument(state_.colorArg2, texel, diffuse), {0, 8, 16});
  const uint32_t alpha = state_.alphaOp == D3DTOP_DISABLE
                             ? diffuse & 0xFF000000u
                             : ApplyOp(state_.alphaOp, Argument(state_.alphaArg1, texel, diffuse),
                                       Argument(state_.alphaArg2, texel, diffuse), {24});
  return color | alpha;
}

// Each term rounds on its own, as the general table does: (x * f + 127) / 255, then the sum saturates.
[[gnu::always_inline]] inline uint32_t D3DPixelPipeline::BlendFast(uint32_t src, uint32_t dst) const {
  const uint32_t a = Channel(src, 24);
  uint32_t out = 0;
  switch (blendKind_) {
    case BlendKind::kAlpha:
      return D3DSpanRows::BlendAlpha(src, dst);
    case BlendKind::kAlphaAdd:
      if (a == 0) return dst;
      for (int s = 0; s < 32; s += 8) out |= std::min(Mul255(Channel(src, s), a) + Channel(dst, s), 255u) << s;
      return out;
    case BlendKind::kAdd:
      for (int s = 0; s < 32; s += 8) out |= std::min(Channel(src, s) + Channel(dst, s), 255u) << s;
      return out;
    default:
      return Blend(src, dst);
  }
}

uint32_t D3DPixelPipeline::Blend(uint32_t src, uint32_t dst) const {
  if (!state_.blend) return src;
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) {
    const uint32_t sum =
        Factor(state_.srcBlend, Channel(src, s), src, dst, s) + Factor(state_.destBlend, Channel(dst, s), src, dst, s);
    out |= std::min(sum, 255u) << s;
  }
  return out;
}

// One texel per pixel along a texture row: point samples near texel centres, as most blits take, or
// filtered samples exactly on them, which weigh no neighbour.
[[gnu::always_inline]] inline bool D3DPixelPipeline::TexelRun(int count, const D3DAttributes& at,
                                                              const D3DAttributes& step, int& first, int& row) const {
  const D3DTextureView& t = state_.texture;
  if (step.v != 0) return false;
  if (state_.linear) {
    first = D3DSpanRows::ExactTexelColumn(at.u, step.u, t.width, count);
    row = first < 0 ? -1 : D3DSpanRows::ExactTexelRow(at.v, t.height, state_.wrapV);
    return row >= 0;
  }
  const float width = static_cast<float>(t.width);
  const float start = at.u * width;
  first = FloorInt(start);
  const float fraction = start - static_cast<float>(first);
  if (!(std::fabs(step.u * width - 1.0f) < 1e-5f && fraction > 0.01f && fraction < 0.99f && first >= 0 &&
        first + count <= t.width))
    return false;
  row = Address(FloorInt(at.v * static_cast<float>(t.height)), t.height, state_.wrapV);
  return true;
}

// A diffuse channel is 255 where ToByte gives 255 for it.
[[gnu::always_inline]] inline bool D3DPixelPipeline::IsSprite(const D3DSpan& s) const {
  return plain32_ && blendKind_ == BlendKind::kAlpha && s.step.a == 0 && s.step.r == 0 && s.step.g == 0 &&
         s.step.b == 0 && std::min(std::min(s.at.a, s.at.r), std::min(s.at.g, s.at.b)) + 0.5f >= 255.0f;
}

uint8_t* D3DPixelPipeline::PixelAt(int x, int y) const {
  return target_ + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * codec_.BytesPerPixel();
}

void D3DPixelPipeline::SpriteRun(uint8_t* out, int first, int row, int count) const {
  const D3DTextureView& t = state_.texture;
  auto* pixels = reinterpret_cast<uint32_t*>(out);
  const uint32_t* from = reinterpret_cast<const uint32_t*>(t.texels + static_cast<size_t>(row) * t.pitch) + first;
  // Spans run down the rows, which the processor does not fetch ahead by itself. Two rows ahead did
  // best of one to eight.
  D3DSpanRows::FetchAhead(pixels, 2 * pitch_, count * 4, true);
  D3DSpanRows::FetchAhead(from, 2 * t.pitch, count * 4, false);
  if (!t.codec->HasAlpha()) {
    for (int i = 0; i < count; ++i) pixels[i] = (from[i] | 0xFF000000u) & keep_;
  } else {
    D3DSpanRows::SpriteRow(pixels, from, count, keep_);
  }
}

bool D3DPixelPipeline::CopySpan(uint8_t* out, int count, D3DAttributes at, const D3DAttributes& spanStep,
                                uint32_t diffuse) const {
  const D3DAttributes step = StepAlongRow(at, spanStep);
  const D3DTextureView& t = state_.texture;
  if (!plain32_) return false;
  const uint32_t opaque = t.codec->HasAlpha() ? 0 : 0xFF000000u;
  const bool keepAlpha = codec_.HasAlpha();
  const float width = static_cast<float>(t.width);
  const float height = static_cast<float>(t.height);
  const D3DSpanRows::SpriteTexture tex{t.texels, t.pitch, t.width, t.height, opaque, state_.wrapU, state_.wrapV};
  auto texel = [&](int x, int y) { return tex.At(x, y); };
  // Sprites in their own colours, which the span rows draw.
  const bool sprite = diffuse == 0xFFFFFFFFu && blendKind_ == BlendKind::kAlpha;
  auto* pixel = reinterpret_cast<uint32_t*>(out);
  // A diffuse alpha of 0 modulates every texel to alpha 0, by which the blend leaves each pixel.
  if (state_.alphaOp == D3DTOP_MODULATE && diffuse >> 24 == 0 &&
      (blendKind_ == BlendKind::kAlpha || blendKind_ == BlendKind::kAlphaAdd)) {
    for (int i = 0; i < count; ++i) pixel[i] &= keep_;
    return true;
  }
  auto put = [&](int i, uint32_t sample) {
    const uint32_t src = Modulate(sample, diffuse, state_.alphaOp == D3DTOP_MODULATE);
    const uint32_t color =
        blendKind_ == BlendKind::kNone ? src : BlendFast(src, pixel[i] | (keepAlpha ? 0 : 0xFF000000u));
    pixel[i] = color & keep_;
  };
  int first = 0, y = 0;
  if (TexelRun(count, at, step, first, y)) {
    if (sprite) {
      SpriteRun(out, first, y, count);
      return true;
    }
    for (int i = 0; i < count; ++i) put(i, texel(first + i, y));
    return true;
  }
  if (state_.linear && sprite) {
    D3DSpanRows::FilteredSpriteRow(pixel, count, at.u, at.v, step.u, step.v, tex, keep_);
    return true;
  }
  for (int i = 0; i < count; ++i, at.u += step.u, at.v += step.v) {
    put(i, state_.linear ? D3DSpanRows::FilteredTexel(tex, at.u, at.v)
                         : texel(Address(FloorInt(at.u * width), t.width, state_.wrapU),
                                 Address(FloorInt(at.v * height), t.height, state_.wrapV)));
  }
  return true;
}

void D3DPixelPipeline::ShadeSpans(const D3DSpan& left, const D3DSpan& right) const {
  if (Hidden(left.y)) return;
  int leftFirst = 0, leftRow = 0, rightFirst = 0, rightRow = 0;
  if (IsSprite(left) && IsSprite(right) && TexelRun(left.count, left.at, left.step, leftFirst, leftRow) &&
      TexelRun(right.count, right.at, right.step, rightFirst, rightRow) && leftRow == rightRow &&
      rightFirst == leftFirst + left.count) {
    SpriteRun(PixelAt(left.x, left.y), leftFirst, leftRow, left.count + right.count);
    return;
  }
  ShadeSpan(left);
  ShadeSpan(right);
}

// Where the top row is one run of texels of the texture, so is every row, the same columns from the
// rows below: u is the same on every row, v exact, so only the texel row changes, and it grows by one
// a row from the top to the bottom row only where no row wraps or clamps.
void D3DPixelPipeline::ShadeRows(D3DSpan span, int rows, float rowStepV) const {
  D3DAttributes last = span.at;
  last.v += rowStepV * static_cast<float>(rows - 1);
  int first = 0, row = 0, lastFirst = 0, lastRow = 0;
  if (IsSprite(span) && TexelRun(span.count, span.at, span.step, first, row) &&
      TexelRun(span.count, last, span.step, lastFirst, lastRow) && lastRow - row == rows - 1) {
    uint8_t* out = PixelAt(span.x, span.y);
    for (int i = 0; i < rows; ++i, out += pitch_)
      if (!Hidden(span.y + i)) SpriteRun(out, first, row + i, span.count);
    return;
  }
  for (int i = 0; i < rows; ++i, ++span.y, span.at.v += rowStepV) ShadeSpan(span);
}

void D3DPixelPipeline::ShadeSpan(const D3DSpan& span) const {
  if (Hidden(span.y)) return;
  const int bytes = codec_.BytesPerPixel();
  uint8_t* out = PixelAt(span.x, span.y);
  const D3DAttributes& step = span.step;
  D3DAttributes at = span.at;
  const bool flat = step.a == 0 && step.r == 0 && step.g == 0 && step.b == 0;
  uint32_t diffuse = ToByte(at.a) << 24 | ToByte(at.r) << 16 | ToByte(at.g) << 8 | ToByte(at.b);
  if (flat && CopySpan(out, span.count, at, step, diffuse)) return;
  for (int i = 0; i < span.count; ++i, out += bytes) {
    if (!flat) diffuse = ToByte(at.a) << 24 | ToByte(at.r) << 16 | ToByte(at.g) << 8 | ToByte(at.b);
    const uint32_t src = Combine(Sample(at.u, at.v), diffuse);
    const uint32_t color = blendKind_ == BlendKind::kNone ? src : BlendFast(src, codec_.Decode(codec_.Read(out)));
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
