// Small services of the application: volumes and the mute counts, sample playback, the set of
// live memory images, deferred deletion of widgets, the clipboard and opening web addresses.

#include "app/VelkAppBase.h"

#include "app/SysFontMaker.h"
#include "graphics/D3DInterface.h"
#include "graphics/DDInterface.h"
#include "graphics/MemoryImage.h"
#include "platform/clipboard/Clipboard.h"
#include "platform/clock/Clock.h"
#include "platform/shell/Shell.h"
#include "sound/MusicInterface.h"
#include "sound/SoundInstance.h"
#include "sound/SoundManager.h"
#include "widgets/Widget.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace Velk {

void VelkAppBase::PlaySample(int id, int pan) {
  if (!mSoundManager) return;
  if (SoundInstance* instance = mSoundManager->GetSoundInstance(id)) {
    instance->SetPan(pan);
    instance->Play(false, true);
  }
}

void VelkAppBase::PlaySample(int id) {
  if (!mSoundManager) return;
  if (SoundInstance* instance = mSoundManager->GetSoundInstance(id)) instance->Play(false, true);
}

double VelkAppBase::GetMasterVolume() { return mSoundManager ? mSoundManager->GetMasterVolume() : 0.0; }

double VelkAppBase::GetMusicVolume() { return mMusicVolume; }

double VelkAppBase::GetSfxVolume() { return mSfxVolume; }

bool VelkAppBase::IsMuted() { return mMuteCount > 0; }

void VelkAppBase::SetMasterVolume(double volume) {
  mSfxVolume = volume;
  if (mSoundManager) mSoundManager->SetMasterVolume(volume);
}

void VelkAppBase::SetMusicVolume(double volume) {
  mMusicVolume = volume;
  if (mMusicInterface) mMusicInterface->SetVolume(IsMuted() ? 0.0 : volume);
}

void VelkAppBase::SetSfxVolume(double volume) {
  mSfxVolume = volume;
  if (mSoundManager) mSoundManager->SetVolume(IsMuted() ? 0.0 : volume);
}

void VelkAppBase::Mute(bool automatic) {
  ++mMuteCount;
  if (automatic) ++mAutoMuteCount;
  SetMusicVolume(mMusicVolume);
  SetSfxVolume(mSfxVolume);
}

void VelkAppBase::Unmute(bool automatic) {
  if (mMuteCount > 0) --mMuteCount;
  if (automatic && mAutoMuteCount > 0) --mAutoMuteCount;
  // A manual unmute may have taken back an automatic mute; what is left can only be manual.
  mAutoMuteCount = std::min(mAutoMuteCount, mMuteCount);
  SetMusicVolume(mMusicVolume);
  SetSfxVolume(mSfxVolume);
}

CriticalSection& VelkAppBase::ImageLock() { return mDDInterface ? mDDInterface->mCritSect : mImageCritSect; }

void VelkAppBase::RegisterMemoryImage(MemoryImage* image) {
  std::lock_guard guard(ImageLock());
  mMemoryImageSet.insert(image);
}

void VelkAppBase::UnregisterMemoryImage(MemoryImage* image) {
  std::lock_guard guard(ImageLock());
  mMemoryImageSet.erase(image);
  if (mDDInterface) mDDInterface->ForgetImageTextures(image);
}

void VelkAppBase::ReleaseImageTextures(MemoryImage* image) {
  std::lock_guard guard(ImageLock());
  if (mDDInterface) mDDInterface->ForgetImageTextures(image);
}

// Only a 3-D renderer keeps pixels that the images themselves do not.
static D3DInterface* TextureRenderer(DDInterface* display) {
  return display ? dynamic_cast<D3DInterface*>(display->mRenderer.get()) : nullptr;
}

bool VelkAppBase::ReadBackTextures(MemoryImage* image, uint32_t* bits) {
  D3DInterface* renderer = TextureRenderer(mDDInterface);
  return renderer && renderer->ReadBackImage(image, bits);
}

bool VelkAppBase::TexturesHoldPixels(MemoryImage* image) {
  D3DInterface* renderer = TextureRenderer(mDDInterface);
  return renderer && renderer->TexturesHoldPixels(image);
}

bool VelkAppBase::Is3DModeOn() { return mDDInterface && mDDInterface->mIs3D; }

NativeDisplay* VelkAppBase::GetNativeDisplay() { return mDDInterface; }

void VelkAppBase::ForEachMemoryImage(void (MemoryImage::*action)()) {
  // The walk holds the lock, and runs over a copy: an image may register others while it works.
  std::lock_guard guard(ImageLock());
  std::vector<MemoryImage*> images(mMemoryImageSet.begin(), mMemoryImageSet.end());
  for (MemoryImage* image : images) (image->*action)();
}

void VelkAppBase::RestoreMemoryImages() { ForEachMemoryImage(&MemoryImage::Restore); }

void VelkAppBase::FreeImageDisplayData() { ForEachMemoryImage(&MemoryImage::FreeDisplayFormatData); }

void VelkAppBase::FreeImageCaches() { ForEachMemoryImage(&MemoryImage::FreeAllCaches); }

Font* VelkAppBase::CreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                                 bool underline) {
  return MakeSysFont(face, pointSize, charSet, bold, italic, underline);
}

void VelkAppBase::SafeDelete(Widget* widget) { mSafeDeleteList.emplace_back(mUpdateAppDepth, widget); }

void VelkAppBase::ProcessSafeDeletes() {
  // Entries are taken out before their widget goes, since a destructor may ask for more deletions.
  auto it = mSafeDeleteList.begin();
  while (it != mSafeDeleteList.end()) {
    if (it->first < mUpdateAppDepth) {
      ++it;
      continue;
    }
    Widget* widget = it->second;
    it = mSafeDeleteList.erase(it);
    delete widget;
  }
}

std::string VelkAppBase::GetClipboardText() {
  std::string text = mDemo.mPlaying ? std::string() : Clipboard::GetText();
  DemoExchangeString(text);
  return text;
}

void VelkAppBase::SetClipboardText(const std::string& text) { Clipboard::SetText(text); }

bool VelkAppBase::OpenURL(const std::string& url, bool shutdownAfter) {
  if (mIsOpeningURL && mOpeningURL == url) return true;
  mShutdownOnURLOpen = shutdownAfter;
  mIsOpeningURL = true;
  mOpeningURL = url;
  mOpeningURLTime = GetTickCount();
  auto result =
      reinterpret_cast<uintptr_t>(ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  OnUrlOpenFailed(url);
  return false;
}

void VelkAppBase::OnUrlOpenFailed(const std::string& url) {
  (void)url;
  mIsOpeningURL = false;
}

void VelkAppBase::OnUrlOpened(const std::string& url) {
  (void)url;
  mIsOpeningURL = false;
  if (mShutdownOnURLOpen) Shutdown();
}

}  // namespace Velk
