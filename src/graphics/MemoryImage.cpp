#include "graphics/MemoryImage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/MemoryImageHost.h"
#include "graphics/NativeDisplay.h"

namespace Velk {

namespace {

enum AlphaClass : uint8_t { kClear = 0, kOpaque = 1, kTranslucent = 2 };

AlphaClass ClassOfAlpha(uint32_t pixel) {
  const uint32_t a = pixel >> 24;
  return a == 0 ? kClear : a == 255 ? kOpaque : kTranslucent;
}

// Each byte is the number of pixels from it to the end of its run of equal class, capped at 255;
// runs never cross a row end.
template <typename ClassOf>
void BuildRunTable(uint8_t* out, int width, int height, ClassOf classOf) {
  std::vector<uint8_t> classes(static_cast<size_t>(width));
  for (int y = 0; y < height; ++y) {
    const size_t row = static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) classes[x] = static_cast<uint8_t>(classOf(row + x));
    int runLeft = 0;
    for (int x = width - 1; x >= 0; --x) {
      runLeft = (x == width - 1 || classes[x] != classes[x + 1]) ? 1 : runLeft + 1;
      out[row + x] = static_cast<uint8_t>(std::min(runLeft, 255));
    }
  }
}

// Exact reduction to at most 256 colours, table order being the order of first appearance.
bool BuildPalette(const uint32_t* pixels, size_t count, uint8_t* indices, uint32_t* table, int& numColors) {
  numColors = 0;
  if (count == 0) return true;
  struct Entry {
    uint32_t color;
    uint8_t index;
  };
  std::vector<Entry> sorted;
  sorted.reserve(256);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t c = pixels[i];
    auto it = std::lower_bound(sorted.begin(), sorted.end(), c, [](const Entry& e, uint32_t v) { return e.color < v; });
    if (it != sorted.end() && it->color == c) {
      indices[i] = it->index;
      continue;
    }
    if (numColors == 256) return false;
    table[numColors] = c;
    indices[i] = static_cast<uint8_t>(numColors);
    sorted.insert(it, Entry{c, static_cast<uint8_t>(numColors)});
    ++numColors;
  }
  return true;
}

uint32_t ToNativePixel(uint32_t p, const NativeDisplay& d) {
  const uint32_t a = p >> 24;
  const uint32_t m = a + 1;
  const uint32_t r = ((((p & 0x00FF0000u) * m) >> 8) >> (24 - d.mRedBits)) << d.mRedShift;
  const uint32_t g = ((((p & 0x0000FF00u) * m) >> 8) >> (16 - d.mGreenBits)) << d.mGreenShift;
  const uint32_t b = ((((p & 0x000000FFu) * m) >> 8) >> (8 - d.mBlueBits)) << d.mBlueShift;
  return (r & static_cast<uint32_t>(d.mRedMask)) | (g & static_cast<uint32_t>(d.mGreenMask)) |
         (b & static_cast<uint32_t>(d.mBlueMask)) | (a << 24);
}

uint32_t NativeChannelToArgb(uint32_t p, uint32_t a, int mask, int shift, int bits) {
  const uint32_t f = (((p & static_cast<uint32_t>(mask)) << 8) / (a + 1)) & static_cast<uint32_t>(mask);
  return (f << 8) >> (shift + bits);
}

uint32_t FromNativePixel(uint32_t p, const NativeDisplay& d) {
  const uint32_t a = p >> 24;
  const uint32_t r = NativeChannelToArgb(p, a, d.mRedMask, d.mRedShift, d.mRedBits);
  const uint32_t g = NativeChannelToArgb(p, a, d.mGreenMask, d.mGreenShift, d.mGreenBits);
  const uint32_t b = NativeChannelToArgb(p, a, d.mBlueMask, d.mBlueShift, d.mBlueBits);
  return a << 24 | r << 16 | g << 8 | b;
}

// Premultiplying drops the low bits of a translucent pixel's colour (and all of a clear one's), and a
// display with fewer bits a channel drops more: only where none of that happens may the native data
// stand for the pixels.
bool NativeGivesBack(const uint32_t* pixels, const uint32_t* native, size_t count, const NativeDisplay& d) {
  for (size_t i = 0; i < count; ++i)
    if (FromNativePixel(native[i], d) != pixels[i]) return false;
  return true;
}

