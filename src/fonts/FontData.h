#pragma once
#include <atomic>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "fonts/DescParser.h"
#include "fonts/FontLayer.h"

namespace Velk {

class FontHost;

// A bitmap font's descriptor: the layers and defines its file builds. Shared by an image font and
// all its copies through a reference count.
class FontData : public DescParser {
 public:
  bool mInitialized = false;  // a descriptor was read without error
  std::atomic<int> mRefCount{0};
  FontHost* mApp = nullptr;
  int mDefaultPointSize = 0;
  std::list<FontLayer> mFontLayerList;              // creation order, which is the drawing order
  std::map<std::string, FontLayer*> mFontLayerMap;  // by upper-cased name
  std::string mSourceFile;
  std::wstring mFontErrorHeader;

  FontData() = default;

  // Reports through the application's error box when there is one; the text is kept either way.
  bool Error(const std::wstring& msg) override;
  bool HandleCommand(const ListDataElement& params) override;

  // False, doing nothing, once a descriptor has been read; otherwise true whether or not the file
  // parsed: mInitialized tells.
  bool Load(FontHost* app, const std::string& path);
  bool GetLayer(const DataElement& element, FontLayer*& out);
  void Ref();
  // Deletes the object when the last reference goes.
  void DeRef();

 private:
  using Params = std::vector<const DataElement*>;
  // What a command found wrong beyond a failure it reported itself.
  struct Status {
    bool badType = false;
    bool sizeMismatch = false;
  };
  struct Command;
  static const Command kCommands[];

  bool GetInt(const DataElement& element, int& out, Status& status);
  FontLayer* LayerParam(const DataElement& element, Status& status);
  void AddLayer(const DataElement& name, const FontLayer& layer, Status& status);

  bool Define(const Params& p, Status& status);
  bool CreateHorzSpanRectList(const Params& p, Status& status);
  bool SetDefaultPointSize(const Params& p, Status& status);
  bool CreateLayer(const Params& p, Status& status);
  bool CreateLayerFrom(const Params& p, Status& status);
  bool LayerRequireTags(const Params& p, Status& status);
  bool LayerExcludeTags(const Params& p, Status& status);
  bool AddTags(const Params& p, Status& status, std::vector<std::string> FontLayer::*tags);
  bool LayerPointRange(const Params& p, Status& status);
  bool SetLayerInt(const Params& p, Status& status, int FontLayer::*field);
  bool LayerSetImage(const Params& p, Status& status);
  bool LayerSetDrawMode(const Params& p, Status& status);
  bool SetLayerColor(const Params& p, Status& status, Color FontLayer::*field);
  bool LayerSetOffset(const Params& p, Status& status);
  bool SetGlyphInts(const Params& p, Status& status, int GlyphRecord::*field);
  bool LayerSetImageMap(const Params& p, Status& status);
  bool LayerSetCharOffsets(const Params& p, Status& status);
  bool LayerSetKerningPairs(const Params& p, Status& status);
};

}  // namespace Velk
