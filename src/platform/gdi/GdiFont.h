#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"

struct FT_FaceRec_;

// Where text output lands: 32-bit pixels and the rectangle that may be written (inside the pixels).
struct TextTarget {
  uint32_t* pixels = nullptr;
  int pitch = 0;  // in pixels
  RECT clip;
};

// A font: its description and the FreeType face rendering it at the requested pixel size. A face
// that cannot be opened leaves a font with zero metrics that measures 0 and draws nothing.
class GdiFont : public GdiObject {
 public:
  explicit GdiFont(const LOGFONTA& description, bool stock = false);
  ~GdiFont() override;

  const LOGFONTA& Description() const { return mDescription; }
  int Ascent() const { return mAscent; }
  int Descent() const { return mDescent; }
  // The sum of the hinted advances of one line, no kerning.
  int LineWidth(const wchar_t* text, int count) const;
  // (x, y) is the top-left of the text cell; pixel is 0x00RRGGBB.
  void Draw(const TextTarget& target, int x, int y, const wchar_t* text, int count, uint32_t pixel) const;

 private:
  // A rendered glyph: its advance and its coverage, 0..255, placed relative to pen and baseline.
  struct CachedGlyph {
    int advance = 0;
    int left = 0;
    int top = 0;  // rows above the baseline
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> coverage;
  };

  void SetPixelSize();
  // Renders on first use. Call with the FreeType mutex held.
  const CachedGlyph& Glyph(uint32_t codePoint) const;
  static void Blend(const TextTarget& target, const CachedGlyph& glyph, int left, int top, uint32_t pixel);

  LOGFONTA mDescription;
  FT_FaceRec_* mFace = nullptr;
  int mAscent = 0;
  int mDescent = 0;
  int mUnderlineTop = 0;  // below the baseline
  int mUnderlineThickness = 0;
  // Text is measured and drawn over and over; glyphs are rendered once. Guarded by the FreeType mutex.
  mutable std::unordered_map<uint32_t, CachedGlyph> mGlyphs;
};
