#include "graphics/D3DTester.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "common/DirectXErrorName.h"
#include "common/StringUtil.h"
#include "graphics/ImageTextureSet.h"
#include "platform/files/PathMap.h"
#include "platform/backend/Backend.h"
#include "platform/ddraw/DDrawSettings.h"
#include "platform/metrics/SystemMetrics.h"
#include "platform/modules/Modules.h"

namespace Velk {

bool D3DTester::sUse32BitTextures = false;

namespace {

constexpr int kTargetSize = 100;
constexpr int kTileSize = 64;
constexpr int kMatchDistance = 768;
// Where driver names without a folder are looked for.
constexpr const char* kSystemFolder = "/usr/lib";

// The desktop's depth as the display stand-in presents it.
int DesktopBits() {
  const int forced = DDrawSettings::Get().desktopBits;
  return forced ? forced : Backend::Get().Display().desktop.bitsPerPixel;
}

template <typename T>
void ReleaseAndNull(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

int Distance(uint32_t a, uint32_t b) {
  int sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

HRESULT CollectFormat(DDPIXELFORMAT* format, void* context) {
  auto* mask = static_cast<DWORD*>(context);
  for (int bit : {ImageTextureSet::kA8R8G8B8, ImageTextureSet::kA4R4G4B4, ImageTextureSet::kR5G6B5,
                  ImageTextureSet::kPalettized}) {
    const DDPIXELFORMAT f = ImageTextureSet::PixelFormatOf(bit);
    if (format->dwFlags == f.dwFlags && format->dwRGBBitCount == f.dwRGBBitCount &&
        format->dwRBitMask == f.dwRBitMask && format->dwGBitMask == f.dwGBitMask &&
        format->dwBBitMask == f.dwBBitMask && format->dwRGBAlphaBitMask == f.dwRGBAlphaBitMask)
      *mask |= static_cast<DWORD>(bit);
  }
  return D3DENUMRET_OK;
}

// Any line of the list, trimmed and not empty, that occurs in the description. Lines longer than
// the read buffer count as several.
bool ListMatches(FILE* list, const std::string& description) {
  char line[4000];
  bool found = false;
  while (!found && std::fgets(line, sizeof(line), list)) {
    const std::string entry = TrimSpace(line);
    found = !entry.empty() && FindNoCase(description.c_str(), entry.c_str()) >= 0;
  }
  return found;
}

}  // namespace

struct D3DTester::BlendTest {
  DWORD srcBlend;
  const char* srcLabel;
  DWORD destBlend;
  const char* destLabel;
  bool modulateAlpha;
  uint32_t firstFill, firstColor, secondFill, secondColor, expected;
  const char* notUniform;
  const char* failure;
};

D3DTester::~D3DTester() { Cleanup(); }

void D3DTester::SetVidMemoryLimits(DWORD minimum, DWORD recommended) {
  mMinVidMemory = minimum;
  mRecommendedVidMemory = recommended;
}

bool D3DTester::SetFailureReason(const std::string& reason) {
  mFailureReason = reason;
  return false;
}

bool D3DTester::SetWarning(const std::string& warning) {
  mWarning = warning;
  return true;
}

void D3DTester::CheckResult(HRESULT result, const char* what) {
  if (SUCCEEDED(result)) return;
  throw TestException(std::string("DXError - ") + what + ": " + DirectXErrorName(static_cast<uint32_t>(result)));
}

void D3DTester::Cleanup() {
  ReleaseAndNull(mDD);
  ReleaseAndNull(mD3D);
  ReleaseAndNull(mD3DDevice);
  ReleaseAndNull(mPrimarySurface);
  ReleaseAndNull(mTexture);
  ReleaseAndNull(mTexture2);
}

void D3DTester::Run(HWND window, IDirectDraw7* directDraw, DWORD minVideoMemory, DWORD recVideoMemory) {
  SetVidMemoryLimits(minVideoMemory, recVideoMemory);
  Run(window, directDraw);
}

void D3DTester::Run(HWND window, IDirectDraw7* directDraw) {
  if (Init(window, directDraw)) RunTests();
  Cleanup();
}

bool D3DTester::Init(HWND window, IDirectDraw7* directDraw) {
  Cleanup();
  mDriverYear = 0;
  mFailureReason.clear();
  mWarning.clear();
  try {
    InitSteps(window, directDraw);
  } catch (const TestException& e) {
    return SetFailureReason(e.mMessage);
  }
  return mFailureReason.empty();
}

void D3DTester::InitSteps(HWND window, IDirectDraw7* directDraw) {
  if (directDraw) {
    directDraw->AddRef();
    mDD = directDraw;
  } else {
    auto create =
        reinterpret_cast<DirectDrawCreateExFunc>(GetProcAddress(GetModuleHandleA("ddraw.dll"), "DirectDrawCreateEx"));
    if (!create) {
      SetFailureReason("No DirectDrawCreateEx");
      return;
    }
    CheckResult(create(nullptr, reinterpret_cast<void**>(&mDD), IID_IDirectDraw7, nullptr), "DirectDrawCreateEx");
  }
  if (!GetD3D8AdapterInfo()) {
    DDDEVICEIDENTIFIER2 id;
    CheckResult(mDD->GetDeviceIdentifier(&id, 0), "GetDeviceIdentifier");
    mDisplayGUID = id.guidDeviceIdentifier;
    mDriver = id.szDriver;
    mDescription = id.szDescription;
  }
  if (!CheckVideoMemory()) return;
  ReadDriverYear();
  if (!IsCardSupported(mDescription)) SetWarning(FormatString("Unsupported video card: %s", mDescription.c_str()));
  CreateTestObjects(window);
}

bool D3DTester::GetD3D8AdapterInfo() {
  // No Direct3D 8 stand-in exists: the card is identified through DirectDraw.
  HMODULE module = LoadLibraryA("d3d8.dll");
  if (!module) return false;
  FreeLibrary(module);
  return false;
}

bool D3DTester::CheckVideoMemory() {
  const uint64_t width = static_cast<uint64_t>(GetSystemMetrics(SM_CXSCREEN));
  const uint64_t height = static_cast<uint64_t>(GetSystemMetrics(SM_CYSCREEN));
  const uint64_t bits = static_cast<uint64_t>(DesktopBits());
  DDSCAPS2 caps;
  caps.dwCaps = DDSCAPS_VIDEOMEMORY;
  DWORD total = 0;
  DWORD free = 0;
  const HRESULT result = mDD->GetAvailableVidMem(&caps, &total, &free);
  if (FAILED(result)) {
    SetWarning(FormatString("GetAvailableVidMem failed: %s", DirectXErrorName(static_cast<uint32_t>(result)).c_str()));
    return true;
  }
  const auto megabytes = static_cast<unsigned>((bits / 8 * height * width + total) >> 20);
  if (megabytes < mMinVidMemory) return SetFailureReason("Not enough video memory.");
  if (megabytes < mRecommendedVidMemory) SetWarning("Low video memory.");
  return true;
}

void D3DTester::ReadDriverYear() {
  std::string path = mDriver;
  if (path.find_first_of("/\\") == std::string::npos) path = std::string(kSystemFolder) + "/" + path;
  std::error_code error;
  const auto written = std::filesystem::last_write_time(MapPath(path), error);
  if (error) return;
  const std::time_t seconds = std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
  std::tm utc{};
  if (gmtime_r(&seconds, &utc)) mDriverYear = utc.tm_year + 1900;
}

bool D3DTester::IsCardSupported(const std::string& description) {
  if (FILE* refused = OpenFile("vhwb.dat", "r")) {
    const bool listed = ListMatches(refused, description);
    std::fclose(refused);
    if (listed) return false;
  }
  if (FILE* accepted = OpenFile("vhw.dat", "r")) {
    const bool listed = ListMatches(accepted, description);
    std::fclose(accepted);
    return listed;
  }
  const char* d = description.c_str();
  return mDriverYear >= 2002 || FindNoCase(d, "nvidia") >= 0 || FindNoCase(d, "radeon") >= 0 ||
         FindNoCase(d, "ati ") >= 0;
}

void D3DTester::CreateTestObjects(HWND window) {
  CheckResult(mDD->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&mD3D)), "QueryInterface IID_IDirect3D7");
  CheckResult(mDD->SetCooperativeLevel(window, DDSCL_NORMAL), "SetCooperativeLevel");
  DDSURFACEDESC2 desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
  desc.dwWidth = desc.dwHeight = kTargetSize;
  CheckResult(mDD->CreateSurface(&desc, &mPrimarySurface, nullptr), "CreateSurface (Primary)");
  mTestImage.Create(kTargetSize, kTargetSize);
  CheckResult(mD3D->CreateDevice(IID_IDirect3DHALDevice, mPrimarySurface, &mD3DDevice), "CreateDevice");

