// The renderer's drawing operations: untextured fills, lines and polygons, and images as textured
// quads and triangles over the pieces of their texture sets.
#include <algorithm>
#include <cmath>

#include "common/Matrix3x3.h"
#include "graphics/D3DInterface.h"
#include "graphics/ImageTextureSet.h"
#include "graphics/MemoryImage.h"

namespace Velk {

namespace {

constexpr int kTrianglesPerBatch = 100;

DWORD Pack(const Color& c) {
  return static_cast<DWORD>(c.mAlpha) << 24 | static_cast<DWORD>(c.mRed) << 16 | static_cast<DWORD>(c.mGreen) << 8 |
         static_cast<DWORD>(c.mBlue);
}

D3DTLVERTEX Vertex(float x, float y, DWORD color, float u = 0, float v = 0) {
  return D3DTLVERTEX{x, y, 0.0f, 1.0f, color, 0, u, v};
}

float Coordinate(const D3DTLVERTEX& v, int axis) {
  switch (axis) {
    case 0:
      return v.sx;
    case 1:
      return v.sy;
    case 2:
      return v.tu;
    default:
      return v.tv;
  }
}

D3DTLVERTEX Interpolate(const D3DTLVERTEX& p, const D3DTLVERTEX& c, float t) {
  D3DTLVERTEX out = p;
  out.sx = p.sx + (c.sx - p.sx) * t;
  out.sy = p.sy + (c.sy - p.sy) * t;
  out.tu = p.tu + (c.tu - p.tu) * t;
  out.tv = p.tv + (c.tv - p.tv) * t;
  if (p.color != c.color) {
    out.color = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const float from = static_cast<float>((p.color >> shift) & 0xFF);
      const float to = static_cast<float>((c.color >> shift) & 0xFF);
      out.color |= static_cast<DWORD>(static_cast<int>(from + (to - from) * t) & 0xFF) << shift;
    }
  }
  return out;
}

// One Sutherland-Hodgman pass: keeps the side of `limit` that `keepAbove` names along one axis.
void ClipPass(std::vector<D3DTLVERTEX>& polygon, int axis, float limit, bool keepAbove) {
  if (polygon.empty()) return;
  std::vector<D3DTLVERTEX> out;
  auto inside = [&](const D3DTLVERTEX& v) {
    return keepAbove ? Coordinate(v, axis) >= limit : Coordinate(v, axis) <= limit;
  };
  const D3DTLVERTEX* p = &polygon.back();
  for (const D3DTLVERTEX& c : polygon) {
    const bool pIn = inside(*p);
    const bool cIn = inside(c);
    if (pIn != cIn) {
      const float t = (limit - Coordinate(*p, axis)) / (Coordinate(c, axis) - Coordinate(*p, axis));
      out.push_back(Interpolate(*p, c, t));
    }
    if (cIn) out.push_back(c);
    p = &c;
  }
  polygon.swap(out);
}

}  // namespace

void D3DInterface::Draw(D3DPRIMITIVETYPE type, VertexList& vertices, const char* call) {
  CheckError(mD3DDevice->DrawPrimitive(type, D3DFVF_TLVERTEX, vertices.data(), static_cast<DWORD>(vertices.size()),
                                       D3DDP_WAIT),
             call);
}

void D3DInterface::ClipAndDraw(VertexList& polygon, const Rect& clip, const char* call) {
  ClipPass(polygon, 0, static_cast<float>(clip.mX), true);
  ClipPass(polygon, 1, static_cast<float>(clip.mY), true);
  ClipPass(polygon, 0, static_cast<float>(clip.mX + clip.mWidth), false);
  ClipPass(polygon, 1, static_cast<float>(clip.mY + clip.mHeight), false);
  if (polygon.size() > 2) Draw(D3DPT_TRIANGLEFAN, polygon, call);
}

void D3DInterface::FillRect(const Rect& rect, const Color& color, int drawMode) {
  if (!BeginDraw()) return;
  SetDrawMode(drawMode);
  CheckError(mD3DDevice->SetTexture(0, nullptr), "SetTexture NULL");
  const DWORD c = Pack(color);
  const float l = static_cast<float>(rect.mX) - 0.5f, t = static_cast<float>(rect.mY) - 0.5f;
  const float r = l + static_cast<float>(rect.mWidth), b = t + static_cast<float>(rect.mHeight);
  VertexList v{Vertex(l, t, c), Vertex(r, t, c), Vertex(l, b, c), Vertex(r, b, c)};
  Draw(D3DPT_TRIANGLESTRIP, v, "DrawPrimitive (Rect)");
}