template <typename T>
std::unique_ptr<T[]> CopyBuffer(const std::unique_ptr<T[]>& src, size_t count) {
  if (!src) return nullptr;
  auto copy = std::make_unique<T[]>(count);
  std::memcpy(copy.get(), src.get(), count * sizeof(T));
  return copy;
}

}  // namespace

MemoryImage::MemoryImage() : MemoryImage(MemoryImageHost::GetDefault()) {}

MemoryImage::MemoryImage(MemoryImageHost* app) : mApp(app) {
  if (mApp) mApp->RegisterMemoryImage(this);
}

MemoryImage::MemoryImage(const MemoryImage& other)
    : Image(other),
      mBitsChangedCount(other.mBitsChangedCount),
      mTextureFlags(other.mTextureFlags),
      mNumColors(other.mNumColors),
      mHasTrans(other.mHasTrans),
      mHasAlpha(other.mHasAlpha),
      mIsVolatile(other.mIsVolatile),
      mPurgeBits(other.mPurgeBits),
      mWantPal(other.mWantPal),
      mBitsChanged(other.mBitsChanged),
      mApp(other.mApp) {
  const size_t n = PixelCount();
  if (other.mBits) {
    mBits = CopyBuffer(other.mBits, n + 1);
  } else if (!other.mColorTable) {
    // Rebuild the source's pixels only for the copy; the source is left as it was.
    MemoryImage& source = const_cast<MemoryImage&>(other);
    if (uint32_t* bits = source.GetArgbBits()) {
      mBits = std::make_unique<uint32_t[]>(n + 1);
      std::memcpy(mBits.get(), bits, (n + 1) * sizeof(uint32_t));
    }
    source.mBits.reset();
  }
  mColorTable = CopyBuffer(other.mColorTable, 256);
  mColorIndices = CopyBuffer(other.mColorIndices, n);
  mNativeAlphaData = CopyBuffer(other.mNativeAlphaData, other.mColorTable ? 256 : n);
  mRLAlphaData = CopyBuffer(other.mRLAlphaData, n);
  mRLAdditiveData = CopyBuffer(other.mRLAdditiveData, n);
  if (mApp) mApp->RegisterMemoryImage(this);
}

MemoryImage::~MemoryImage() {
  if (mApp) mApp->UnregisterMemoryImage(this);
}

void MemoryImage::AllocateBits() {
  const size_t n = PixelCount();
  mBits = std::make_unique<uint32_t[]>(n + 1);
  mBits[n] = kEndMarker;
}

const uint8_t* MemoryImage::SaturationTable() const { return mApp ? mApp->GetSaturationTable() : nullptr; }

uint32_t* MemoryImage::GetArgbBits() {
  if (mBits) return mBits.get();
  return RebuildBits();
}

uint32_t* MemoryImage::RebuildBits() {
  AllocateBits();
  uint32_t* bits = mBits.get();
  const size_t n = PixelCount();
  const NativeDisplay* display = mApp ? mApp->GetNativeDisplay() : nullptr;
  if (mPackedBits) {
    mPackedBits->Unpack(bits);
  } else if (mColorTable) {
    for (size_t i = 0; i < n; ++i) bits[i] = mColorTable[mColorIndices[i]];
    mColorIndices.reset();
    mColorTable.reset();
    mNativeAlphaData.reset();
    mNumColors = 0;
  } else if (mNativeAlphaData && display) {
    for (size_t i = 0; i < n; ++i) bits[i] = FromNativePixel(mNativeAlphaData[i], *display);
  } else if (!mTextureData || !mApp || !mApp->ReadBackTextures(this, bits)) {
    std::fill(bits, bits + n, 0u);
  }
  return bits;
}

void MemoryImage::SetPixels(const uint32_t* pixels, int width, int height, bool commit) {
  if (pixels == mBits.get() || !pixels || width < 0 || height < 0) return;
  if (width != mWidth || height != mHeight || !mBits) {
    mWidth = width;
    mHeight = height;
    AllocateBits();
  }
  std::memcpy(mBits.get(), pixels, PixelCount() * sizeof(uint32_t));
  PixelsReplaced(commit);
}

