#pragma once
// Walks a triangle strip: each triangle is clipped to the clip rectangle, converted to 16.16 and
// handed on as a fan of triangles.

#include <cstdint>

#include "raster/PolygonClipper.h"
#include "raster/SpanFillerTable.h"

namespace Velk {

// A texture as the driver reads it: ARGB bits with the image's alpha flags.
struct PolygonTexture {
  const uint32_t* bits = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  bool hasTransparency = false;
  bool hasTranslucency = false;
};

struct PolygonClip {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Receives the fan triangles of each clipped strip triangle.
class TriangleSink {
 public:
  virtual ~TriangleSink() = default;
  virtual void Triangle(const SpanVertex* const v[3]) = 0;
};

class PolygonDriver {
 public:
  // texture may be null (untextured).
  PolygonDriver(const PolygonClip& clip, const PolygonTexture* texture, bool vertexColors);

  void DrawStrip(const PolygonVertex* vertices, int count, TriangleSink& sink) const;

 private:
  void DrawTriangle(const PolygonVertex* const triangle[4], TriangleSink& sink) const;
  bool ToSpanVertex(const PolygonVertex& in, SpanVertex& out) const;

  ClipBounds bounds_;
  float texWidth_ = 0;
  float texHeight_ = 0;
  bool textured_;
  bool vertexColors_;
};

// Draws a strip into 32-bit (format words 0x8888, 0x888) or 16-bit (0x565, 0x555) pixels
// through the table's fillers. The hidden rows are left as they are; the geometry stays the same.
void DrawPolygon(const PolygonVertex* vertices, int count, const PolygonTexture* texture, const SpanColor& color,
                 const PolygonClip& clip, uint8_t* destBits, int32_t destPitch, int32_t formatWord, bool bilinear,
                 bool vertexColors, const SpanFillerTable& table, const RowBand& hidden = {});

}  // namespace Velk
