// Loading the resources of a manifest record: images with their alpha, sounds and fonts.
#include <algorithm>
#include <memory>
#include <vector>

#include "common/StringUtil.h"
#include "fonts/FontData.h"
#include "fonts/FontHost.h"
#include "fonts/ImageFont.h"
#include "fonts/SysFont.h"
#include "graphics/DDImage.h"
#include "graphics/MemoryImage.h"
#include "resources/ImageLib.h"
#include "resources/ResourceManager.h"
#include "resources/ResourceManagerHost.h"
#include "sound/SoundManager.h"

namespace Velk {

namespace {

using DecodedImage = std::unique_ptr<ImageLib::Image>;

constexpr char kTagSeparators[] = ", \r\n\t";

std::vector<std::string> SplitTags(const std::string& tags) {
  std::vector<std::string> result;
  for (size_t start = 0; (start = tags.find_first_not_of(kTagSeparators, start)) != std::string::npos;) {
    size_t end = std::min(tags.find_first_of(kTagSeparators, start), tags.size());
    result.push_back(tags.substr(start, end - start));
    start = end;
  }
  return result;
}

uint32_t WithAlpha(uint32_t pixel, uint32_t alpha) { return (pixel & 0xFFFFFF) | (alpha << 24); }

}  // namespace

bool ResourceManager::LoadImage(ImageRes* res) {
  bool isNew = false;
  ImageLib::gAlphaColor = res->mAlphaColor;
  SharedImageHandle handle = mHost ? mHost->GetSharedImage(res->mPath, res->mVariant, &isNew) : SharedImageHandle();
  ImageLib::gAlphaColor = 0xFFFFFF;

  MemoryImage* image = handle.GetImage();
  if (!image) return Fail(FormatString("Failed to load image: %s", res->mPath.c_str()));
  if (isNew) {
    if (!res->mAlphaImage.empty() && !ApplyAlphaImage(res, image)) return false;
    if (!res->mAlphaGridImage.empty() && !ApplyAlphaGrid(res, image)) return false;
  }

  image->ScanAlpha();
  res->mImage = handle;
  ApplyImageSettings(res, image);
  OnResourceLoaded(res);
  return true;
}

bool ResourceManager::ApplyAlphaImage(ImageRes* res, MemoryImage* image) {
  DecodedImage alpha(LoadImageByExtension(res->mAlphaImage, true));
  if (!alpha) return Fail(FormatString("Failed to load image: %s", res->mAlphaImage.c_str()));
  if (alpha->GetWidth() != image->mWidth || alpha->GetHeight() != image->mHeight)
    return Fail(
        FormatString("AlphaImage size mismatch between %s and %s", res->mPath.c_str(), res->mAlphaImage.c_str()));
  uint32_t* bits = image->GetArgbBits();
  if (!bits) return Fail(FormatString("Failed to load image: %s", res->mPath.c_str()));
  const uint32_t* alphaBits = alpha->GetBits();
  for (int64_t i = 0; i < alpha->PixelCount(); ++i) bits[i] = WithAlpha(bits[i], alphaBits[i] & 0xFF);
  image->OnBitsChanged();
  return true;
}

bool ResourceManager::ApplyAlphaGrid(ImageRes* res, MemoryImage* image) {
  DecodedImage grid(LoadImageByExtension(res->mAlphaGridImage, true));
  if (!grid) return Fail(FormatString("Failed to load image: %s", res->mAlphaGridImage.c_str()));
  const int celWidth = image->mWidth / res->mCols;
  const int celHeight = image->mHeight / res->mRows;
  if (grid->GetWidth() != celWidth || grid->GetHeight() != celHeight)
    return Fail(FormatString("GridAlphaImage size mismatch between %s and %s", res->mPath.c_str(),
                             res->mAlphaGridImage.c_str()));
  uint32_t* bits = image->GetArgbBits();
  if (!bits) return Fail(FormatString("Failed to load image: %s", res->mPath.c_str()));
  for (int row = 0; row < res->mRows; ++row)
    for (int col = 0; col < res->mCols; ++col)
      for (int y = 0; y < celHeight; ++y) {
        uint32_t* dest = bits + int64_t(row * celHeight + y) * image->mWidth + col * celWidth;
        const uint32_t* alpha = grid->Row(y);
        for (int x = 0; x < celWidth; ++x) dest[x] = WithAlpha(dest[x], alpha[x] & 0xFF);
      }
  image->OnBitsChanged();
  return true;
}

void ResourceManager::ApplyImageSettings(ImageRes* res, MemoryImage* image) {
  image->mPurgeBits = res->mPurgeBits;
  auto* surfaceImage = dynamic_cast<DDImage*>(image);
  if (res->mDDSurface) {
    image->ScanAlpha();
    if (!image->mHasAlpha) {
      if (surfaceImage) surfaceImage->mWantDDSurface = true;
      image->mPurgeBits = true;
    }
  }
  // A surface already holds the picture in display format: only the request is recorded.
  if (res->mPalletize) {
    if (surfaceImage && surfaceImage->mSurface)
      image->mWantPal = true;
    else
      image->ReduceToPalette();
  }

  if (res->mA4R4G4B4) image->mTextureFlags |= 0x4;
  if (res->mA8R8G8B8) image->mTextureFlags |= 0x8;
  if (res->mMinimizeSubdivisions) image->mTextureFlags |= 0x1;
  if (res->mAnimInfo.mAnimType != ImageAnimSettings::None)
    image->mAnimInfo = std::make_unique<ImageAnimSettings>(res->mAnimInfo);
  image->mNumRows = res->mRows;
  image->mNumCols = res->mCols;
  if (image->mPurgeBits) image->DropBits();
}

bool ResourceManager::LoadSound(SoundRes* res) {
  SoundManager* sounds = mHost ? mHost->GetSoundManager() : nullptr;
  if (!sounds) return Fail(FormatString("Failed to load sound: %s", res->mPath.c_str()));
  const int id = sounds->GetFreeSoundId();
  if (id < 0) return Fail("Out of free sound ids");
  if (!sounds->LoadSoundAt(id, res->mPath)) return Fail(FormatString("Failed to load sound: %s", res->mPath.c_str()));
  if (res->mVolume >= 0) sounds->SetBaseVolume(id, res->mVolume);
  if (res->mPan != 0) sounds->SetBasePan(id, res->mPan);
  res->mSoundId = id;
  res->mSoundManager = sounds;
  OnResourceLoaded(res);
  return true;
}

bool ResourceManager::LoadFont(FontRes* res) {
  if (!CreateFont(res)) return false;
  OnResourceLoaded(res);
  return true;
}

bool ResourceManager::CreateFont(FontRes* res) {
  if (!res->mImagePath.empty()) return Fail(FormatString("Failed to load font: %s", res->mPath.c_str()));
  if (res->mSysFont) {
    auto font = std::make_unique<SysFont>(res->mPath.substr(5), res->mSize, res->mBold, res->mItalic, res->mUnderline);
    font->mDrawShadow = res->mShadow;
    res->mFont = std::move(font);
    return true;
  }

  std::unique_ptr<Font> font;
  if (res->mPath.rfind("!ref:", 0) == 0) {
    const std::string refId = res->mPath.substr(5);
    Font* source = GetFont(refId);
    if (!source) return Fail("Ref font not found: " + refId);
    font.reset(source->Duplicate());
  } else {
    font = std::make_unique<ImageFont>(FontHost::GetDefault(), res->mPath);
  }
  if (auto* imageFont = dynamic_cast<ImageFont*>(font.get())) {
    if (!imageFont->mFontData || !imageFont->mFontData->mInitialized)
      return Fail(FormatString("Failed to load font: %s", res->mPath.c_str()));
    for (const std::string& tag : SplitTags(res->mTags)) imageFont->AddTag(tag);
    imageFont->Prepare();
  }
  res->mFont = std::move(font);
  return true;
}

}  // namespace Velk
