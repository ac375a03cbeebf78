#include "fonts/ImageFont.h"

#include <algorithm>

#include "common/CriticalSection.h"
#include "common/StringUtil.h"
#include "fonts/FontData.h"
#include "fonts/TruncToInt.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"

namespace Velk {

namespace {

constexpr int kMaxGlyphCommands = 4096;
constexpr int kOrderSlots = 256;

struct GlyphCommand {
  Image* image = nullptr;
  int x = 0;
  int y = 0;
  Rect src;
  int drawMode = -1;  // -1 keeps the context's mode
  Color color;
  GlyphCommand* next = nullptr;
};

// Shared by every image font; guarded by its lock for the whole of a draw.
struct RenderState {
  CriticalSection lock;
  GlyphCommand pool[kMaxGlyphCommands];
  int used = 0;
  GlyphCommand* first[kOrderSlots] = {};
  GlyphCommand* last[kOrderSlots] = {};

  void Reset() {
    used = 0;
    std::fill(std::begin(first), std::end(first), nullptr);
    std::fill(std::begin(last), std::end(last), nullptr);
  }

  void Append(int slot, const GlyphCommand& command) {
    GlyphCommand* c = &pool[used++];
    *c = command;
    if (last[slot])
      last[slot]->next = c;
    else
      first[slot] = c;
    last[slot] = c;
  }
};

RenderState& GetRenderState() {
  static RenderState state;
  return state;
}

int MixChannel(int color, int mult, int add) {
  return static_cast<int>(std::clamp<long long>(static_cast<long long>(color) * mult / 255 + add, 0, 255));
}

Color LayerColor(const Color& c, const FontLayer& layer) {
  const Color& m = layer.mColorMult;
  const Color& a = layer.mColorAdd;
  return Color(MixChannel(c.mRed, m.mRed, a.mRed), MixChannel(c.mGreen, m.mGreen, a.mGreen),
               MixChannel(c.mBlue, m.mBlue, a.mBlue), MixChannel(c.mAlpha, m.mAlpha, a.mAlpha));
}

bool Contains(const std::vector<std::string>& tags, const std::string& tag) {
  return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

}  // namespace

ImageFont::ImageFont(FontHost* app, const std::string& descriptorPath) : mFontData(new FontData) {
  mFontData->Ref();
  mFontData->Load(app, descriptorPath);
  mPointSize = mFontData->mDefaultPointSize;
  GenerateActiveFontLayers();
  mActiveListValid = true;
}

ImageFont::ImageFont(const ImageFont& other)
    : Font(other),
      mFontData(other.mFontData),
      mPointSize(other.mPointSize),
      mTagVector(other.mTagVector),
      mActiveListValid(other.mActiveListValid),
      mActiveLayerList(other.mActiveListValid ? other.mActiveLayerList : std::vector<ActiveFontLayer>()),
      mScale(other.mScale) {
  mFontData->Ref();
}

ImageFont::~ImageFont() {
  // The layers point into the font data; let them go first.
  mActiveLayerList.clear();
  mFontData->DeRef();
}

Font* ImageFont::Duplicate() { return new ImageFont(*this); }

bool ImageFont::LayerApplies(const FontLayer& layer) const {
  if (mPointSize < layer.mMinPointSize) return false;
  if (layer.mMaxPointSize != -1 && mPointSize > layer.mMaxPointSize) return false;
  for (const std::string& tag : layer.mRequiredTags)
    if (!Contains(mTagVector, tag)) return false;
  for (const std::string& tag : mTagVector)
    if (Contains(layer.mExcludedTags, tag)) return false;
  return true;
}

double ImageFont::LayerScale(const FontLayer& layer) const {
  return layer.mPointSize != 0 ? mPointSize * mScale / layer.mPointSize : mScale;
}

void ImageFont::GenerateActiveFontLayers() {
  if (!mFontData->mInitialized) return;
  mActiveLayerList.clear();
  mAscent = mAscentPadding = mHeight = mLineSpacingOffset = 0;
  for (const FontLayer& layer : mFontData->mFontLayerList)
    if (LayerApplies(layer)) AddActiveLayer(layer, mActiveLayerList.empty());
}

void ImageFont::AddActiveLayer(const FontLayer& layer, bool first) {
  ActiveFontLayer& active = mActiveLayerList.emplace_back();
  active.mBaseFontLayer = &layer;
  double r = 1.0;
  if (mScale == 1.0 && (layer.mPointSize == 0 || layer.mPointSize == mPointSize)) {
    active.mScaledImage = layer.mImage.get();
    for (const auto& [c, glyph] : layer.mCharData) active.mScaledCharImageRects[c] = glyph.mImageRect;
  } else {
    r = LayerScale(layer);
    BuildScaledImage(active, layer, r);
  }
  const int ascent = TruncToInt(layer.mAscent * r);
  const int height = TruncToInt((layer.mHeight != 0 ? layer.mHeight : layer.mDefaultHeight) * r);
  const int padding = TruncToInt(layer.mAscentPadding * r);
  const int lineSpacing = TruncToInt(layer.mLineSpacingOffset * r);
  mAscent = std::max(mAscent, ascent);
  mHeight = std::max(mHeight, height);
  mAscentPadding = first ? padding : std::min(mAscentPadding, padding);
  mLineSpacingOffset = first ? lineSpacing : std::max(mLineSpacingOffset, lineSpacing);
}

// Lays the glyphs out in one row, each stretched by the ratio, in character order.
void ImageFont::BuildScaledImage(ActiveFontLayer& active, const FontLayer& layer, double ratio) {
  auto* image = new MemoryImage();
  active.mScaledImage = image;
  active.mOwnsImage = true;
  int pen = 0, tallest = 0;
  for (const auto& [c, glyph] : layer.mCharData) {
    const int w = std::max(0, TruncToInt(glyph.mImageRect.mWidth * ratio));
    const int h = std::max(0, TruncToInt(glyph.mImageRect.mHeight * ratio));
    active.mScaledCharImageRects[c] = Rect(pen, 0, w, h);
    pen = ClampToInt(static_cast<long long>(pen) + w);
    tallest = std::max(tallest, h);
  }
  image->CreateBlank(pen, tallest);
  if (layer.mImage) {
    Graphics g(image);
    for (const auto& [c, glyph] : layer.mCharData)
      g.DrawImage(layer.mImage.get(), active.mScaledCharImageRects[c], glyph.mImageRect);
  }
  image->ReduceToPalette();
}

void ImageFont::Prepare() {
  if (mActiveListValid) return;
  GenerateActiveFontLayers();
  mActiveListValid = true;
}

int ImageFont::CharWidth(wchar_t c) { return CharWidthKern(c, 0); }

int ImageFont::CharWidthKern(wchar_t c, wchar_t prev) {
  Prepare();
  long long widest = 0;
  bool any = false;
  for (const ActiveFontLayer& active : mActiveLayerList) {
    const FontLayer& layer = *active.mBaseFontLayer;
    const double r = LayerScale(layer);
    const long long w = TruncToInt(layer.FindGlyph(c).mWidth * r);
    const long long k = prev == 0 ? 0 : TruncToInt((layer.mSpacing + layer.FindGlyph(prev).KerningTo(c)) * r);
    widest = any ? std::max(widest, w + k) : w + k;
    any = true;
  }
  return ClampToInt(widest);
}

int ImageFont::StringWidth(const std::wstring& str) {
  long long width = 0;
  for (size_t i = 0; i < str.size(); ++i) width += CharWidthKern(str[i], i > 0 ? str[i - 1] : 0);
  return ClampToInt(width);
}

void ImageFont::DrawString(Graphics* g, int x, int y, const std::wstring& str, const Color& color, const Rect& clip) {
  DrawStringEx(g, x, y, str, color, clip, nullptr, nullptr);
}

void ImageFont::DrawStringEx(Graphics* g, int x, int y, const std::wstring& str, const Color& color, const Rect&,
                             std::vector<Rect>* drawnRects, int* width) {
  RenderState& state = GetRenderState();
  std::lock_guard<CriticalSection> lock(state.lock);
  state.Reset();
  if (drawnRects) drawnRects->clear();
  if (!mFontData->mInitialized) {
    if (width) *width = 0;
    return;
  }
  Prepare();
  const bool wasColorizing = g->GetImageColorize();
  g->SetImageColorize(true);
  long long pen = x;
  for (size_t i = 0; i < str.size(); ++i) {
    const wchar_t c = str[i];
    const wchar_t next = i + 1 < str.size() ? str[i + 1] : 0;
    long long m = pen;
    for (const ActiveFontLayer& active : mActiveLayerList) {
      if (state.used == kMaxGlyphCommands) break;
      const FontLayer& layer = *active.mBaseFontLayer;
      const GlyphRecord& glyph = layer.FindGlyph(c);
      // Per layer, from the font's own scale.
      const double s = LayerScale(layer);
      const int kern = next ? glyph.KerningTo(next) : 0;
      long long dx, dy, advance, k;
      if (s == 1.0) {
        dx = static_cast<long long>(glyph.mOffsetX) + layer.mOffsetX + pen;
        dy = static_cast<long long>(glyph.mOffsetY) + layer.mOffsetY - layer.mAscent + y;
        advance = glyph.mWidth;
        k = next ? static_cast<long long>(kern) + layer.mSpacing : 0;
      } else {
        dx = TruncToInt((static_cast<double>(glyph.mOffsetX) + layer.mOffsetX) * s) + pen;
        dy = y - static_cast<long long>(
                     TruncToInt((static_cast<double>(layer.mAscent) - layer.mOffsetY - glyph.mOffsetY) * s));
        advance = TruncToInt(glyph.mWidth * s);
        k = next ? TruncToInt((static_cast<double>(layer.mSpacing) + kern) * s) : 0;
      }
      GlyphCommand command;
      command.image = active.mScaledImage;
      command.x = ClampToInt(dx);
      command.y = ClampToInt(dy);
      command.src = active.ScaledRect(c);
      command.drawMode = layer.mDrawMode;
      command.color = LayerColor(color, layer);
      const long long order = static_cast<long long>(glyph.mOrder) + layer.mBaseOrder;
      state.Append(static_cast<int>(std::clamp<long long>(order + 128, 0, kOrderSlots - 1)), command);
      if (drawnRects) drawnRects->push_back(Rect(command.x, command.y, command.src.mWidth, command.src.mHeight));
      m = std::max(m, pen + advance + k);
    }
    pen = m;
  }
  if (width) *width = ClampToInt(pen - x);

  const Color oldColor = g->GetColor();
  for (int slot = 0; slot < kOrderSlots; ++slot) {
    for (const GlyphCommand* command = state.first[slot]; command; command = command->next) {
      const int oldMode = g->GetDrawMode();
      if (command->drawMode != -1) g->SetDrawMode(command->drawMode);
      g->SetColor(command->color);
      if (command->image) g->DrawImage(command->image, command->x, command->y, command->src);
      g->SetDrawMode(oldMode);
    }
  }
  g->SetColor(oldColor);
  g->SetImageColorize(wasColorizing);
}

void ImageFont::SetPointSize(int pointSize) {
  mPointSize = pointSize;
  mActiveListValid = false;
}

int ImageFont::GetPointSize() { return mPointSize; }

void ImageFont::SetScale(double scale) {
  mScale = scale;
  mActiveListValid = false;
}

int ImageFont::GetDefaultPointSize() { return mFontData->mDefaultPointSize; }

bool ImageFont::AddTag(const std::string& tag) {
  if (HasTag(tag)) return false;
  mTagVector.push_back(ToUpper(tag));
  mActiveListValid = false;
  return true;
}

bool ImageFont::RemoveTag(const std::string& tag) {
  auto it = std::find(mTagVector.begin(), mTagVector.end(), ToUpper(tag));
  if (it == mTagVector.end()) return false;
  mTagVector.erase(it);
  mActiveListValid = false;
  return true;
}

bool ImageFont::HasTag(const std::string& tag) { return Contains(mTagVector, ToUpper(tag)); }

std::wstring ImageFont::GetDefine(const std::wstring& name) {
  const DataElement* define = mFontData->FindDefine(name);
  return define ? DescParser::DataElementToString(*define) : std::wstring();
}

}  // namespace Velk
