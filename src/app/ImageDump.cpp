#include "app/ImageDump.h"

#include "common/StringUtil.h"
#include "graphics/DDImage.h"
#include "graphics/ImageTextureSet.h"
#include "graphics/MemoryImage.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/PathMap.h"
#include "resources/ImageLib.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Velk {

namespace {

constexpr int kThumbSize = 64;
constexpr int kPaletteBytes = 1024;

std::string Grouped(int value) { return Narrow(CommaSeparate(value)); }

std::string Cell(const std::string& contents) { return "<TD>" + contents + "</TD>\n"; }

std::string SizeCell(const char* label, int bytes) {
  return Cell(bytes ? std::string(label) + "<BR>" + Grouped(bytes) : "&nbsp;");
}

std::string FlagCell(const char* word, bool on) { return Cell(on ? word : "&nbsp;"); }

const char* FormatName(int format) {
  switch (format) {
    case ImageTextureSet::kA8R8G8B8:
      return "A8R8G8B8";
    case ImageTextureSet::kA4R4G4B4:
      return "A4R4G4B4";
    case ImageTextureSet::kR5G6B5:
      return "R5G6B5";
    case ImageTextureSet::kPalettized:
      return "Palette8";
    default:
      return "";
  }
}

std::unique_ptr<ImageLib::Image> CopyOf(const uint32_t* bits, int width, int height) {
  if (!bits || width <= 0 || height <= 0) return nullptr;
  std::unique_ptr<ImageLib::Image> copy = ImageLib::Image::Create(width, height);
  if (!copy) return nullptr;
  std::memcpy(copy->GetBits(), bits, static_cast<size_t>(copy->PixelCount()) * sizeof(uint32_t));
  return copy;
}

std::unique_ptr<ImageLib::Image> CopyOf(MemoryImage* image) {
  if (image->mWidth <= 0 || image->mHeight <= 0) return nullptr;
  return CopyOf(image->GetArgbBits(), image->mWidth, image->mHeight);
}

}  // namespace

ImageMemory ImageDump::MemoryOf(MemoryImage* image) {
  ImageMemory memory;
  int pixels = image->mWidth * image->mHeight;
  if (image->mBits) memory.bits = pixels * 4;
  auto* surfaceImage = dynamic_cast<DDImage*>(image);
  if (surfaceImage && surfaceImage->mSurface) memory.surface = pixels * 4;
  if (image->mColorIndices) memory.palettized = pixels + kPaletteBytes;
  if (image->mNativeAlphaData) memory.nativeAlpha = image->mColorIndices ? kPaletteBytes : pixels * 4;
  if (image->mRLAlphaData) memory.rlAlpha = pixels;
  if (image->mRLAdditiveData) memory.rlAdditive = pixels;
  if (image->mTextureData) {
    memory.texture = static_cast<int>(image->mTextureData->mTexMemSize);
    memory.textureFormat = image->mTextureData->mTextureFormat;
  }
  return memory;
}

std::unique_ptr<ImageLib::Image> ImageDump::Thumbnail(const uint32_t* bits, int width, int height) {
  if (!bits || width <= 0 || height <= 0) return nullptr;
  std::unique_ptr<ImageLib::Image> thumb = ImageLib::Image::Create(kThumbSize, kThumbSize);
  for (int y = 0; y < kThumbSize; ++y) {
    int sy = static_cast<int>((y + 0.5) * height / kThumbSize);
    for (int x = 0; x < kThumbSize; ++x) {
      int sx = static_cast<int>((x + 0.5) * width / kThumbSize);
      thumb->Row(y)[x] = bits[static_cast<size_t>(sy) * static_cast<size_t>(width) + static_cast<size_t>(sx)];
    }
  }
  return thumb;
}

bool ImageDump::WritePNG(MemoryImage* image, const std::string& path) {
  std::unique_ptr<ImageLib::Image> copy = CopyOf(image);
  return copy && ImageLib::WritePNGImage(path, copy.get());
}

bool ImageDump::WritePNG(const uint32_t* bits, int width, int height, const std::string& path) {
  std::unique_ptr<ImageLib::Image> copy = CopyOf(bits, width, height);
  return copy && ImageLib::WritePNGImage(path, copy.get());
}

