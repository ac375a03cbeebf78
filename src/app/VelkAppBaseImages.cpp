// Images the application makes for others: loaded from files, copied, and shared by path so that
// an image used in many places is loaded once.

#include "app/VelkAppBase.h"

#include "common/StringUtil.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/Graphics.h"
#include "resources/ImageLib.h"
#include "resources/ImageLibImage.h"
#include "resources/ResourceManager.h"

#include <memory>

namespace Velk {

DDImage* VelkAppBase::LoadImage(const std::string& path) {
  if (!mDDInterface) return nullptr;
  std::unique_ptr<ImageLib::Image> decoded(LoadImageByExtension(path, true));
  if (!decoded) return nullptr;
  auto* image = new DDImage(mDDInterface);
  image->mFilePath = path;
  image->TakePixels(decoded->TakeBits(), decoded->GetWidth(), decoded->GetHeight(), true);
  return image;
}

SharedImageHandle VelkAppBase::GetSharedImage(const std::string& path, const std::string& variant, bool* isNew) {
  SharedImageKey key{ToUpper(path), ToUpper(variant)};
  std::unique_lock lock(mSharedImageLock);
  auto [it, inserted] = mSharedImageMap.try_emplace(key);
  SharedImageEntry& entry = it->second;
  SharedImageHandle handle(&entry.mShared);
  if (isNew) *isNew = inserted;
  if (!inserted) {
    // Another thread is still loading it: its image is worth the wait.
    mSharedImageLoaded.wait(lock, [&entry] { return !entry.mLoading; });
    return handle;
  }
  entry.mLoading = true;
  lock.unlock();

  MemoryImage* image = nullptr;
  if (!path.empty() && path[0] == '!') {
    image = mDDInterface ? new DDImage(mDDInterface) : nullptr;
  } else {
    image = LoadImage(path);
  }

  lock.lock();
  entry.mShared.mImage = image;
  entry.mLoading = false;
  lock.unlock();
  mSharedImageLoaded.notify_all();
  return handle;
}

void VelkAppBase::ReleaseUnusedSharedImages() {
  if (!gCleanupSharedImages.exchange(false)) return;
  std::lock_guard lock(mSharedImageLock);
  for (auto it = mSharedImageMap.begin(); it != mSharedImageMap.end();) {
    SharedImageEntry& entry = it->second;
    if (entry.mLoading || entry.mShared.mRefCount.load() > 0) {
      ++it;
      continue;
    }
    delete entry.mShared.mImage;
    it = mSharedImageMap.erase(it);
  }
}

void VelkAppBase::DeleteSharedImages() {
  std::lock_guard lock(mSharedImageLock);
  for (auto& [key, entry] : mSharedImageMap) {
    delete entry.mShared.mImage;
    entry.mShared.mImage = nullptr;
  }
  mSharedImageMap.clear();
}

DDImage* VelkAppBase::DuplicateImage(Image* image) {
  return CopyImageRegion(image, Rect(0, 0, image->GetWidth(), image->GetHeight()));
}

DDImage* VelkAppBase::CopyImageRegion(Image* image, const Rect& rect) {
  if (!mDDInterface) return nullptr;
  auto* copy = new DDImage(mDDInterface);
  copy->CreateBlank(rect.mWidth, rect.mHeight);
  Graphics g(copy);
  g.DrawImage(image, -rect.mX, -rect.mY);
  copy->CopyCelInfo(*image);
  return copy;
}

SoundManager* VelkAppBase::GetSoundManager() { return mSoundManager; }

void VelkAppBase::LoadResourceManifest() {
  if (!mResourceManager->ParseResourcesFile("properties\\resources.xml")) ReportResourceError(true);
}

// A start-up that cannot go on is a failure: the status says so, as for a display that cannot start.
void VelkAppBase::ReportResourceError(bool exit) {
  ShowFatalErrorA(ResourceErrorText());
  if (exit) ExitApplication(1);
}

std::string VelkAppBase::ResourceErrorText() const { return mResourceManager->GetErrorText(); }

}  // namespace Velk
