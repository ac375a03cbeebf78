#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "platform/d3d/D3D.h"
#include "platform/d3d/D3DPixelPipeline.h"
#include "platform/ddraw/DDrawPixelFormat.h"

namespace Velk {
namespace {

// Spans on texel centres whose v step is too small to move v (clipping a picture's quad gives such
// steps) draw along one texture row; steps of half or a whole spacing of v, which may move it, are
// filtered as before. Either way the bytes are those of the per-pixel stages, v stepped as the
// device steps it. Modes: texture and target with or without alpha, linear, wrapped, additive, coloured.
TEST(D3DPixelPipeline, SpansWhoseVStepCannotMoveVGiveThePerPixelBytes) {
  const D3DPixelCodec argb(RgbPixelFormat(32, 0xFF000000u, 0xFF0000, 0xFF00, 0xFF));
  const D3DPixelCodec xrgb(RgbPixelFormat(32, 0, 0xFF0000, 0xFF00, 0xFF));
  std::mt19937 rng(21);
  const int w = 64, h = 256;
  std::vector<uint32_t> texels(w * h);
  for (uint32_t& t : texels)
    t = (rng() % 4 == 0 ? 0u : rng() % 3 == 0 ? 0xFF000000u : rng() << 24) | (rng() & 0xFFFFFF);
  for (int mode = 0; mode < 64; ++mode) {
    D3DPipelineState state;
    state.texture = {reinterpret_cast<const uint8_t*>(texels.data()), w, h, w * 4, mode & 1 ? &argb : &xrgb, nullptr};
    const D3DPixelCodec& target = mode & 2 ? argb : xrgb;
    state.linear = mode & 4;
    state.wrapU = state.wrapV = mode & 8;
    state.blend = true;
    state.srcBlend = D3DBLEND_SRCALPHA;
    state.destBlend = mode & 16 ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA;
    const uint32_t c = mode & 32 ? 0xB4C89664u : 0xFFFFFFFFu;
    const D3DPixelPipeline stages(state, nullptr, 0, target);
    for (int trial = 0; trial < 40; ++trial) {
      D3DSpan span;
      span.count = 1 + static_cast<int>(rng() % w);
      const int first = static_cast<int>(rng() % static_cast<uint32_t>(w - span.count + 1));
      const float v = (static_cast<float>(rng() % h) + 0.5f) / h;
      span.at = {(first + 0.5f) / w, v, float(c >> 24), float((c >> 16) & 0xFF), float((c >> 8) & 0xFF),
                 float(c & 0xFF)};
      span.step.u = 1.0f / w;
      span.step.v = (rng() % 2 ? 1.0f : -1.0f) * std::ldexp(std::nextafter(v, 2.0f) - v, -static_cast<int>(rng() % 13));
      std::vector<uint32_t> row(static_cast<size_t>(span.count)), want(row.size());
      for (uint32_t& p : row) p = rng();
      float u = span.at.u, pv = v;
      for (size_t i = 0; i < row.size(); ++i, u += span.step.u, pv += span.step.v)
        want[i] = target.Encode(stages.Blend(stages.Combine(stages.Sample(u, pv), c), target.Decode(row[i])));
      D3DPixelPipeline(state, reinterpret_cast<uint8_t*>(row.data()), span.count * 4, target).ShadeSpan(span);
      ASSERT_EQ(want, row) << "mode " << mode << " first " << first << " v " << v << " dv " << span.step.v;
    }
  }
}

}  // namespace
}  // namespace Velk