  DWORD formats = 0;
  CheckResult(mD3DDevice->EnumTextureFormats(CollectFormat, &formats), "EnumTextureFormats");
  sUse32BitTextures = formats & ImageTextureSet::kA8R8G8B8;
  if (!sUse32BitTextures) {
    SetWarning("A8R8G8B8 texture format not supported.");
    if (!(formats & ImageTextureSet::kA4R4G4B4)) {
      SetFailureReason("A4R4G4B4 and A8R8G8B8 texture formats not supported.");
      return;
    }
  }
  DDSURFACEDESC2 texture;
  texture.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  texture.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
  texture.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  texture.dwWidth = texture.dwHeight = kTileSize;
  texture.ddpfPixelFormat =
      ImageTextureSet::PixelFormatOf(sUse32BitTextures ? ImageTextureSet::kA8R8G8B8 : ImageTextureSet::kA4R4G4B4);
  CheckResult(mDD->CreateSurface(&texture, &mTexture, nullptr), "CreateSurface (TextureSurface1)");
  CheckResult(mDD->CreateSurface(&texture, &mTexture2, nullptr), "CreateSurface (TextureSurfacd2)");
}

void D3DTester::DrawTile(float x, float y, int sx, int sy, int w, int h, DWORD color) {
  const D3DTestImage& image = mTestImage;
  DDSURFACEDESC2 desc;
  CheckResult(mTexture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr), "Lock Texture");
  const int bytes = sUse32BitTextures ? 4 : 2;
  auto* base = static_cast<uint8_t*>(desc.lpSurface);
  if (sx + w > image.mWidth || sy + h > image.mHeight)
    for (int row = 0; row < h; ++row) std::fill_n(base + static_cast<size_t>(row) * desc.lPitch, w * bytes, 0);
  const int cw = std::min(w, image.mWidth - sx);
  const int ch = std::min(h, image.mHeight - sy);
  for (int row = 0; row < ch; ++row) {
    uint8_t* out = base + static_cast<size_t>(row) * desc.lPitch;
    for (int col = 0; col < cw; ++col) {
      const uint32_t p = image.Pixel(sx + col, sy + row);
      if (sUse32BitTextures) {
        std::memcpy(out + static_cast<size_t>(col) * 4, &p, 4);
      } else {
        const uint16_t t = static_cast<uint16_t>(((p >> 16) & 0xF000) | ((p >> 12) & 0x0F00) | ((p >> 8) & 0x00F0) |
                                                 ((p >> 4) & 0x000F));
        std::memcpy(out + static_cast<size_t>(col) * 2, &t, 2);
      }
    }
  }
  CheckResult(mTexture->Unlock(nullptr), "Texture Unlock");