void MemoryImage::TakePixels(std::unique_ptr<uint32_t[]> pixels, int width, int height, bool commit) {
  if (!pixels || width < 0 || height < 0) return;
  mWidth = width;
  mHeight = height;
  mBits = std::move(pixels);
  PixelsReplaced(commit);
}

void MemoryImage::PixelsReplaced(bool commit) {
  mColorIndices.reset();
  mColorTable.reset();
  mNumColors = 0;
  mBits[PixelCount()] = kEndMarker;
  OnBitsChanged();
  if (commit) ScanAlpha();
}

void MemoryImage::CreateBlank(int width, int height) {
  mBits.reset();
  // A colour table of the old size would be read for the new one.
  mColorIndices.reset();
  mColorTable.reset();
  mNumColors = 0;
  mWidth = std::max(width, 0);
  mHeight = std::max(height, 0);
  mHasTrans = true;
  mHasAlpha = true;
  OnBitsChanged();
}

void MemoryImage::ClearPixels() {
  uint32_t* bits = GetArgbBits();
  if (!bits) return;
  std::fill(bits, bits + PixelCount(), 0u);
  OnBitsChanged();
}

void MemoryImage::ForceAlphaFlags(bool hasTrans, bool hasAlpha) {
  mForcedMode = true;
  mHasTrans = hasTrans;
  mHasAlpha = hasAlpha;
}

void MemoryImage::SetVolatile(bool isVolatile) { mIsVolatile = isVolatile; }

void MemoryImage::OnBitsChanged() {
  ++mBitsChangedCount;
  mBitsChanged = true;
  mNativeAlphaData.reset();
  mRLAlphaData.reset();
  mRLAdditiveData.reset();
  mPackedBits.reset();
}

void MemoryImage::ScanAlpha() {
  if (!mBitsChanged || mForcedMode) return;
  mHasAlpha = false;
  const uint32_t* pixels = nullptr;
  size_t count = 0;
  if (mBits) {
    pixels = mBits.get();
    count = PixelCount();
  } else if (mColorTable) {
    pixels = mColorTable.get();
    count = static_cast<size_t>(mNumColors);
  } else {
    mHasTrans = true;
    mBitsChanged = false;
    return;
  }
  mHasTrans = false;
  for (size_t i = 0; i < count; ++i) {
    const AlphaClass c = ClassOfAlpha(pixels[i]);
    if (c == kClear)
      mHasTrans = true;
    else if (c == kTranslucent)
      mHasAlpha = true;
  }
  mBitsChanged = false;
}

uint32_t* MemoryImage::BuildDisplayFormatData(const NativeDisplay* display) {
  if (mNativeAlphaData) return mNativeAlphaData.get();
  if (!display) return nullptr;
  ScanAlpha();
  const bool unpacked = !mBits && mPackedBits;
  const uint32_t* pixels;
  size_t count;
  if (mColorTable) {
    pixels = mColorTable.get();
    count = 256;
  } else {
    pixels = GetArgbBits();
    if (!pixels) return nullptr;
    count = PixelCount();
  }
  auto native = std::make_unique<uint32_t[]>(count);
  for (size_t i = 0; i < count; ++i) native[i] = ToNativePixel(pixels[i], *display);
  mNativeAlphaData = std::move(native);
  // Pixels unpacked only to make this copy go again: nobody was given them.
  if (unpacked) mBits.reset();
  return mNativeAlphaData.get();
}

uint8_t* MemoryImage::BuildAlphaRuns() {
  if (mRLAlphaData) return mRLAlphaData.get();
  ScanAlpha();
  auto runs = std::make_unique<uint8_t[]>(PixelCount());
  if (mColorTable) {
    const uint32_t* table = mColorTable.get();
    const uint8_t* idx = mColorIndices.get();
    BuildRunTable(runs.get(), mWidth, mHeight, [&](size_t i) { return ClassOfAlpha(table[idx[i]]); });
  } else {
    const uint32_t* pixels = mNativeAlphaData ? mNativeAlphaData.get() : GetArgbBits();
    if (!pixels) return nullptr;
    BuildRunTable(runs.get(), mWidth, mHeight, [&](size_t i) { return ClassOfAlpha(pixels[i]); });
  }
  mRLAlphaData = std::move(runs);
  return mRLAlphaData.get();
}

