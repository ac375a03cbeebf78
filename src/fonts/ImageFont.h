#pragma once
#include <string>
#include <vector>

#include "fonts/ActiveFontLayer.h"
#include "fonts/Font.h"

namespace Velk {

class FontData;
class FontHost;
class FontLayer;

// A font drawn from images: the layers of a descriptor that apply at the font's point size, scale
// and tags, drawn as a stack whose glyphs are ranked by draw order.
class ImageFont : public Font {
 public:
  FontData* mFontData;  // counted reference, shared with every copy
  int mPointSize = 0;
  std::vector<std::string> mTagVector;  // upper-cased
  bool mActiveListValid = false;
  std::vector<ActiveFontLayer> mActiveLayerList;
  double mScale = 1.0;

  ImageFont(FontHost* app, const std::string& descriptorPath);
  ImageFont(const ImageFont& other);
  ImageFont& operator=(const ImageFont&) = delete;
  ~ImageFont() override;

  int StringWidth(const std::wstring& str) override;
  int CharWidth(wchar_t c) override;
  int CharWidthKern(wchar_t c, wchar_t prev) override;
  void DrawString(Graphics* g, int x, int y, const std::wstring& str, const Color& color, const Rect& clip) override;
  Font* Duplicate() override;

  virtual void GenerateActiveFontLayers();
  // The clip is the context's business. drawnRects and width may be null.
  virtual void DrawStringEx(Graphics* g, int x, int y, const std::wstring& str, const Color& color, const Rect& clip,
                            std::vector<Rect>* drawnRects, int* width);
  virtual void SetPointSize(int pointSize);
  virtual int GetPointSize();
  virtual void SetScale(double scale);
  virtual int GetDefaultPointSize();
  virtual bool AddTag(const std::string& tag);
  virtual bool RemoveTag(const std::string& tag);
  virtual bool HasTag(const std::string& tag);
  virtual std::wstring GetDefine(const std::wstring& name);
  // Regenerates the active layers when a setting changed since.
  virtual void Prepare();

 private:
  bool LayerApplies(const FontLayer& layer) const;
  double LayerScale(const FontLayer& layer) const;
  void AddActiveLayer(const FontLayer& layer, bool first);
  static void BuildScaledImage(ActiveFontLayer& active, const FontLayer& layer, double ratio);
};

}  // namespace Velk
