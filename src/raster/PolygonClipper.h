#pragma once
// Clips one triangle against an inclusive rectangle in floating point (Sutherland-Hodgman).

#include "raster/PolygonVertex.h"

namespace Velk {

constexpr int kClipListSize = 64;

// Vertex pointer list, null-terminated.
using ClipList = const PolygonVertex* [kClipListSize];

// Inclusive bounds: a vertex exactly on a bound is inside.
struct ClipBounds {
  float left;
  float right;
  float top;
  float bottom;
};

// Intersection vertices of one triangle. A triangle clipped by four bounds needs at most 8.
struct ClipVertexPool {
  PolygonVertex slots[kClipListSize];
  int used = 0;

  PolygonVertex* Take() { return &slots[used++]; }
};

// Clips the null-terminated triangle into out; returns the vertex count (0 or at least 3).
int ClipTriangleToRect(const PolygonVertex* const triangle[4], ClipList& out, const ClipBounds& bounds,
                       ClipVertexPool& pool);

int ClipPolygonLeft(ClipList& out, const ClipList& in, float bound, ClipVertexPool& pool);
int ClipPolygonRight(ClipList& out, const ClipList& in, float bound, ClipVertexPool& pool);
int ClipPolygonTop(ClipList& out, const ClipList& in, float bound, ClipVertexPool& pool);
int ClipPolygonBottom(ClipList& out, const ClipList& in, float bound, ClipVertexPool& pool);

// The point where the edge from outside vertex o to inside vertex i meets x = bound (or y = bound).
void ClipIntersectX(const PolygonVertex& o, const PolygonVertex& i, float bound, PolygonVertex& result);
void ClipIntersectY(const PolygonVertex& o, const PolygonVertex& i, float bound, PolygonVertex& result);

}  // namespace Velk
