#include "platform/ddraw/DDrawSurface.h"

#include "platform/ddraw/DDrawClipper.h"
#include "platform/ddraw/DDrawObject.h"
#include "platform/ddraw/DDrawSettings.h"

#include <algorithm>
#include <cstring>

namespace Velk {

namespace {

bool Inside(const RECT& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.left < r.right && r.top < r.bottom;
}

DWORD ReadPixel(const uint8_t* p, int bytes) {
  DWORD v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<DWORD>(p[i]) << (8 * i);
  return v;
}

}  // namespace

DDrawSurface::DDrawSurface(DDrawObject* owner, int width, int height, const DDPIXELFORMAT& format, DWORD caps,
                           DWORD caps2)
    : owner_(owner),
      width_(width),
      height_(height),
      bytesPerPixel_(static_cast<int>(format.dwRGBBitCount / 8)),
      pitch_(width * bytesPerPixel_ + DDrawSettings::Get().pitchPadding),
      format_(format),
      caps_(caps),
      caps2_(caps2),
      pixels_(static_cast<size_t>(pitch_) * static_cast<size_t>(height)) {
  static_cast<IDirectDraw*>(owner_)->AddRef();
}

DDrawSurface::~DDrawSurface() {
  if (backBuffer_) backBuffer_->Release();
  if (clipper_) clipper_->Release();
  if (palette_) palette_->Release();
  if (caps_ & DDSCAPS_VIDEOMEMORY) owner_->ReturnVideoMemory(pixels_.size());
  if (caps_ & DDSCAPS_PRIMARYSURFACE) owner_->PrimaryGone();
  static_cast<IDirectDraw*>(owner_)->Release();
}

DDrawSurface* DDrawSurface::From(IDirectDrawSurface* surface) { return static_cast<DDrawSurface*>(surface); }
DDrawSurface* DDrawSurface::From(IDirectDrawSurface7* surface) { return static_cast<DDrawSurface*>(surface); }

HRESULT DDrawSurface::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (HRESULT hr = DDrawFaults::Take("QueryInterface")) return hr;
  if (iid == IID_IDirectDrawSurface) {
    *out = static_cast<IDirectDrawSurface*>(this);
  } else if (iid == IID_IDirectDrawSurface7) {
    *out = static_cast<IDirectDrawSurface7*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return DD_OK;
}

ULONG DDrawSurface::AddRef() { return ++refs_; }

ULONG DDrawSurface::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

template <typename Desc>
void DDrawSurface::Describe(Desc& desc, bool withPointer) const {
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc.dwWidth = static_cast<DWORD>(width_);
  desc.dwHeight = static_cast<DWORD>(height_);
  desc.lPitch = pitch_;
  desc.ddpfPixelFormat = format_;
  desc.ddsCaps.dwCaps = caps_;
  desc.dwBackBufferCount = backBuffer_ ? 1 : 0;
  if (hasKey_) {
    desc.dwFlags |= DDSD_CKSRCBLT;
    desc.ddckCKSrcBlt = key_;
  }
  if (withPointer) {
    desc.dwFlags |= DDSD_LPSURFACE;
    desc.lpSurface = const_cast<uint8_t*>(pixels_.data());
  }
}

template <typename Desc>
HRESULT DDrawSurface::LockInto(RECT* rect, Desc* desc) {
  if (!desc) return DDERR_INVALIDPARAMS;
  // Whole-surface locks only.
  if (rect) return DDERR_INVALIDRECT;
  if (HRESULT hr = DDrawFaults::Take("Lock")) return hr;
  std::lock_guard<std::mutex> guard(mutex_);
  if (locked_) return DDERR_SURFACEBUSY;
  locked_ = true;
  Describe(*desc, true);
  return DD_OK;
}

HRESULT DDrawSurface::Lock(RECT* rect, DDSURFACEDESC* desc, DWORD, HANDLE) { return LockInto(rect, desc); }
HRESULT DDrawSurface::Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD, HANDLE) { return LockInto(rect, desc); }

HRESULT DDrawSurface::Unlock(void*) {
  if (HRESULT hr = DDrawFaults::Take("Unlock")) return hr;
  std::lock_guard<std::mutex> guard(mutex_);
  if (!locked_) return DDERR_NOTLOCKED;
  locked_ = false;
  return DD_OK;
}

