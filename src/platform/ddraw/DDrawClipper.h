#pragma once
// A clipper bound to a window. Blits to a surface that has one are cut to the surface instead of
// failing, since the window's client area is the whole primary here.

#include "platform/ddraw/DDraw.h"

#include <atomic>

namespace Velk {

class DDrawObject;

class DDrawClipper final : public IDirectDrawClipper {
 public:
  explicit DDrawClipper(DDrawObject* owner);
  DDrawClipper(const DDrawClipper&) = delete;
  DDrawClipper& operator=(const DDrawClipper&) = delete;

  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT SetHWnd(DWORD flags, HWND hwnd) override;

  HWND Window() const { return window_; }

 private:
  ~DDrawClipper();

  std::atomic<ULONG> refs_{1};
  DDrawObject* owner_;
  HWND window_ = nullptr;
};

}  // namespace Velk
