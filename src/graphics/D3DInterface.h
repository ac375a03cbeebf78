#pragma once
// The Direct3D renderer: while the display's 3-D switch is on, it draws into the display's draw
// surface. Solid primitives go untextured, images as textured quads and triangles over the pieces of
// their texture sets. All drawing of a frame happens inside one scene, which the display's Present
// ends. A failed call does not stop the frame: its text stays in the error text and the display's next
// Present falls back to the software road.
#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/CriticalSection.h"
#include "graphics/DisplayRenderer.h"
#include "platform/d3d/D3D.h"

namespace Velk {

class DDInterface;
class ImageTextureSet;

class D3DInterface : public DisplayRenderer {
 public:
  // Shared with the texture sets; set at construction and at device set-up.
  static int sMinTextureWidth;
  static int sMinTextureHeight;
  static int sMaxTextureWidth;
  static int sMaxTextureHeight;
  static int sMaxTextureAspectRatio;
  static DWORD sSupportedTextureFormats;  // bit 1 A8R8G8B8, 2 A4R4G4B4, 4 R5G6B5, 8 palettized
  static bool sLinearFilter;
  // Set when the draw surface could not be made the render target; read at shutdown.
  static std::atomic<bool> sRenderTargetFailed;

  HWND mHWnd = nullptr;
  int mWidth = 800;
  int mHeight = 600;
  IDirectDraw7* mDD = nullptr;
  IDirectDrawSurface7* mDrawSurface = nullptr;
  IDirect3D7* mD3D = nullptr;
  IDirect3DDevice7* mD3DDevice = nullptr;
  D3DVIEWPORT7 mD3DViewport;
  bool mSceneBegun = false;
  bool mIsWindowed = true;
  std::set<MemoryImage*> mImageSet;
  std::string mErrorText;

  // Wired by the application: its minimised state, and its registry write (value path, text).
  std::function<bool()> mIsMinimized;
  std::function<void(const std::string&, const std::string&)> mWriteRegistryString;

  D3DInterface();
  ~D3DInterface() override;
  D3DInterface(const D3DInterface&) = delete;
  D3DInterface& operator=(const D3DInterface&) = delete;

  bool Init(DDInterface* display) override;
  void ReleaseAll() override;
  std::string GetErrorText() override;
  void EndSceneIfBegun() override;
  void ForgetImage(MemoryImage* image) override;
  void SetHiddenRows(int top, int bottom) override;
  bool CheckError(HRESULT result, const char* call);
  bool BeginDraw();
  void SetDrawMode(int mode);
  void SetLinearFilter(bool linear);
  bool PrepareImage(MemoryImage* image);
  // The image's pixels from its textures into bits (width x height words).
  bool ReadBackImage(MemoryImage* image, uint32_t* bits);
  // Whether the image's textures are up to date and give its pixels back exactly.
  bool TexturesHoldPixels(const MemoryImage* image) const;

  void FillRect(const Rect& rect, const Color& color, int drawMode) override;
  void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
  void FillPolygon(const POINT* points, int count, const Rect& clip, const Color& color, int drawMode, int offsetX,
                   int offsetY) override;
  void Blit(Image* src, float x, float y, const Rect& srcRect, const Color& color, int drawMode, bool linear) override;
  void BlitTransformed(Image* src, const Matrix3x3& matrix, const Rect& srcRect, const Color& color, int drawMode,
                       const Rect* clip, float x, float y, bool linear, bool centred) override;
  void BlitTriangles(Image* src, const TriVertex (*triangles)[3], int count, const Rect& clip, const Color& color,
                     int drawMode, float x, float y, bool linear) override;

 private:
  using VertexList = std::vector<D3DTLVERTEX>;

  bool SetUpDevice();
  void ReadCaps(const D3DDEVICEDESC7& desc);
  CriticalSection& Lock();
  MemoryImage* PrepareSource(Image* src, const Color& color, int drawMode, bool linear);
  void Draw(D3DPRIMITIVETYPE type, VertexList& vertices, const char* call);
  void ClipAndDraw(VertexList& polygon, const Rect& clip, const char* call);
  void DrawTriangleOverPieces(ImageTextureSet* set, const D3DTLVERTEX (&triangle)[3]);

  DDInterface* mDisplay = nullptr;
  CriticalSection mOwnCritSect;  // until a display is known
};

}  // namespace Velk