HRESULT DDrawSurface::GetSurfaceDesc(DDSURFACEDESC* desc) {
  if (!desc) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("GetSurfaceDesc")) return hr;
  Describe(*desc, false);
  return DD_OK;
}

HRESULT DDrawSurface::GetSurfaceDesc(DDSURFACEDESC2* desc) {
  if (!desc) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("GetSurfaceDesc")) return hr;
  Describe(*desc, false);
  return DD_OK;
}

HRESULT DDrawSurface::SetColorKey(DWORD flags, DDCOLORKEY* key) {
  if (flags != DDCKEY_SRCBLT) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("SetColorKey")) return hr;
  hasKey_ = key != nullptr;
  if (key) key_ = *key;
  return DD_OK;
}

HRESULT DDrawSurface::Blt(RECT* dst, IDirectDrawSurface* src, RECT* srcRect, DWORD flags, DDBLTFX*) {
  return BltFrom(dst, From(src), srcRect, flags);
}

HRESULT DDrawSurface::Blt(RECT* dst, IDirectDrawSurface7* src, RECT* srcRect, DWORD flags, DDBLTFX*) {
  return BltFrom(dst, From(src), srcRect, flags);
}

// With a clipper the destination is cut to the surface and the source cut in proportion.
bool DDrawSurface::ClipToSurface(RECT& dst, RECT& src) const {
  const double kx = static_cast<double>(src.right - src.left) / (dst.right - dst.left);
  const double ky = static_cast<double>(src.bottom - src.top) / (dst.bottom - dst.top);
  const RECT clipped{std::max<LONG>(dst.left, 0), std::max<LONG>(dst.top, 0), std::min<LONG>(dst.right, width_),
                     std::min<LONG>(dst.bottom, height_)};
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return false;
  src.left += static_cast<LONG>((clipped.left - dst.left) * kx);
  src.top += static_cast<LONG>((clipped.top - dst.top) * ky);
  src.right -= static_cast<LONG>((dst.right - clipped.right) * kx);
  src.bottom -= static_cast<LONG>((dst.bottom - clipped.bottom) * ky);
  dst = clipped;
  return src.left < src.right && src.top < src.bottom;
}

HRESULT DDrawSurface::BltFrom(RECT* dstRect, DDrawSurface* src, RECT* srcRect, DWORD flags) {
  if (!src) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("Blt")) return hr;
  RECT dst = dstRect ? *dstRect : RECT{0, 0, width_, height_};
  if ((caps_ & DDSCAPS_PRIMARYSURFACE) && dstRect) {
    // A windowed primary is the window's client area, but callers place on it in screen coordinates.
    const POINT origin = owner_->WindowedOrigin();
    dst = RECT{dst.left - origin.x, dst.top - origin.y, dst.right - origin.x, dst.bottom - origin.y};
  }
  RECT from = srcRect ? *srcRect : RECT{0, 0, src->width_, src->height_};
  if (!Inside(from, src->width_, src->height_)) return DDERR_INVALIDRECT;
  if (!Inside(dst, width_, height_)) {
    if (!clipper_ || dst.left >= dst.right || dst.top >= dst.bottom) return DDERR_INVALIDRECT;
    if (!ClipToSurface(dst, from)) return DD_OK;
  }
  if (src->format_.dwRGBBitCount != format_.dwRGBBitCount || src->format_.dwRBitMask != format_.dwRBitMask ||
      src->format_.dwGBitMask != format_.dwGBitMask)
    return DDERR_UNSUPPORTEDFORMAT;
  {
    std::unique_lock<std::mutex> mine(mutex_, std::defer_lock);
    std::unique_lock<std::mutex> theirs(src->mutex_, std::defer_lock);
    if (src == this) {
      mine.lock();
    } else {
      std::lock(mine, theirs);
    }
    if (locked_ || src->locked_) return DDERR_SURFACEBUSY;
    const bool keyed = (flags & DDBLT_KEYSRC) && src->hasKey_;
    Copy(dst, *src, from, keyed, src->key_.dwColorSpaceLowValue, src->key_.dwColorSpaceHighValue);
  }
  ShowIfPrimary();
  return DD_OK;
}

