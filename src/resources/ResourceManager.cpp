#include "resources/ResourceManager.h"

#include "common/StringUtil.h"
#include "fonts/Font.h"
#include "resources/ResourceManagerException.h"
#include "resources/ResourceManagerHost.h"
#include "resources/XMLParser.h"
#include "sound/SoundManager.h"

namespace Velk {

void ResourceManager::ImageRes::DeleteResource() { mImage.Release(); }

void ResourceManager::SoundRes::DeleteResource() {
  if (mSoundId >= 0 && mSoundManager) mSoundManager->ReleaseSound(mSoundId);
  mSoundId = -1;
  mSoundManager = nullptr;
}

ResourceManager::FontRes::FontRes() : BaseRes(ResType_Font) {}

ResourceManager::FontRes::~FontRes() = default;

void ResourceManager::FontRes::DeleteResource() { mFont.reset(); }

ResourceManager::ResourceManager(ResourceManagerHost* host) : mHost(host) {}

ResourceManager::~ResourceManager() {
  for (ResMap* map : {&mImageMap, &mSoundMap, &mFontMap})
    for (auto& [id, res] : *map) res->DeleteResource();
}

bool ResourceManager::Fail(const std::string& error) {
  if (mHasFailed) return false;
  mHasFailed = true;
  mError = error;
  if (mXMLParser) {
    if (mXMLParser->GetLineNumber() > 0) mError += " on Line " + std::to_string(mXMLParser->GetLineNumber());
    if (!mXMLParser->GetFileName().empty()) mError += " in File '" + mXMLParser->GetFileName() + "'";
  }
  return false;
}

void ResourceManager::StartLoadResources(const std::string& group) {
  mError.clear();
  mHasFailed = false;
  mCurResGroup = group;
  mCurResGroupList = &mResGroupMap[group];
  mCurResGroupPos = 0;
}

bool ResourceManager::LoadResources(const std::string& group) {
  StartLoadResources(group);
  while (LoadNextResource()) {
  }
  if (mHasFailed) return false;
  mLoadedGroups.insert(group);
  return true;
}

bool ResourceManager::LoadNextResource() {
  if (mHasFailed || !mCurResGroupList) return false;
  while (mCurResGroupPos < mCurResGroupList->size()) {
    BaseRes* res = (*mCurResGroupList)[mCurResGroupPos++];
    if (!res->mFromProgram && !IsLoaded(res)) return LoadResource(res);
  }
  return false;
}

bool ResourceManager::IsLoaded(const BaseRes* res) {
  switch (res->mType) {
    case ResType_Image:
      return static_cast<const ImageRes*>(res)->mImage.GetImage() != nullptr;
    case ResType_Sound:
      return static_cast<const SoundRes*>(res)->mSoundId != -1;
    case ResType_Font:
      return static_cast<const FontRes*>(res)->mFont != nullptr;
  }
  return false;
}

bool ResourceManager::LoadResource(BaseRes* res) {
  switch (res->mType) {
    case ResType_Image:
      return LoadImage(static_cast<ImageRes*>(res));
    case ResType_Sound:
      return LoadSound(static_cast<SoundRes*>(res));
    case ResType_Font:
      return LoadFont(static_cast<FontRes*>(res));
  }
  return false;
}

void ResourceManager::OnResourceLoaded(BaseRes*) {}

void ResourceManager::ReleaseGroupInMap(ResMap& map, const std::string& group) {
  for (auto& [id, res] : map)
    if (group.empty() || res->mResGroup == group) res->DeleteResource();
}

void ResourceManager::DeleteResources(const std::string& group) {
  ReleaseGroupInMap(mImageMap, group);
  ReleaseGroupInMap(mSoundMap, group);
  ReleaseGroupInMap(mFontMap, group);
  mLoadedGroups.erase(group);
}

ResourceManager::BaseRes* ResourceManager::FindLoaded(ResMap& map, const std::string& id) {
  auto it = map.find(id);
  return it != map.end() && IsLoaded(it->second.get()) ? it->second.get() : nullptr;
}

void ResourceManager::ThrowNotFound(const char* kind, const std::string& id) {
  Fail(FormatString("%s resource not found: %s", kind, id.c_str()));
  throw ResourceManagerException(mError);
}

SharedImageHandle ResourceManager::GetImageOrThrow(const std::string& id) {
  BaseRes* res = FindLoaded(mImageMap, id);
  if (!res) ThrowNotFound("Image", id);
  return static_cast<ImageRes*>(res)->mImage;
}

int ResourceManager::GetSoundOrThrow(const std::string& id) {
  BaseRes* res = FindLoaded(mSoundMap, id);
  if (!res) ThrowNotFound("Sound", id);
  return static_cast<SoundRes*>(res)->mSoundId;
}

Font* ResourceManager::GetFontOrThrow(const std::string& id) {
  BaseRes* res = FindLoaded(mFontMap, id);
  if (!res) ThrowNotFound("Font", id);
  return static_cast<FontRes*>(res)->mFont.get();
}

SharedImageHandle ResourceManager::GetImage(const std::string& id) {
  auto it = mImageMap.find(id);
  if (it == mImageMap.end()) return SharedImageHandle();
  auto* res = static_cast<ImageRes*>(it->second.get());
  if (res->mImage.GetImage() || (!res->mFromProgram && LoadImage(res))) return res->mImage;
  return SharedImageHandle();
}

Font* ResourceManager::GetFont(const std::string& id) {
  auto it = mFontMap.find(id);
  return it == mFontMap.end() ? nullptr : static_cast<FontRes*>(it->second.get())->mFont.get();
}

bool ResourceManager::ReplaceImage(const std::string& id, MemoryImage* image) {
  auto it = mImageMap.find(id);
  if (it == mImageMap.end()) return false;
  // The assignment releases the current image; handing in the same image again keeps it alive.
  static_cast<ImageRes*>(it->second.get())->mImage = image;
  return true;
}

}  // namespace Velk