  const float l = x - 0.5f, t = y - 0.5f;
  const float r = l + static_cast<float>(w), b = t + static_cast<float>(h);
  const float u = static_cast<float>(w) / kTileSize, v = static_cast<float>(h) / kTileSize;
  D3DTLVERTEX quad[4] = {{l, t, 0, 1, color, 0, 0, 0},
                         {r, t, 0, 1, color, 0, u, 0},
                         {l, b, 0, 1, color, 0, 0, v},
                         {r, b, 0, 1, color, 0, u, v}};
  CheckResult(mD3DDevice->SetTexture(0, mTexture), "SetTexture theTexture");
  CheckResult(mD3DDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, quad, 4, D3DDP_WAIT), "DrawPrimitive");
  CheckResult(mD3DDevice->SetTexture(0, nullptr), "SetTexture NULL");
}

void D3DTester::DrawImage(float x, float y, DWORD color) {
  for (int ty = 0; ty < mTestImage.mHeight; ty += kTileSize)
    for (int tx = 0; tx < mTestImage.mWidth; tx += kTileSize)
      DrawTile(x + static_cast<float>(tx), y + static_cast<float>(ty), tx, ty, kTileSize, kTileSize, color);
}

void D3DTester::CopyPrimary() {
  DDSURFACEDESC2 desc;
  CheckResult(mPrimarySurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), "CopyPrimary Lock");
  const DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
  if (bits == 32) {
    ImageTextureSet::CopySurface32ToArgb(desc, mTestImage.mBits.data(), mTestImage.mWidth, mTestImage.mHeight);
  } else if (bits == 16) {
    ImageTextureSet::CopySurface16ToArgb(desc, mTestImage.mBits.data(), mTestImage.mWidth, mTestImage.mHeight);
  }
  mPrimarySurface->Unlock(nullptr);
  if (bits == 24) throw TestException("Can't test 24-bit mode.");
  if (bits != 32 && bits != 16) throw TestException("Invalid Color Depth");
}

