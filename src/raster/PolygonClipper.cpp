#include "raster/PolygonClipper.h"

#include "raster/FixedPoint.h"

namespace Velk {

namespace {

enum class Edge { Left, Right, Top, Bottom };

// A coordinate that compares neither below nor above (NaN) counts as inside; the driver drops
// non-finite triangles before they get here.
bool Inside(const PolygonVertex& v, Edge edge, float bound) {
  switch (edge) {
    case Edge::Left:
      return !(v.x < bound);
    case Edge::Right:
      return !(v.x > bound);
    case Edge::Top:
      return !(v.y < bound);
    case Edge::Bottom:
      return !(v.y > bound);
  }
  return true;
}

float Lerp(float o, float i, float t) { return o + (i - o) * t; }

// Colour bytes between the two ends, each truncated toward zero.
uint32_t LerpColour(uint32_t o, uint32_t i, float t) {
  uint32_t out = 0;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const int32_t oc = int32_t((o >> shift) & 0xFF);
    const int32_t ic = int32_t((i >> shift) & 0xFF);
    const uint32_t c = uint32_t(Trunc32(float(oc) + float(ic - oc) * t)) & 0xFF;
    out |= c << shift;
  }
  return out;
}

void Interpolate(const PolygonVertex& o, const PolygonVertex& i, float t, PolygonVertex& r) {
  r.x = Lerp(o.x, i.x, t);
  r.y = Lerp(o.y, i.y, t);
  r.u = Lerp(o.u, i.u, t);
  r.v = Lerp(o.v, i.v, t);
  r.colour = LerpColour(o.colour, i.colour, t);
}

void Intersect(const PolygonVertex& o, const PolygonVertex& i, Edge edge, float bound, PolygonVertex& r) {
  if (edge == Edge::Left || edge == Edge::Right)
    ClipIntersectX(o, i, bound, r);
  else
    ClipIntersectY(o, i, bound, r);
}

int ClipPass(ClipList& out, const ClipList& in, Edge edge, float bound, ClipVertexPool& pool) {
  int n = 0;
  for (int k = 0; in[k]; ++k) {
    const PolygonVertex& cur = *in[k];
    const PolygonVertex& next = in[k + 1] ? *in[k + 1] : *in[0];
    const bool curIn = Inside(cur, edge, bound);
    const bool nextIn = Inside(next, edge, bound);
    if (curIn) out[n++] = &cur;
    if (curIn != nextIn) {
      // Always step from the outside vertex, so a shared edge is cut at the same point
      // by both triangles that use it.
      PolygonVertex* r = pool.Take();
      if (curIn)
        Intersect(next, cur, edge, bound, *r);
      else
        Intersect(cur, next, edge, bound, *r);
      out[n++] = r;
    }
  }
  out[n] = nullptr;
  return n;
}

}  // namespace

void ClipIntersectX(const PolygonVertex& o, const PolygonVertex& i, float bound, PolygonVertex& result) {
  const float t = (bound - o.x) / (i.x - o.x);
  Interpolate(o, i, t, result);
}

void ClipIntersectY(const PolygonVertex& o, const PolygonVertex& i, float bound, PolygonVertex& result) {
  const float t = (bound - o.y) / (i.y - o.y);
  Interpolate(o, i, t, result);
}

int ClipPolygonLeft(ClipList& out, const ClipList& in, float bound, ClipVertexPool& pool) {
  return ClipPass(out, in, Edge::Left, bound, pool);
}

int ClipPolygonRight(ClipList& out, const ClipList& in, float bound, ClipVertexPool& pool) {
  return ClipPass(out, in, Edge::Right, bound, pool);
}

int ClipPolygonTop(ClipList& out, const ClipList& in, float bound, ClipVertexPool& pool) {
  return ClipPass(out, in, Edge::Top, bound, pool);
}

int ClipPolygonBottom(ClipList& out, const ClipList& in, float bound, ClipVertexPool& pool) {
  return ClipPass(out, in, Edge::Bottom, bound, pool);
}

int ClipTriangleToRect(const PolygonVertex* const triangle[4], ClipList& out, const ClipBounds& bounds,
                       ClipVertexPool& pool) {
  pool.used = 0;
  ClipList in = {triangle[0], triangle[1], triangle[2], nullptr};
  ClipList mid;
  if (ClipPolygonLeft(mid, in, bounds.left, pool) < 3) return 0;
  if (ClipPolygonRight(out, mid, bounds.right, pool) < 3) return 0;
  if (ClipPolygonTop(mid, out, bounds.top, pool) < 3) return 0;
  return ClipPolygonBottom(out, mid, bounds.bottom, pool);
}

}  // namespace Velk
