#include "graphics/SharedImageHandle.h"

#include "graphics/MemoryImage.h"

namespace Velk {

std::atomic<bool> gCleanupSharedImages{false};

SharedImageHandle::SharedImageHandle(SharedImage* shared) { Hold(shared); }

SharedImageHandle::SharedImageHandle(const SharedImageHandle& other) : mUnsharedImage(other.mUnsharedImage) {
  Hold(other.mSharedImage);
}

SharedImageHandle::~SharedImageHandle() { Release(); }

SharedImageHandle& SharedImageHandle::operator=(const SharedImageHandle& other) {
  // Take the new reference first so that h = h never lets the count reach 0.
  SharedImage* shared = other.mSharedImage;
  if (shared) shared->mRefCount.fetch_add(1);
  Release();
  mSharedImage = shared;
  return *this;
}

SharedImageHandle& SharedImageHandle::operator=(SharedImage* shared) {
  if (shared) shared->mRefCount.fetch_add(1);
  Release();
  mSharedImage = shared;
  return *this;
}

SharedImageHandle& SharedImageHandle::operator=(MemoryImage* image) {
  if (image == mUnsharedImage && mOwnsUnshared) return *this;
  Release();
  mUnsharedImage = image;
  mOwnsUnshared = true;
  return *this;
}

void SharedImageHandle::Release() {
  if (mOwnsUnshared) delete mUnsharedImage;
  mUnsharedImage = nullptr;
  if (mSharedImage && mSharedImage->mRefCount.fetch_sub(1) == 1) gCleanupSharedImages = true;
  mSharedImage = nullptr;
}

MemoryImage* SharedImageHandle::GetSharedImage() const { return mSharedImage ? mSharedImage->mImage : nullptr; }

MemoryImage* SharedImageHandle::GetImage() const { return mUnsharedImage ? mUnsharedImage : GetSharedImage(); }

void SharedImageHandle::Hold(SharedImage* shared) {
  mSharedImage = shared;
  if (shared) shared->mRefCount.fetch_add(1);
}

}  // namespace Velk
