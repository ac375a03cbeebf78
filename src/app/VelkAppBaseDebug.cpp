// Developer facilities: the debug keys, the overlays, video statistics, screenshots, the image dump
// and the crash information.

#include "app/VelkAppBase.h"

#include "app/DemoJumps.h"
#include "app/ImageDump.h"
#include "app/NumberedFiles.h"
#include "common/DataFolder.h"
#include "common/Folders.h"
#include "common/Profiler.h"
#include "common/StringUtil.h"
#include "fonts/Font.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/Graphics.h"
#include "graphics/ImageTextureSet.h"
#include "graphics/MemoryImage.h"
#include "platform/clock/Clock.h"
#include "platform/crash/FatalSignals.h"
#include "platform/ddraw/DDraw.h"
#include "platform/msgbox/MessageBox.h"
#include "sound/SoundManager.h"
#include "widgets/WidgetManager.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

namespace Velk {

namespace {

constexpr int kOverlayWidth = 50;
constexpr int kOverlayMargin = 10;
constexpr int kOverlayGap = 15;
constexpr DWORD kFpsPeriodMs = 1000;

std::string KB(int bytes) { return Narrow(CommaSeparate(bytes / 1024)); }

Font* OverlayFont(VelkAppBase& app, std::unique_ptr<Font>& font) {
  if (!font) font.reset(app.CreateSysFont("Tahoma", 8, 0, false, false, false));
  return font.get();
}

// A black box with the text in white at the given place.
void DrawOverlayBox(Graphics* g, Font* font, const std::string& text, int x, int y, int height) {
  g->SetColor(Color(0, 0, 0));
  g->FillRect(x, y, kOverlayWidth, height);
  if (!font) return;
  g->SetFont(font);
  g->SetColor(Color(255, 255, 255));
  g->DrawString(Widen(text), x + 2, y + font->GetAscent());
}

}  // namespace

bool VelkAppBase::DebugKey(int key) {
  bool shift = mWidgetManager->mKeyDown[VK_SHIFT];
  if (key == 'R' || key == static_cast<int>(VK_F3)) {
    if (shift) {
      mOverlayMode = (mOverlayMode + 1) % 2;
      mShowOverlays = true;
    } else {
      mShowOverlays = !mShowOverlays;
    }
    mWidgetManager->InvalidateAll();
    if (mShowOverlays) {
      mFpsStart = timeGetTime();
      mFpsFrames = 0;
      mFpsShown = 0;
      mFpsFirst = true;
    }
    return false;
  }
  if (key == static_cast<int>(VK_F8)) {
    if (shift) {
      Set3DMode(!Is3DModeOn(), true);
      MsgBoxA(FormatString("3D-Mode: %s", Is3DModeOn() ? "ON" : "OFF"), "Mode Switch", MB_OK);
    } else {
      ShowVideoStats();
    }
    ResetTiming(true);
    return true;
  }
  if (key == static_cast<int>(VK_F10)) return true;
  if (key == static_cast<int>(VK_F11)) {
    if (shift)
      DumpImages();
    else
      TakeScreenshot();
    return true;
  }
  if (key == static_cast<int>(VK_F2)) {
    if (!IsProfiling()) {
      ResetTiming(false);
      StartProfiling(false);
    } else {
      StopProfiling();
      MsgBoxA(GetProfileReport(), "Perf Results", MB_OK);
      ResetTiming(false);
    }
  }
  return false;
}

void VelkAppBase::DrawOverlay(Graphics* g) {
  if (!mShowOverlays) return;
  static std::unique_ptr<Font> font;
  Font* overlayFont = OverlayFont(*this, font);
  int height = (overlayFont ? overlayFont->GetHeight() : 10) + 4;
  std::string text;
  if (mOverlayMode == 0) {
    ++mFpsFrames;
    DWORD elapsed = timeGetTime() - mFpsStart;
    if (elapsed >= kFpsPeriodMs || mFpsFirst) {
      mFpsShown = mFpsFirst || elapsed == 0 ? 0 : static_cast<int>(std::lround(mFpsFrames * 1000.0 / elapsed));
      mFpsFirst = false;
      mFpsStart = timeGetTime();
      mFpsFrames = 0;
    }
    text = FormatString("FPS: %d", mFpsShown);
  } else {
    text = FormatString("%d,%d", mWidgetManager->mLastMouseX, mWidgetManager->mLastMouseY);
  }
  int x = mWidth - kOverlayWidth - kOverlayMargin;
  int y = mHeight - height - kOverlayMargin;
  DrawOverlayBox(g, overlayFont, text, x, y, height);
  if (mDemo.mPlaying) {
    DWORD left = mDemoInfo.mDemoLength > mUpdateCount ? (mDemoInfo.mDemoLength - mUpdateCount) * mFrameTime : 0;
    DrawOverlayBox(g, overlayFont, DemoJumps::ClockText(left), x, mHeight - 2 * height - kOverlayGap, height);
  }
}

void VelkAppBase::ShowVideoStats() {
  DWORD totalVideo = 0, freeVideo = 0;
  if (mDDInterface && mDDInterface->mDD7) {
    DDSCAPS2 caps;
    caps.dwCaps = DDSCAPS_VIDEOMEMORY;
    mDDInterface->mDD7->GetAvailableVidMem(&caps, &totalVideo, &freeVideo);
  }
  const int formats[] = {ImageTextureSet::kA8R8G8B8, ImageTextureSet::kA4R4G4B4, ImageTextureSet::kR5G6B5,
                         ImageTextureSet::kPalettized};
  int counts[4] = {}, bytes[4] = {}, textureTotal = 0, images = 0;
  {
    std::lock_guard guard(ImageLock());
    images = static_cast<int>(mMemoryImageSet.size());
    for (MemoryImage* image : mMemoryImageSet) {
      if (!image->mTextureData) continue;
      int size = static_cast<int>(image->mTextureData->mTexMemSize);
      textureTotal += size;
      for (int i = 0; i < 4; ++i)
        if (image->mTextureData->mTextureFormat == formats[i]) ++counts[i], bytes[i] += size;
    }
  }
  const char* verdict = IsRendererRecommended() ? "Recommended" : IsRendererUsable() ? "Supported" : "Unsupported";
  std::string text =
      FormatString("3D-Mode is %s (3D is %s on this system)\r\n\r\n", Is3DModeOn() ? "On" : "Off", verdict);
  text += FormatString("Num Images: %d\r\n", images);
  text += FormatString("Num Sounds: %d\r\n", mSoundManager ? mSoundManager->GetNumSounds() : 0);
  text += "Video Memory: " + KB(static_cast<int>(totalVideo - freeVideo)) + "/" + KB(static_cast<int>(totalVideo)) +
          " KB\r\n";
  text += "Texture Memory: " + KB(textureTotal) + " KB\r\n";
  const char* names[] = {"A8R8G8B8", "A4R4G4B4", "R5G6B5", "Palette8"};
  for (int i = 0; i < 4; ++i) text += FormatString("%s: %d - ", names[i], counts[i]) + KB(bytes[i]) + " KB\r\n";
  MsgBoxA(text, "Video Stats", MB_OK);
  ResetTiming(true);
}

void VelkAppBase::TakeScreenshot() {
  DDImage* screen = mDDInterface ? mDDInterface->GetScreenImage() : nullptr;
  // Read as a finished frame: in 3D mode the screen is the device's target, which image reads refuse.
  std::vector<uint32_t> pixels;
  if (!screen || !screen->ReadFrame(pixels)) return;
  std::string folder = GetDataFolder() + "_screenshots";
  MakeDirs(folder);
  ImageDump::WritePNG(pixels.data(), screen->mWidth, screen->mHeight, NextScreenshotPath(folder + "/"));
  ResetTiming(false);
}

void VelkAppBase::DumpImages() {
  std::string folder = GetDataFolder() + "_dump";
  DeleteTree(folder);
  MakeDirs(folder);
  std::vector<MemoryImage*> images;
  {
    std::lock_guard guard(ImageLock());
    images.assign(mMemoryImageSet.begin(), mMemoryImageSet.end());
  }
  std::time_t now = std::time(nullptr);
  ImageDump::Write(folder + "\\", images, std::ctime(&now));
}

// After a fault its running time is taken at the fault, not at this later call on the crash thread.
std::string VelkAppBase::GetCrashInfo() {
  const DWORD running = GetTickCount() - mLoadingStartTick;
  const DWORD sinceFault = static_cast<DWORD>(std::min<uint64_t>(MsSinceFatalSignal(), running));
  return "Product: " + mProdName + "\r\nVersion: " + mProductVersion +
         "\r\nTime Loaded: " + DemoJumps::ClockText(running - sinceFault) +
         "\r\nFullscreen: " + (mIsWindowed ? "No" : "Yes") +
         FormatString("\r\nPrimary ThreadId: %X\r\n", static_cast<unsigned>(mMainThreadId.load()));
}

}  // namespace Velk