void DDrawSurface::Copy(const RECT& dst, const DDrawSurface& src, const RECT& srcRect, bool keyed, DWORD keyLow,
                        DWORD keyHigh) {
  const int w = dst.right - dst.left;
  const int h = dst.bottom - dst.top;
  if (w <= 0 || h <= 0) return;
  // A copy of the source rows keeps overlapping blits within one surface correct.
  const std::vector<uint8_t> source = &src == this ? pixels_ : std::vector<uint8_t>();
  const uint8_t* from = &src == this ? source.data() : src.pixels_.data();
  const int sw = srcRect.right - srcRect.left;
  const int sh = srcRect.bottom - srcRect.top;
  const int bpp = bytesPerPixel_;
  // Nearest source column of every destination column, the same for all rows; rows of the same width
  // without a key are copied whole.
  const bool wholeRows = sw == w && !keyed;
  std::vector<size_t> columns(wholeRows ? 0 : static_cast<size_t>(w));
  for (int x = 0; x < static_cast<int>(columns.size()); ++x)
    columns[static_cast<size_t>(x)] =
        static_cast<size_t>(srcRect.left + static_cast<int>(static_cast<int64_t>(x) * sw / w)) * bpp;
  for (int y = 0; y < h; ++y) {
    const int sy = srcRect.top + static_cast<int>(static_cast<int64_t>(y) * sh / h);
    uint8_t* out = pixels_.data() + static_cast<size_t>(dst.top + y) * pitch_ + static_cast<size_t>(dst.left) * bpp;
    const uint8_t* row = from + static_cast<size_t>(sy) * src.pitch_;
    if (wholeRows) {
      std::memcpy(out, row + static_cast<size_t>(srcRect.left) * bpp, static_cast<size_t>(w) * bpp);
      continue;
    }
    for (int x = 0; x < w; ++x, out += bpp) {
      const uint8_t* p = row + columns[static_cast<size_t>(x)];
      if (keyed) {
        const DWORD v = ReadPixel(p, bpp);
        if (v >= keyLow && v <= keyHigh) continue;
      }
      std::memcpy(out, p, static_cast<size_t>(bpp));
    }
  }
}

void DDrawSurface::ShowIfPrimary() {
  if (caps_ & DDSCAPS_PRIMARYSURFACE) owner_->ShowPrimary(*this);
}

HRESULT DDrawSurface::Flip(IDirectDrawSurface*, DWORD) {
  if (HRESULT hr = DDrawFaults::Take("Flip")) return hr;
  if (!backBuffer_) return DDERR_NOTFLIPPABLE;
  {
    std::scoped_lock guard(mutex_, backBuffer_->mutex_);
    if (locked_ || backBuffer_->locked_) return DDERR_SURFACEBUSY;
    pixels_.swap(backBuffer_->pixels_);
  }
  ShowIfPrimary();
  return DD_OK;
}

void DDrawSurface::AttachBackBuffer(DDrawSurface* back) { backBuffer_ = back; }

HRESULT DDrawSurface::GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** out) {
  if (!caps || !out) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (HRESULT hr = DDrawFaults::Take("GetAttachedSurface")) return hr;
  if (!(caps->dwCaps & DDSCAPS_BACKBUFFER) || !backBuffer_) return DDERR_NOTFOUND;
  backBuffer_->AddRef();
  *out = backBuffer_;
  return DD_OK;
}

HRESULT DDrawSurface::GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) {
  if (!caps || !out) return DDERR_INVALIDPARAMS;
  DDSCAPS v1{caps->dwCaps};
  IDirectDrawSurface* back = nullptr;
  const HRESULT hr = GetAttachedSurface(&v1, &back);
  *out = back ? static_cast<IDirectDrawSurface7*>(From(back)) : nullptr;
  return hr;
}

HRESULT DDrawSurface::SetClipper(IDirectDrawClipper* clipper) {
  if (HRESULT hr = DDrawFaults::Take("SetClipper")) return hr;
  if (clipper) clipper->AddRef();
  if (clipper_) clipper_->Release();
  clipper_ = clipper;
  return DD_OK;
}

HRESULT DDrawSurface::SetPalette(IDirectDrawPalette* palette) {
  if (HRESULT hr = DDrawFaults::Take("SetPalette")) return hr;
  if (!(format_.dwFlags & DDPF_PALETTEINDEXED8)) return DDERR_INVALIDPIXELFORMAT;
  if (palette) palette->AddRef();
  if (palette_) palette_->Release();
  palette_ = palette;
  return DD_OK;
}

}  // namespace Velk