uint8_t* MemoryImage::BuildAdditiveRuns(const NativeDisplay* display) {
  if (mRLAdditiveData) return mRLAdditiveData.get();
  const uint32_t* native = BuildDisplayFormatData(display);
  if (!native) return nullptr;
  auto runs = std::make_unique<uint8_t[]>(PixelCount());
  const uint8_t* idx = mColorTable ? mColorIndices.get() : nullptr;
  BuildRunTable(runs.get(), mWidth, mHeight, [&](size_t i) {
    const uint32_t p = idx ? native[idx[i]] : native[i];
    return (p & 0x00FFFFFFu) != 0;
  });
  mRLAdditiveData = std::move(runs);
  return mRLAdditiveData.get();
}

void MemoryImage::FreeDisplayCaches(bool includeAlphaRuns) {
  if (!mBits && !mColorIndices && !mPackedBits) GetArgbBits();
  mNativeAlphaData.reset();
  mRLAdditiveData.reset();
  if (includeAlphaRuns) mRLAlphaData.reset();
}

void MemoryImage::FreeSoftwareCaches() { FreeDisplayCaches(true); }

void MemoryImage::FreeDisplayFormatData() { FreeDisplayCaches(false); }

void MemoryImage::FreeTextureData() {
  if (mApp) mApp->ReleaseImageTextures(this);
}

void MemoryImage::FreeAllCaches() {
  FreeSoftwareCaches();
  FreeTextureData();
}

void MemoryImage::DropBits() {
  mPurgeBits = true;
  if (!mApp) return;
  if (!mApp->Is3DModeOn()) {
    if (!mBits && !mColorIndices) return;
    // Without a display there is nowhere to keep the pixels, so they stay (packed where that pays).
    const NativeDisplay* display = mApp->GetNativeDisplay();
    const uint32_t* native = BuildDisplayFormatData(display);
    // The native data of a palettized image is indexed through the colour table, so both stay.
    if (native && mBits && NativeGivesBack(mBits.get(), native, PixelCount(), *display)) {
      mBits.reset();
      mPackedBits.reset();
    } else {
      PackBits();
    }
    return;
  }
  // Until the textures exist, and where they have fewer bits a channel than the pixels (5-6-5,
  // 4-4-4-4) and would give other colours back after a road switch, the pixels stay, packed where that
  // pays.
  if (!mTextureData) {
    PackBits();
    return;
  }
  if (mBits || mColorIndices) {
    if (!mApp->TexturesHoldPixels(this)) {
      PackBits();
      return;
    }
  } else if (mPackedBits) {
    return;
  }
  mBits.reset();
  mPackedBits.reset();
  mColorIndices.reset();
  mColorTable.reset();
  mNumColors = 0;
  // Palette-sized native data cannot stand for the pixels once the indices are gone.
  mNativeAlphaData.reset();
}

bool MemoryImage::PackBits() {
  if (!mBits) return false;
  std::unique_ptr<PackedPixels> packed = PackedPixels::Pack(mBits.get(), PixelCount());
  if (!packed) return false;
  mPackedBits = std::move(packed);
  mBits.reset();
  return true;
}

void MemoryImage::Restore() {
  if (mWantPal) ReduceToPalette();
  if (mPurgeBits) DropBits();
}

bool MemoryImage::ReduceToPalette() {
  ScanAlpha();
  if (mColorTable) return true;
  const uint32_t* bits = GetArgbBits();
  if (!bits) return false;
  const size_t n = PixelCount();
  auto indices = std::make_unique<uint8_t[]>(n);
  auto table = std::make_unique<uint32_t[]>(256);
  int numColors = 0;
  if (!BuildPalette(bits, n, indices.get(), table.get(), numColors)) {
    mWantPal = false;
    return false;
  }
  // Unused entries repeat entry 0 so that the texture palette is deterministic.
  std::fill(table.get() + numColors, table.get() + 256, numColors > 0 ? table[0] : 0u);
  mColorIndices = std::move(indices);
  mColorTable = std::move(table);
  mNumColors = numColors;
  mBits.reset();
  mPackedBits.reset();
  mNativeAlphaData.reset();
  mWantPal = true;
  return true;
}

}  // namespace Velk
