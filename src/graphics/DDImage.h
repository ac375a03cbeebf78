#pragma once
// A memory image that can also hold its pixels in a DirectDraw surface of the display's format
// (16 or 32 bits). The pixels live in the ARGB bits, in the surface, or in both, and move between
// them on demand. Every drawing operation picks one of four roads per call: the renderer when this
// is the display's 3-D draw surface, a DirectDraw Blt for opaque copies between surfaces, the own
// loops on the locked surface, or the memory image's software operation on the bits.
#include <cstdint>
#include <vector>

#include "graphics/MemoryImage.h"
#include "platform/ddraw/DDraw.h"

namespace Velk {

class DDInterface;
class DisplayRenderer;
struct SurfaceView;
enum class SurfaceBlitOp : uint8_t;

class DDImage : public MemoryImage {
 public:
  DDInterface* mDDInterface;
  IDirectDrawSurface* mSurface = nullptr;
  bool mSurfaceSet = false;  // handed in from outside: never dropped or rebuilt here
  bool mNoLock = false;      // never read the surface back (the video-memory screen image)
  bool mVideoMemory = false;
  bool mWantDDSurface = false;
  int mLockCount = 0;
  DDSURFACEDESC mLockedSurfaceDesc;

  explicit DDImage(DDInterface* display);
  ~DDImage() override;
  DDImage(const DDImage&) = delete;
  DDImage& operator=(const DDImage&) = delete;

  bool FillPolygon(const POINT* points, int count, const Rect& clip, const Color& color, int drawMode, int offsetX,
                   int offsetY, bool convex) override;
  void FillRect(const Rect& rect, const Color& color, int drawMode) override;
  void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
  void DrawLineSmooth(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
  void FillSpansCoverage(const Span* spans, int count, const Color& color, int drawMode, const unsigned char* coverage,
                         int originX, int originY, int stride, bool unused) override;
  void Blit(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
  void BlitF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
             int drawMode) override;
  void BlitRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                   int drawMode, double angle, float centerX, float centerY) override;
  void BlitStretched(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                     int drawMode, bool fast) override;
  void BlitTransformed(Image* src, float x, float y, const Matrix3x3& matrix, const Rect& clip, const Color& color,
                       int drawMode, const Rect& srcRect, bool blend) override;
  void BlitTriangles(Image* src, const TriVertex (*triangles)[3], int count, const Rect& clip, const Color& color,
                     int drawMode, float x, float y, bool blend) override;
  void BlitMirrored(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
  void SetHiddenRows(int top, int bottom) override;
  void BlitStretchedMirrored(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                             const Color& color, int drawMode, bool fast) override;

  void DropBits() override;
  void FreeAllCaches() override;
  void Restore() override;
  void OnBitsChanged() override;
  void ScanAlpha() override;
  void FreeDisplayFormatData() override;
  void CreateBlank(int width, int height) override;
  // Null when the only copy is a surface that must not or cannot be read back.
  uint32_t* GetArgbBits() override;
  // A copy of what the surface holds, alpha 255, for a picture of a finished frame: unlike
  // GetArgbBits it reads the 3D draw surface too, and it leaves the image's own bits alone. False
  // when there is no surface or it cannot be read.
  bool ReadFrame(std::vector<uint32_t>& argb);
  bool ReduceToPalette() override;

  void SetInVideoMemory(bool inVideoMemory);
  bool ApplyColorKey();
  void SurfaceFillRect(const Rect& rect, const Color& color);
  void SurfaceFillRectAdditive(const Rect& rect, const Color& color);
  void SurfaceBlit(Image* src, int x, int y, const Rect& srcRect, const Color& color);
  void SurfaceBlitAdditive(Image* src, int x, int y, const Rect& srcRect, const Color& color);
  void SurfaceLine(double x1, double y1, double x2, double y2, const Color& color);
  void SurfaceLineAdditive(double x1, double y1, double x2, double y2, const Color& color);
  void SurfaceLineSmooth(double x1, double y1, double x2, double y2, const Color& color);
  void SurfaceLineSmoothAdditive(double x1, double y1, double x2, double y2, const Color& color);
  void SurfaceBlitMirrored(Image* src, int x, int y, const Rect& srcRect, const Color& color);
  void SurfaceBlitMirroredAdditive(Image* src, int x, int y, const Rect& srcRect, const Color& color);
  bool LockSurface();
  bool UnlockSurface();
  HRESULT AdoptSurface(IDirectDrawSurface* surface);

  bool Is3DDrawSurface() const;
  static bool ImageIs3DDrawSurface(Image* image);
  IDirectDrawSurface* GetSurface();
  bool GenerateSurface();
  void ReleaseSurface();
  void FreeNonSurfaceData();
  // The display is going away: the surface is let go and the image stands alone.
  void DetachFromDisplay();

 private:
  // The four roads a drawing call can take: the display's renderer, a DirectDraw Blt, the own loops
  // on the locked surface, or the memory image's operation on the bits.
  enum class Road : uint8_t { Renderer, Blt, Loops, Bits };
  // When an operation's own loops may draw: never, while the image is plain and the 3-D mode is off,
  // the same or on a cursor area, or always.
  enum class LoopsWhen : uint8_t { Never, Plain, PlainOrCursor, Always };
  enum class BltWhere : uint8_t { OnDrawSurface, OffDrawSurface, Anywhere };
  struct RoadCase {
    LoopsWhen loops;
    DDImage* bltFrom = nullptr;  // the source, when the call is a copy a Blt can make
    BltWhere bltWhere = BltWhere::Anywhere;
    Road withoutSurface = Road::Bits;  // the road of such a copy when this image cannot hold a surface
  };

  bool IsPlain() const { return !mHasTrans && !mHasAlpha; }
  // The one road choice of every drawing operation. A source's surface is asked for only off the 3-D
  // draw surface and only where the loops may draw, as late as the copy needs it.
  Road ChooseRoad(const RoadCase& road);
  bool LoopsMayDraw(LoopsWhen when);
  // A line the renderer or the bits draw (true), or one for the surface loops (false).
  bool LineOffTheLoops(double x1, double y1, double x2, double y2, const Color& color, int drawMode);
  void StretchedBlit(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                     int drawMode, bool fast, bool mirrored);
  bool Is3DOn() const;
  DisplayRenderer* Renderer() const;
  // GetSurface and LockSurface together, for the loops; false when there is nothing to draw on.
  bool BeginSurfaceDraw(bool honourNoReadback);
  SurfaceView View() const;
  // The locked rows as 0xAARRGGBB; pixels of `key` come back clear when `keyed`.
  void ConvertRows(const SurfaceView& view, bool keyed, uint32_t key, uint32_t* out) const;
  int SurfaceFormatWord();
  void WriteSurface16(const SurfaceView& view, bool keyed);
  void WriteSurface32(const SurfaceView& view);
  void DirectDrawCopy(DDImage* src, RECT dst, RECT srcRect);
  void LineLoop(double x1, double y1, double x2, double y2, const Color& color, bool additive);
  // The surface blit loops: clip, lock, the source's display-format pixels and runs as the operation
  // needs them, and the loop the surface blit table picks.
  void BlitLoops(SurfaceBlitOp op, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color,
                 bool mirrored);
  void StretchLoops(MemoryImage* src, const Rect& dest, const DRect& srcArea, const Color& color, int drawMode,
                    bool mirrored);
  void RotateLoops(MemoryImage* src, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                   double angle, float centerX, float centerY, const DRect& bounds);
};

}  // namespace Velk