void D3DInterface::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
  if (!BeginDraw()) return;
  SetDrawMode(drawMode);
  CheckError(mD3DDevice->SetTexture(0, nullptr), "SetTexture NULL");
  const DWORD c = Pack(color);
  const float ex = static_cast<float>(x2), ey = static_cast<float>(y2);
  // The extra half-pixel segment lights the end pixel, which a line strip leaves out.
  VertexList v{Vertex(static_cast<float>(x1), static_cast<float>(y1), c), Vertex(ex, ey, c),
               Vertex(ex + 0.5f, ey + 0.5f, c)};
  Draw(D3DPT_LINESTRIP, v, "DrawPrimitive (Line)");
}

void D3DInterface::FillPolygon(const POINT* points, int count, const Rect& clip, const Color& color, int drawMode,
                               int offsetX, int offsetY) {
  if (count < 3 || !BeginDraw()) return;
  SetDrawMode(drawMode);
  CheckError(mD3DDevice->SetTexture(0, nullptr), "SetTexture NULL");
  const DWORD c = Pack(color);
  VertexList v;
  for (int i = 0; i < count; ++i)
    v.push_back(Vertex(static_cast<float>(points[i].x + offsetX), static_cast<float>(points[i].y + offsetY), c));
  ClipAndDraw(v, clip, "DrawPrimitive (Tri) 2");
}

MemoryImage* D3DInterface::PrepareSource(Image* src, const Color&, int drawMode, bool linear) {
  auto* image = dynamic_cast<MemoryImage*>(src);
  if (!image || !BeginDraw() || !PrepareImage(image)) return nullptr;
  SetDrawMode(drawMode);
  SetLinearFilter(linear);
  return image;
}

void D3DInterface::Blit(Image* src, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                        bool linear) {
  MemoryImage* image = PrepareSource(src, color, drawMode, linear);
  if (!image) return;
  ImageTextureSet* set = image->mTextureData;
  const DWORD c = Pack(color);
  const int right = srcRect.mX + srcRect.mWidth;
  const int bottom = srcRect.mY + srcRect.mHeight;
  float dy = y - 0.5f;
  for (int sy = srcRect.mY; sy < bottom;) {
    int bandHeight = bottom - sy;
    float dx = x - 0.5f;
    for (int sx = srcRect.mX; sx < right;) {
      int w = right - sx;
      int h = bottom - sy;
      float u0, v0, u1, v1;
      IDirectDrawSurface7* texture = set->GetPiece(sx, sy, w, h, u0, v0, u1, v1);
      if (!texture || w <= 0 || h <= 0) return;
      bandHeight = h;
      const float r = dx + static_cast<float>(w), b = dy + static_cast<float>(h);
      VertexList v{Vertex(dx, dy, c, u0, v0), Vertex(r, dy, c, u1, v0), Vertex(dx, b, c, u0, v1),
                   Vertex(r, b, c, u1, v1)};
      CheckError(mD3DDevice->SetTexture(0, texture), "SetTexture gTexture");
      Draw(D3DPT_TRIANGLESTRIP, v, "DrawPrimitive (Tri) 1");
      sx += w;
      dx = r;
    }
    sy += bandHeight;
    dy += static_cast<float>(bandHeight);
  }
}

void D3DInterface::BlitTransformed(Image* src, const Matrix3x3& matrix, const Rect& srcRect, const Color& color,
                                   int drawMode, const Rect* clip, float x, float y, bool linear, bool centred) {
  MemoryImage* image = PrepareSource(src, color, drawMode, linear);
  if (!image) return;
  ImageTextureSet* set = image->mTextureData;
  const DWORD c = Pack(color);
  const float originX = centred ? static_cast<float>(srcRect.mWidth) / 2 : 0.0f;
  const float originY = centred ? static_cast<float>(srcRect.mHeight) / 2 : 0.0f;
  const float shift = centred ? 0.0f : 0.5f;
  const int right = srcRect.mX + srcRect.mWidth;
  const int bottom = srcRect.mY + srcRect.mHeight;
  auto corner = [&](int sx, int sy, float u, float v) {
    const Vector2 p = matrix.TransformPoint(static_cast<float>(sx - srcRect.mX) - originX,
                                            static_cast<float>(sy - srcRect.mY) - originY);
    return Vertex(p.x + x - shift, p.y + y - shift, c, u, v);
  };
  auto inClip = [&](const D3DTLVERTEX& v) {
    return v.sx >= static_cast<float>(clip->mX) && v.sx < static_cast<float>(clip->mX + clip->mWidth) &&
           v.sy >= static_cast<float>(clip->mY) && v.sy < static_cast<float>(clip->mY + clip->mHeight);
  };
  for (int sy = srcRect.mY; sy < bottom;) {
    int bandHeight = bottom - sy;
    for (int sx = srcRect.mX; sx < right;) {
      int w = right - sx;
      int h = bottom - sy;
      float u0, v0, u1, v1;
      IDirectDrawSurface7* texture = set->GetPiece(sx, sy, w, h, u0, v0, u1, v1);
      if (!texture || w <= 0 || h <= 0) return;
      bandHeight = h;
      CheckError(mD3DDevice->SetTexture(0, texture), "SetTexture gTexture");
      const D3DTLVERTEX tl = corner(sx, sy, u0, v0), tr = corner(sx + w, sy, u1, v0);
      const D3DTLVERTEX bl = corner(sx, sy + h, u0, v1), br = corner(sx + w, sy + h, u1, v1);
      if (!clip || (inClip(tl) && inClip(tr) && inClip(bl) && inClip(br))) {
        VertexList v{tl, tr, bl, br};
        Draw(D3DPT_TRIANGLESTRIP, v, "DrawPrimitive (Tri) 3");
      } else {
        VertexList v{tl, tr, br, bl};
        ClipAndDraw(v, *clip, "DrawPrimitive (Tri) 2");
      }
      sx += w;
    }
    sy += bandHeight;
  }
}

