#pragma once
// A 256-entry palette for PAL8 surfaces.

#include "platform/ddraw/DDraw.h"

#include <array>
#include <atomic>

namespace Velk {

class DDrawObject;

class DDrawPalette final : public IDirectDrawPalette {
 public:
  DDrawPalette(DDrawObject* owner, const PALETTEENTRY* entries);
  DDrawPalette(const DDrawPalette&) = delete;
  DDrawPalette& operator=(const DDrawPalette&) = delete;

  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, PALETTEENTRY* entries) override;

 private:
  ~DDrawPalette();

  std::atomic<ULONG> refs_{1};
  DDrawObject* owner_;
  std::array<PALETTEENTRY, 256> entries_;
};

}  // namespace Velk
