#pragma once
#include <cstdint>
#include <memory>

#include "graphics/Image.h"
#include "graphics/PackedPixels.h"

namespace Velk {

class MemoryImageHost;
class NativeDisplay;
class ImageTextureSet;
enum class BlitOp : uint8_t;

// The software image: width x height 0xAARRGGBB words (row stride = width) followed by an end marker,
// or a 256-entry colour table with one index byte per pixel, plus caches derived from the pixels.
class MemoryImage : public Image {
 public:
  static constexpr uint32_t kEndMarker = 0x4BEEFADE;

  std::unique_ptr<uint32_t[]> mBits;
  int mBitsChangedCount = 0;
  ImageTextureSet* mTextureData = nullptr;  // the renderer's; never copied
  uint32_t mTextureFlags = 8;
  std::unique_ptr<uint32_t[]> mColorTable;
  std::unique_ptr<uint8_t[]> mColorIndices;
  int mNumColors = 0;  // colour-table entries in use
  bool mForcedMode = false;
  bool mHasTrans = false;  // some pixel has alpha 0
  bool mHasAlpha = false;  // some pixel has alpha 1..254
  bool mIsVolatile = false;
  bool mPurgeBits = false;
  bool mWantPal = false;
  std::unique_ptr<uint32_t[]> mNativeAlphaData;
  std::unique_ptr<uint8_t[]> mRLAlphaData;
  std::unique_ptr<uint8_t[]> mRLAdditiveData;
  std::unique_ptr<PackedPixels> mPackedBits;  // stands for the pixels while they are away
  bool mBitsChanged = false;                  // the alpha flags are stale
  MemoryImageHost* mApp = nullptr;

  MemoryImage();
  explicit MemoryImage(MemoryImageHost* app);
  MemoryImage(const MemoryImage& other);
  ~MemoryImage() override;

  void FillRect(const Rect& rect, const Color& color, int drawMode) override;
  void ClearRect(const Rect& rect) override;
  void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
  void DrawLineSmooth(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
  void FillSpansCoverage(const Span* spans, int count, const Color& color, int drawMode, const unsigned char* coverage,
                         int originX, int originY, int stride, bool unused) override;
  void Blit(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
  void BlitF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
             int drawMode) override;
  void BlitRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                   int drawMode, double angle, float centerX, float centerY) override;
  void BlitStretched(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                     int drawMode, bool fast) override;
  void BlitTransformed(Image* src, float x, float y, const Matrix3x3& matrix, const Rect& clip, const Color& color,
                       int drawMode, const Rect& srcRect, bool blend) override;
  void BlitTriangles(Image* src, const TriVertex (*triangles)[3], int count, const Rect& clip, const Color& color,
                     int drawMode, float x, float y, bool blend) override;

  virtual uint32_t* BuildDisplayFormatData(const NativeDisplay* display);
  virtual uint8_t* BuildAlphaRuns();
  virtual uint8_t* BuildAdditiveRuns(const NativeDisplay* display);
  virtual void DropBits();
  // Keeps the pixels packed instead when that takes at most half their room (false when it would not);
  // they are unpacked when asked for, and the picture draws and reads as before.
  bool PackBits();
  virtual void FreeSoftwareCaches();
  virtual void FreeTextureData();
  virtual void FreeAllCaches();
  virtual void Restore();
  virtual void OnBitsChanged();
  virtual void ScanAlpha();
  virtual void FreeDisplayFormatData();
  virtual void ClearPixels();
  virtual void SetPixels(const uint32_t* pixels, int width, int height, bool commit);
  // SetPixels without the copy: the image keeps `pixels`, which hold width x height words and one more
  // for the end marker.
  void TakePixels(std::unique_ptr<uint32_t[]> pixels, int width, int height, bool commit);
  virtual void CreateBlank(int width, int height);
  // Never null: pixels that cannot be rebuilt read as transparent black.
  virtual uint32_t* GetArgbBits();
  virtual void ForceAlphaFlags(bool hasTrans, bool hasAlpha);
  virtual void SetVolatile(bool isVolatile);
  virtual bool ReduceToPalette();

  static bool GetRotatedBlitBounds(float x, float y, const Rect& srcRect, const Rect& clip, double angle, DRect& bounds,
                                   float centerX, float centerY);
  static bool ClipStretchBlit(const Rect& srcRect, const Rect& clip, const Rect& destRect, DRect& outSrc,
                              Rect& outDest);
  static bool ClipStretchBlitMirrored(const Rect& srcRect, const Rect& clip, const Rect& destRect, DRect& outSrc,
                                      Rect& outDest);
  void SmoothStretchBlit(MemoryImage* src, const Rect& destRect, const DRect& srcRect);

  // The matrix and triangle workers, drawing into any pixel rows the format word describes (0x8888,
  // 0x888, 0x565, 0x555; the pitch in bytes); clip lies inside those rows, the hidden rows are left
  // as they are. False when nothing could be drawn from the source.
  static bool DrawTransformedInto(Image* src, float x, float y, const Matrix3x3& matrix, const Rect& clip,
                                  const Color& color, int drawMode, const Rect& srcRect, bool blend, void* destBits,
                                  int destPitch, int formatWord, const RowBand& hidden);
  static bool DrawTrianglesInto(Image* src, const TriVertex (*triangles)[3], int count, const Rect& clip,
                                const Color& color, int drawMode, float x, float y, bool blend, void* destBits,
                                int destPitch, int formatWord, const RowBand& hidden);

 private:
  size_t PixelCount() const { return static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight); }
  void AllocateBits();
  void FreeDisplayCaches(bool includeAlphaRuns);
  uint32_t* RebuildBits();
  void PixelsReplaced(bool commit);
  const uint8_t* SaturationTable() const;
  void TableBlit(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color, BlitOp op);
  void FastStretchBlit(MemoryImage* src, const Rect& destRect, const DRect& srcRect);
  void PlainLine(double x1, double y1, double x2, double y2, const Color& color, bool additive);
};

}  // namespace Velk