void D3DInterface::BlitTriangles(Image* src, const TriVertex (*triangles)[3], int count, const Rect&,
                                 const Color& color, int drawMode, float x, float y, bool linear) {
  MemoryImage* image = PrepareSource(src, color, drawMode, linear);
  if (!image || count <= 0) return;
  ImageTextureSet* set = image->mTextureData;
  const DWORD drawColor = Pack(color);
  auto vertex = [&](const TriVertex& t) {
    return Vertex(t.x + x, t.y + y, t.color ? t.color : drawColor, t.u * set->mMaxTotalU, t.v * set->mMaxTotalV);
  };
  if (set->mMaxTotalU <= 1.0f && set->mMaxTotalV <= 1.0f) {
    CheckError(mD3DDevice->SetTexture(0, set->mTextures[0].mTexture), "SetTexture gTexture");
    for (int first = 0; first < count; first += kTrianglesPerBatch) {
      VertexList v;
      for (int i = first; i < std::min(count, first + kTrianglesPerBatch); ++i)
        for (const TriVertex& corner : triangles[i]) v.push_back(vertex(corner));
      Draw(D3DPT_TRIANGLELIST, v, "DrawPrimitive (TriList)");
    }
    return;
  }
  for (int i = 0; i < count; ++i) {
    const D3DTLVERTEX triangle[3] = {vertex(triangles[i][0]), vertex(triangles[i][1]), vertex(triangles[i][2])};
    DrawTriangleOverPieces(set, triangle);
  }
}

void D3DInterface::DrawTriangleOverPieces(ImageTextureSet* set, const D3DTLVERTEX (&triangle)[3]) {
  auto range = [](float a, float b, float c, int pieces, int& first, int& last) {
    first = std::clamp(static_cast<int>(std::floor(std::min({a, b, c}))), 0, pieces - 1);
    last = std::clamp(static_cast<int>(std::ceil(std::max({a, b, c}))), first + 1, pieces);
  };
  int col0, col1, row0, row1;
  range(triangle[0].tu, triangle[1].tu, triangle[2].tu, set->mTexPiecesX, col0, col1);
  range(triangle[0].tv, triangle[1].tv, triangle[2].tv, set->mTexPiecesY, row0, row1);
  for (int row = row0; row < row1; ++row) {
    for (int col = col0; col < col1; ++col) {
      const ImageTextureSet::Piece& piece = set->mTextures[static_cast<size_t>(row * set->mTexPiecesX + col)];
      // A narrower last piece holds its texels at the start of its texture.
      const float su = static_cast<float>(set->mTexPieceWidth) / static_cast<float>(piece.mWidth);
      const float sv = static_cast<float>(set->mTexPieceHeight) / static_cast<float>(piece.mHeight);
      const float scaleU = col == set->mTexPiecesX - 1 ? su : 1.0f;
      const float scaleV = row == set->mTexPiecesY - 1 ? sv : 1.0f;
      VertexList v(std::begin(triangle), std::end(triangle));
      for (D3DTLVERTEX& corner : v) {
        corner.tu = (corner.tu - static_cast<float>(col)) * scaleU;
        corner.tv = (corner.tv - static_cast<float>(row)) * scaleV;
      }
      ClipPass(v, 2, 0.0f, true);
      ClipPass(v, 3, 0.0f, true);
      ClipPass(v, 2, 1.0f, false);
      ClipPass(v, 3, 1.0f, false);
      if (v.size() < 3) continue;
      CheckError(mD3DDevice->SetTexture(0, piece.mTexture), "SetTexture gTexture");
      Draw(D3DPT_TRIANGLEFAN, v, "DrawPrimitive (Tri) 4");
    }
  }
}

}  // namespace Velk
