#pragma once
// The DirectDraw object of the stand-in, answering to the first and the seventh interface with one
// reference count. Surfaces, clippers and palettes keep it alive. It holds the cooperative level,
// the display mode, the video-memory account and the presenter that shows its primary surface.

#include "platform/ddraw/DDraw.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace Velk {

class DDrawSurface;
class DDrawPresenter;

class DDrawObject final : public IDirectDraw, public IDirectDraw7 {
 public:
  DDrawObject();
  DDrawObject(const DDrawObject&) = delete;
  DDrawObject& operator=(const DDrawObject&) = delete;

  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) override;
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp) override;
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refresh, DWORD flags) override;
  HRESULT RestoreDisplayMode() override;
  HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, IUnknown* outer) override;
  HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, IUnknown* outer) override;
  HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** out, IUnknown* outer) override;
  HRESULT CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** out, IUnknown* outer) override;
  HRESULT FlipToGDISurface() override;
  HRESULT GetMonitorFrequency(DWORD* hz) override;
  HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) override;
  HRESULT GetScanLine(DWORD* line) override;
  HRESULT GetAvailableVidMem(DDSCAPS2* caps, DWORD* total, DWORD* free) override;
  HRESULT GetDeviceIdentifier(DDDEVICEIDENTIFIER2* id, DWORD flags) override;

  // The pixel format of display surfaces: the mode's depth, or the desktop's.
  DDPIXELFORMAT DisplayFormat() const;
  bool FlippedToGdi() const { return flippedToGdi_; }
  // Called by surfaces.
  bool ReserveVideoMemory(size_t bytes);
  void ReturnVideoMemory(size_t bytes);
  void PrimaryGone();
  void ShowPrimary(const DDrawSurface& primary);
  // Where a windowed primary's corner is on the screen: the window's client origin, which callers
  // add to their rectangles; (0, 0) in exclusive mode.
  POINT WindowedOrigin();

 private:
  ~DDrawObject();
  HRESULT MakeSurface(DDSURFACEDESC2& desc, DDrawSurface** out);

  std::atomic<ULONG> refs_{1};
  std::mutex mutex_;
  HWND window_ = nullptr;
  DWORD level_ = 0;
  int modeWidth_ = 0;
  int modeHeight_ = 0;
  int modeBits_ = 0;
  bool hasPrimary_ = false;
  bool flippedToGdi_ = false;
  size_t videoMemoryUsed_ = 0;
  std::thread::id mainThread_;
  std::unique_ptr<DDrawPresenter> presenter_;
};

}  // namespace Velk
