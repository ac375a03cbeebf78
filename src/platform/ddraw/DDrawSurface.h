#pragma once
// A DirectDraw surface of the stand-in: a heap buffer in one pixel format with a padded row pitch,
// strict whole-surface locking, colour-keyed and stretching Blt, flipping and an attached clipper.
// One object answers to both surface interfaces, so QueryInterface keeps COM identity.

#include "platform/ddraw/DDraw.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace Velk {

class DDrawObject;
class DDrawClipper;
class DDrawPalette;

class DDrawSurface final : public IDirectDrawSurface, public IDirectDrawSurface7 {
 public:
  DDrawSurface(DDrawObject* owner, int width, int height, const DDPIXELFORMAT& format, DWORD caps, DWORD caps2);
  DDrawSurface(const DDrawSurface&) = delete;
  DDrawSurface& operator=(const DDrawSurface&) = delete;

  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) override;
  HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) override;
  HRESULT Unlock(void* rect) override;
  HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) override;
  HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) override;
  HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) override;
  HRESULT Blt(RECT* dst, IDirectDrawSurface* src, RECT* srcRect, DWORD flags, DDBLTFX* fx) override;
  HRESULT Blt(RECT* dst, IDirectDrawSurface7* src, RECT* srcRect, DWORD flags, DDBLTFX* fx) override;
  HRESULT Flip(IDirectDrawSurface* target, DWORD flags) override;
  HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** out) override;
  HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) override;
  HRESULT SetClipper(IDirectDrawClipper* clipper) override;
  HRESULT SetPalette(IDirectDrawPalette* palette) override;

  static DDrawSurface* From(IDirectDrawSurface* surface);
  static DDrawSurface* From(IDirectDrawSurface7* surface);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Pitch() const { return pitch_; }
  int BytesPerPixel() const { return bytesPerPixel_; }
  const DDPIXELFORMAT& Format() const { return format_; }
  DWORD Caps() const { return caps_; }
  bool IsLocked() const { return locked_; }
  // The surface's pixel memory; readers outside a lock must hold Mutex().
  const uint8_t* Pixels() const { return pixels_.data(); }
  // For the 3-D device, which draws into a render target under Mutex().
  uint8_t* MutablePixels() { return pixels_.data(); }
  IDirectDrawPalette* Palette() const { return palette_; }
  std::mutex& Mutex() const { return mutex_; }
  size_t ByteSize() const { return pixels_.size(); }
  // The primary keeps one reference to its back buffer.
  void AttachBackBuffer(DDrawSurface* back);

 private:
  ~DDrawSurface();
  template <typename Desc>
  void Describe(Desc& desc, bool withPointer) const;
  template <typename Desc>
  HRESULT LockInto(RECT* rect, Desc* desc);
  HRESULT BltFrom(RECT* dst, DDrawSurface* src, RECT* srcRect, DWORD flags);
  bool ClipToSurface(RECT& dst, RECT& src) const;
  void Copy(const RECT& dst, const DDrawSurface& src, const RECT& srcRect, bool keyed, DWORD keyLow, DWORD keyHigh);
  void ShowIfPrimary();

  std::atomic<ULONG> refs_{1};
  DDrawObject* owner_;
  int width_;
  int height_;
  int bytesPerPixel_;
  int pitch_;
  DDPIXELFORMAT format_;
  DWORD caps_;
  DWORD caps2_;
  std::vector<uint8_t> pixels_;
  bool locked_ = false;
  bool hasKey_ = false;
  DDCOLORKEY key_;
  DDrawSurface* backBuffer_ = nullptr;
  IDirectDrawClipper* clipper_ = nullptr;
  IDirectDrawPalette* palette_ = nullptr;
  mutable std::mutex mutex_;
};

}  // namespace Velk