void D3DTester::BeginTest(DWORD srcBlend, const char* srcLabel, DWORD destBlend, const char* destLabel) {
  CheckResult(mD3DDevice->BeginScene(), "");
  CheckResult(mD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0), "Clear");
  CheckResult(mD3DDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE),
              "D3DRENDERSTATE_ALPHABLENDENABLE, TRUE");
  CheckResult(mD3DDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, srcBlend), srcLabel);
  CheckResult(mD3DDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, destBlend), destLabel);
  CheckResult(mD3DDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE),
              "D3DRENDERSTATE_CULLMODE, D3DCULL_NONE");
}

bool D3DTester::RunBlendTest(const BlendTest& test) {
  try {
    BeginTest(test.srcBlend, test.srcLabel, test.destBlend, test.destLabel);
    if (test.modulateAlpha)
      CheckResult(mD3DDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE),
                  "D3DTSS_ALPHAOP, D3DTOP_MODULATE");
    mTestImage.Create(kTileSize, kTileSize);
    mTestImage.FillRect(0, 0, kTileSize, kTileSize, test.firstFill);
    DrawImage(0, 0, test.firstColor);
    mTestImage.FillRect(0, 0, kTileSize, kTileSize, test.secondFill);
    DrawImage(0, 0, test.secondColor);
    mD3DDevice->EndScene();
    mTestImage.Create(kTargetSize, kTargetSize);
    CopyPrimary();
  } catch (const TestException& e) {
    mD3DDevice->EndScene();
    return SetFailureReason(e.mMessage);
  }
  bool uniform = true;
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const uint32_t p = mTestImage.Pixel(x, y);
      if (Distance(p, test.expected) > kMatchDistance) return SetFailureReason(test.failure);
      uniform = uniform && p == mTestImage.Pixel(0, 0);
    }
  }
  if (!uniform) SetWarning(test.notUniform);
  return true;
}

bool D3DTester::RunClipTest() {
  try {
    BeginTest(D3DBLEND_SRCALPHA, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA", D3DBLEND_INVSRCALPHA,
              "D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA");
    mTestImage.Create(kTileSize, kTileSize);
    mTestImage.FillStripes();
    DrawImage(-2, -2, 0xFFFFFFFFu);
    mD3DDevice->EndScene();
    mTestImage.Create(kTargetSize, kTargetSize);
    CopyPrimary();
  } catch (const TestException& e) {
    mD3DDevice->EndScene();
    return SetFailureReason(e.mMessage);
  }
  for (int y = 0; y < 62; ++y) {
    for (int x = 0; x < 62; ++x) {
      const uint32_t expected = (x & 1) ? 0xFFFFFF : 0;
      if (Distance(mTestImage.Pixel(x, y), expected) > kMatchDistance) {
        SetWarning("Clip problem detected.");
        return true;
      }
    }
  }
  return true;
}

bool D3DTester::RunTests() {
  static const char* kSrcAlpha = "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA";
  static const char* kSrcOne = "D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE";
  static const char* kDestInvAlpha = "D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA";
  static const char* kDestOne = "D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE";
  static const BlendTest kTests[] = {
      {D3DBLEND_SRCALPHA, kSrcAlpha, D3DBLEND_INVSRCALPHA, kDestInvAlpha, false, 0xFF0000FFu, 0xFFFFFFFFu, 0x80FF0000u,
       0xFFFFFFFFu, 0x7F007F, "Alpha blend test not uniform.", "Alpha blend Not Supported"},
      {D3DBLEND_ONE, kSrcOne, D3DBLEND_ONE, kDestOne, false, 0xFF404040u, 0xFFFFFFFFu, 0xFF404040u, 0xFFFFFFFFu,
       0x808080, "Additive blend test not uniform.", "Additive blend not supported."},
      {D3DBLEND_SRCALPHA, kSrcAlpha, D3DBLEND_ONE, kDestOne, false, 0xFF404040u, 0xFFFFFFFFu, 0x80808080u, 0xFFFFFFFFu,
       0x808080, "AlphaAdd blend test not uniform.", "AlphaAdd blend not supported."},
      {D3DBLEND_SRCALPHA, kSrcAlpha, D3DBLEND_INVSRCALPHA, kDestInvAlpha, true, 0xFF0000FFu, 0xFFFFFFFFu, 0xFFFF0000u,
       0x80FFFFFFu, 0x7F007F, "AlphaModulated blend test not uniform.", "AlphaModulated blend not supported."},
  };
  for (const BlendTest& test : kTests)
    if (!RunBlendTest(test)) return false;
  return RunClipTest();
}

}  // namespace Velk
