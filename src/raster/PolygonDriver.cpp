#include "raster/PolygonDriver.h"

#include <algorithm>
#include <cmath>

#include "raster/FixedPoint.h"

namespace Velk {

namespace {

// Bounds are kept where a pixel position still fits 16.16.
constexpr int64_t kMaxCoord = 32766;

float ClampedBound(int64_t v) { return float(std::clamp<int64_t>(v, -kMaxCoord, kMaxCoord)); }

bool FiniteXY(const PolygonVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

int32_t ToFixed(float v) { return Trunc32(v * 65536.0f); }

// 16.16 position lies within (bound - 1, bound + 1]: what float rounding of an intersection can
// give, never enough to reach a pixel outside the clip.
bool Within(int32_t v, float low, float high) {
  return int64_t(v) > (int64_t(low) - 1) * 65536 && int64_t(v) <= (int64_t(high) + 1) * 65536;
}

class FillerSink : public TriangleSink {
 public:
  FillerSink(const SpanFillerTable& table, const SpanFlags& flags, const SpanTexture& texture, const SpanColor& color,
             uint8_t* bits, int32_t pitch, int32_t formatWord, const RowBand& hidden)
      : table_(table),
        flags_(flags),
        texture_(texture),
        color_(color),
        bits_(bits),
        pitch_(pitch),
        formatWord_(formatWord),
        hidden_(hidden) {}

  void Triangle(const SpanVertex* const v[3]) override {
    table_.Dispatch(flags_, v, bits_, pitch_, texture_, color_, formatWord_, hidden_);
  }

 private:
  const SpanFillerTable& table_;
  SpanFlags flags_;
  SpanTexture texture_;
  SpanColor color_;
  uint8_t* bits_;
  int32_t pitch_;
  int32_t formatWord_;
  RowBand hidden_;
};

}  // namespace

PolygonDriver::PolygonDriver(const PolygonClip& clip, const PolygonTexture* texture, bool vertexColors)
    : bounds_{ClampedBound(clip.x), ClampedBound(int64_t(clip.x) + clip.width - 1), ClampedBound(clip.y),
              ClampedBound(int64_t(clip.y) + clip.height - 1)},
      textured_(texture != nullptr),
      vertexColors_(vertexColors) {
  if (texture) {
    texWidth_ = float(texture->width);
    texHeight_ = float(texture->height);
  }
}

void PolygonDriver::DrawStrip(const PolygonVertex* vertices, int count, TriangleSink& sink) const {
  // The strip's orientation toggles from one triangle to the next.
  for (int i = 0; i + 2 < count; ++i) {
    const PolygonVertex* const triangle[4] = {&vertices[i], &vertices[i + 1 + (i & 1)], &vertices[i + 2 - (i & 1)],
                                              nullptr};
    DrawTriangle(triangle, sink);
  }
}

void PolygonDriver::DrawTriangle(const PolygonVertex* const triangle[4], TriangleSink& sink) const {
  // Non-finite positions would clip as inside and convert to nonsense rows and columns.
  if (!FiniteXY(*triangle[0]) || !FiniteXY(*triangle[1]) || !FiniteXY(*triangle[2])) return;
  ClipVertexPool pool;  // per call, so drawing from two threads cannot share it
  ClipList polygon;
  const int k = ClipTriangleToRect(triangle, polygon, bounds_, pool);
  if (k < 3) return;
  SpanVertex span[kClipListSize];
  for (int j = 0; j < k; ++j) {
    if (!ToSpanVertex(*polygon[j], span[j])) return;
  }
  for (int j = 2; j < k; ++j) {
    const SpanVertex* const fan[3] = {&span[0], &span[j - 1], &span[j]};
    sink.Triangle(fan);
  }
}

bool PolygonDriver::ToSpanVertex(const PolygonVertex& in, SpanVertex& out) const {
  out.x = ToFixed(in.x);
  out.y = ToFixed(in.y);
  // Intersections of huge finite edges can still come out NaN.
  if (!Within(out.x, bounds_.left, bounds_.right) || !Within(out.y, bounds_.top, bounds_.bottom)) return false;
  if (textured_) {
    out.c[kChanU] = Trunc32(in.u * texWidth_ * 65536.0f);
    out.c[kChanV] = Trunc32(in.v * texHeight_ * 65536.0f);
  }
  if (vertexColors_) {
    out.c[kChanA] = int32_t(in.colour >> 24) << 16;
    out.c[kChanR] = int32_t((in.colour >> 16) & 0xFF) << 16;
    out.c[kChanG] = int32_t((in.colour >> 8) & 0xFF) << 16;
    out.c[kChanB] = int32_t(in.colour & 0xFF) << 16;
  }
  return true;
}

void DrawPolygon(const PolygonVertex* vertices, int count, const PolygonTexture* texture, const SpanColor& color,
                 const PolygonClip& clip, uint8_t* destBits, int32_t destPitch, int32_t formatWord, bool bilinear,
                 bool vertexColors, const SpanFillerTable& table, const RowBand& hidden) {
  if (count < 3) return;
  SpanFlags flags;
  flags.texture = texture != nullptr;
  flags.alphaBlend = texture && (texture->hasTranslucency || texture->hasTransparency || bilinear);
  flags.vertexColors = vertexColors;
  flags.modulate = color.a != 255 || color.r != 255 || color.g != 255 || color.b != 255;
  flags.bilinear = bilinear;
  SpanTexture spanTexture;
  if (texture) spanTexture = {texture->bits, texture->width, Mul32(texture->width, texture->height)};
  FillerSink sink(table, flags, spanTexture, color, destBits, destPitch, formatWord, hidden);
  PolygonDriver(clip, texture, vertexColors).DrawStrip(vertices, count, sink);
}

}  // namespace Velk