std::string ImageDump::Row(int index, MemoryImage* image, const ImageMemory& memory) {
  std::string row = "<TR>\n";
  row += FormatString("<TD><A HREF=img%04d.png><IMG SRC=thumb%04d.jpg WIDTH=64 HEIGHT=64></A></TD>\n", index, index);
  row += "<TD ALIGN=RIGHT>" + FormatString("%d x %d<BR>", image->mWidth, image->mHeight) + Grouped(memory.Total()) +
         " bytes</TD>\n";
  row += SizeCell("mBits", memory.bits);
  row += SizeCell("Palletized", memory.palettized);
  row += SizeCell("DDSurface", memory.surface);
  row += Cell(memory.texture ? "Texture<BR>" + Grouped(memory.texture) + "<BR>" + FormatName(memory.textureFormat)
                             : "&nbsp;");
  row += FlagCell("Volatile", image->mIsVolatile);
  row += FlagCell("Forced", image->mForcedMode);
  row += FlagCell("HasAlpha", image->mHasAlpha);
  row += FlagCell("HasTrans", image->mHasTrans);
  row += SizeCell("NativeAlpha", memory.nativeAlpha);
  row += SizeCell("RLAlpha", memory.rlAlpha);
  row += SizeCell("RLAdditive", memory.rlAdditive);
  row += Cell(image->mFilePath.empty() ? "&nbsp;" : image->mFilePath);
  return row + "</TR>\n";
}

void ImageDump::WritePictures(int index, MemoryImage* image, const std::string& folder) {
  // An empty image has no pixels to sample or write.
  std::unique_ptr<ImageLib::Image> copy = CopyOf(image);
  if (!copy) return;
  std::unique_ptr<ImageLib::Image> thumb = Thumbnail(copy->GetBits(), copy->GetWidth(), copy->GetHeight());
  ImageLib::WriteJPEGImage(folder + FormatString("thumb%04d.jpg", index), thumb.get());
  ImageLib::WritePNGImage(folder + FormatString("img%04d.png", index), copy.get());
}

bool ImageDump::Write(const std::string& folder, const std::vector<MemoryImage*>& images, const std::string& timeText) {
  std::vector<std::pair<MemoryImage*, ImageMemory>> sized;
  ImageMemory totals;
  int total = 0;
  for (MemoryImage* image : images) {
    ImageMemory memory = MemoryOf(image);
    sized.emplace_back(image, memory);
    totals.bits += memory.bits;
    totals.palettized += memory.palettized;
    totals.surface += memory.surface;
    totals.texture += memory.texture;
    totals.nativeAlpha += memory.nativeAlpha;
    totals.rlAlpha += memory.rlAlpha;
    totals.rlAdditive += memory.rlAdditive;
    total += memory.Total();
  }
  std::stable_sort(sized.begin(), sized.end(),
                   [](const auto& a, const auto& b) { return a.second.Total() > b.second.Total(); });

  std::string page = "<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>" + timeText + "</B></FONT><BR>\n";
  page += "Total Image Allocation: " + Grouped(total) + " bytes<BR>\n";
  page += "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>\n";
  for (size_t i = 0; i < sized.size(); ++i) {
    page += Row(static_cast<int>(i), sized[i].first, sized[i].second);
    WritePictures(static_cast<int>(i), sized[i].first, folder);
  }
  page += "<TR>\n" + Cell("Totals");
  for (int value : {total, totals.bits, totals.palettized, totals.surface, totals.texture})
    page += Cell(Grouped(value));
  for (int i = 0; i < 4; ++i) page += Cell("&nbsp;");
  for (int value : {totals.nativeAlpha, totals.rlAlpha, totals.rlAdditive}) page += Cell(Grouped(value));
  page += Cell("&nbsp;") + "</TR>\n</TABLE></CENTER></BODY></HTML>\n";

  // Whole or not at all, like every file the program writes.
  return WriteFileAtomically(MapPath(folder + "imagelist.html"), page);
}

}  // namespace Velk
