#include "fonts/FontData.h"

#include <cstdint>

#include "common/Parse.h"
#include "common/Path.h"
#include "common/StringUtil.h"
#include "fonts/FontHost.h"
#include "graphics/MemoryImage.h"

namespace Velk {

namespace {

const std::wstring& WordOf(const DataElement& element) {
  return static_cast<const SingleDataElement&>(element).mString;
}

std::string LayerKey(const std::wstring& name) { return ToUpper(Narrow(name)); }

}  // namespace

struct FontData::Command {
  const wchar_t* name;
  int paramCount;  // -1: any
  bool (*run)(FontData& font, const Params& p, Status& status);
};

const FontData::Command FontData::kCommands[] = {
    {L"Define", 2, [](FontData& f, const Params& p, Status& s) { return f.Define(p, s); }},
    {L"CreateHorzSpanRectList", 3,
     [](FontData& f, const Params& p, Status& s) { return f.CreateHorzSpanRectList(p, s); }},
    {L"SetDefaultPointSize", 1, [](FontData& f, const Params& p, Status& s) { return f.SetDefaultPointSize(p, s); }},
    {L"CreateLayer", 1, [](FontData& f, const Params& p, Status& s) { return f.CreateLayer(p, s); }},
    {L"CreateLayerFrom", 2, [](FontData& f, const Params& p, Status& s) { return f.CreateLayerFrom(p, s); }},
    {L"LayerRequireTags", 2, [](FontData& f, const Params& p, Status& s) { return f.LayerRequireTags(p, s); }},
    {L"LayerExcludeTags", 2, [](FontData& f, const Params& p, Status& s) { return f.LayerExcludeTags(p, s); }},
    {L"LayerPointRange", 3, [](FontData& f, const Params& p, Status& s) { return f.LayerPointRange(p, s); }},
    {L"LayerSetPointSize", 2,
     [](FontData& f, const Params& p, Status& s) { return f.SetLayerInt(p, s, &FontLayer::mPointSize); }},
    {L"LayerSetHeight", 2,
     [](FontData& f, const Params& p, Status& s) { return f.SetLayerInt(p, s, &FontLayer::mHeight); }},
    {L"LayerSetImage", 2, [](FontData& f, const Params& p, Status& s) { return f.LayerSetImage(p, s); }},
    {L"LayerSetDrawMode", 2, [](FontData& f, const Params& p, Status& s) { return f.LayerSetDrawMode(p, s); }},
    {L"LayerSetColorMult", 2,
     [](FontData& f, const Params& p, Status& s) { return f.SetLayerColor(p, s, &FontLayer::mColorMult); }},
    {L"LayerSetColorAdd", 2,
     [](FontData& f, const Params& p, Status& s) { return f.SetLayerColor(p, s, &FontLayer::mColorAdd); }},
    {L"LayerSetAscent", 2,
     [](FontData& f, const Params& p, Status& s) { return f.SetLayerInt(p, s, &FontLayer::mAscent); }},
    {L"LayerSetAscentPadding", 2,
     [](FontData& f, const Params& p, Status& s) { return f.SetLayerInt(p, s, &FontLayer::mAscentPadding); }},
    {L"LayerSetLineSpacingOffset", 2,
     [](FontData& f, const Params& p, Status& s) { return f.SetLayerInt(p, s, &FontLayer::mLineSpacingOffset); }},
    {L"LayerSetOffset", 2, [](FontData& f, const Params& p, Status& s) { return f.LayerSetOffset(p, s); }},
    {L"LayerSetCharWidths", 3,
     [](FontData& f, const Params& p, Status& s) { return f.SetGlyphInts(p, s, &GlyphRecord::mWidth); }},
    {L"LayerSetSpacing", 2,
     [](FontData& f, const Params& p, Status& s) { return f.SetLayerInt(p, s, &FontLayer::mSpacing); }},
    {L"LayerSetImageMap", 3, [](FontData& f, const Params& p, Status& s) { return f.LayerSetImageMap(p, s); }},
    {L"LayerSetCharOffsets", 3, [](FontData& f, const Params& p, Status& s) { return f.LayerSetCharOffsets(p, s); }},
    {L"LayerSetKerningPairs", 3, [](FontData& f, const Params& p, Status& s) { return f.LayerSetKerningPairs(p, s); }},
    {L"LayerSetBaseOrder", 2,
     [](FontData& f, const Params& p, Status& s) { return f.SetLayerInt(p, s, &FontLayer::mBaseOrder); }},
    {L"LayerSetCharOrders", 3,
     [](FontData& f, const Params& p, Status& s) { return f.SetGlyphInts(p, s, &GlyphRecord::mOrder); }},
    {L"LayerSetCharOffsetsShift", -1, [](FontData&, const Params&, Status&) { return true; }},
};

bool FontData::Error(const std::wstring& msg) {
  std::wstring text = mFontErrorHeader + msg;
  if (!mCurrentLine.empty()) text += FormatWString(L" on Line %d:\r\n\r\n", mCurrentLineNum) + mCurrentLine;
  DescParser::Error(text);
  if (mApp) mApp->PopupError(text);
  return false;
}

bool FontData::Load(FontHost* app, const std::string& path) {
  if (mInitialized) return false;
  mApp = app;
  mCurrentLine.clear();
  mFontErrorHeader = L"Font Descriptor Error in " + Widen(path) + L"\r\n";
  mSourceFile = path;
  mInitialized = LoadDescriptor(path);
  return true;
}

void FontData::Ref() { ++mRefCount; }

void FontData::DeRef() {
  if (--mRefCount == 0) delete this;
}

bool FontData::GetLayer(const DataElement& element, FontLayer*& out) {
  out = nullptr;
  if (element.mIsList) return false;
  auto it = mFontLayerMap.find(LayerKey(WordOf(element)));
  if (it == mFontLayerMap.end()) return Error(L"Undefined Layer");
  out = it->second;
  return true;
}

bool FontData::HandleCommand(const ListDataElement& params) {
  const auto& elements = params.mElementVector;
  const std::wstring name = ToUpperW(WordOf(*elements[0]));
  for (const Command& command : kCommands) {
    if (name != ToUpperW(command.name)) continue;
    const Params p(elements.begin() + 1, elements.end());
    if (command.paramCount >= 0 && p.size() != static_cast<size_t>(command.paramCount))
      return Error(L"Invalid Number of Parameters");
    Status status;
    if (!command.run(*this, p, status)) return false;
    if (status.badType) return Error(L"Invalid Paramater Type");
    if (status.sizeMismatch) return Error(L"List Size Mismatch");
    return true;
  }
  return Error(L"Unknown Command");
}

bool FontData::GetInt(const DataElement& element, int& out, Status& status) {
  if (!element.mIsList && ParseIntW(WordOf(element), out)) return true;
  status.badType = true;
  return false;
}

FontLayer* FontData::LayerParam(const DataElement& element, Status& status) {
  FontLayer* layer = nullptr;
  if (!GetLayer(element, layer)) status.badType = true;
  return layer;
}

void FontData::AddLayer(const DataElement& name, const FontLayer& layer, Status& status) {
  if (name.mIsList) {
    status.badType = true;
    return;
  }
  mFontLayerList.push_back(layer);
  // A second layer of the same name stays in the list, reachable by no name.
  auto [it, added] = mFontLayerMap.emplace(LayerKey(WordOf(name)), &mFontLayerList.back());
  if (!added) Error(L"Layer Already Exists");
}

bool FontData::Define(const Params& p, Status& status) {
  if (p[0]->mIsList || IsImmediate(WordOf(*p[0]))) {
    status.badType = true;
    return true;
  }
  const std::wstring& name = WordOf(*p[0]);
  SetDefine(name, nullptr);
  DataElement* value = nullptr;
  if (p[1]->mIsList) {
    auto* list = new ListDataElement;
    if (!DataToList(static_cast<const ListDataElement&>(*p[1]), *list)) {
      delete list;
      return false;
    }
    value = list;
  } else if (const DataElement* define = FindDefine(WordOf(*p[1]))) {
    value = define->Duplicate();
  } else {
    value = p[1]->Duplicate();
  }
  SetDefine(name, value);
  return true;
}

bool FontData::CreateHorzSpanRectList(const Params& p, Status& status) {
  std::vector<int> rect, widths;
  if (p[0]->mIsList || !GetIntList(*p[1], rect) || rect.size() != 4 || !GetIntList(*p[2], widths)) {
    status.badType = true;
    return true;
  }
  auto* list = new ListDataElement;
  int64_t x = rect[0];
  for (int width : widths) {
    auto* r = new ListDataElement;
    for (int64_t v : {x, static_cast<int64_t>(rect[1]), static_cast<int64_t>(width), static_cast<int64_t>(rect[3])})
      r->mElementVector.push_back(new SingleDataElement(FormatWString(L"%d", static_cast<int>(v))));
    list->mElementVector.push_back(r);
    x += width;
  }
  SetDefine(WordOf(*p[0]), list);
  return true;
}

bool FontData::SetDefaultPointSize(const Params& p, Status& status) {
  GetInt(*p[0], mDefaultPointSize, status);
  return true;
}

bool FontData::CreateLayer(const Params& p, Status& status) {
  AddLayer(*p[0], FontLayer(this), status);
  return true;
}

bool FontData::CreateLayerFrom(const Params& p, Status& status) {
  if (const FontLayer* source = LayerParam(*p[1], status)) AddLayer(*p[0], *source, status);
  return true;
}

bool FontData::LayerRequireTags(const Params& p, Status& status) {
  return AddTags(p, status, &FontLayer::mRequiredTags);
}

bool FontData::LayerExcludeTags(const Params& p, Status& status) {
  return AddTags(p, status, &FontLayer::mExcludedTags);
}

bool FontData::AddTags(const Params& p, Status& status, std::vector<std::string> FontLayer::*tags) {
  FontLayer* layer = LayerParam(*p[0], status);
  std::vector<std::wstring> words;
  if (!layer || !GetStringList(*p[1], words)) {
    status.badType = true;
    return true;
  }
  for (const std::wstring& word : words) (layer->*tags).push_back(LayerKey(word));
  return true;
}

bool FontData::LayerPointRange(const Params& p, Status& status) {
  FontLayer* layer = LayerParam(*p[0], status);
  int low = 0, high = 0;
  if (layer && GetInt(*p[1], low, status) && GetInt(*p[2], high, status)) {
    layer->mMinPointSize = low;
    layer->mMaxPointSize = high;
  }
  return true;
}

bool FontData::SetLayerInt(const Params& p, Status& status, int FontLayer::*field) {
  FontLayer* layer = LayerParam(*p[0], status);
  int value = 0;
  if (layer && GetInt(*p[1], value, status)) layer->*field = value;
  return true;
}

bool FontData::LayerSetImage(const Params& p, Status& status) {
  FontLayer* layer = LayerParam(*p[0], status);
  std::wstring file;
  if (!layer || !GetString(*p[1], file)) {
    status.badType = true;
    return true;
  }
  const std::string path = ResolvePath(Narrow(file), PathDirectory(mSourceFile, false));
  bool isNew = false;
  std::shared_ptr<Image> image = mApp ? mApp->GetSharedImage(path, "", &isNew) : nullptr;
  if (!image) return Error(L"Failed to Load Image");
  if (isNew)
    if (auto* memoryImage = dynamic_cast<MemoryImage*>(image.get())) memoryImage->ReduceToPalette();
  layer->mImage = image;
  return true;
}

bool FontData::LayerSetDrawMode(const Params& p, Status& status) {
  FontLayer* layer = LayerParam(*p[0], status);
  int mode = 0;
  if (!layer || !GetInt(*p[1], mode, status)) return true;
  if (mode == 0 || mode == 1)
    layer->mDrawMode = mode;
  else
    status.badType = true;
  return true;
}

bool FontData::SetLayerColor(const Params& p, Status& status, Color FontLayer::*field) {
  FontLayer* layer = LayerParam(*p[0], status);
  Color color;
  if (layer && GetColor(*p[1], color))
    layer->*field = color;
  else
    status.badType = true;
  return true;
}

bool FontData::LayerSetOffset(const Params& p, Status& status) {
  FontLayer* layer = LayerParam(*p[0], status);
  std::vector<int> offset;
  if (layer && GetIntList(*p[1], offset) && offset.size() == 2) {
    layer->mOffsetX = offset[0];
    layer->mOffsetY = offset[1];
  } else {
    status.badType = true;
  }
  return true;
}

bool FontData::SetGlyphInts(const Params& p, Status& status, int GlyphRecord::*field) {
  FontLayer* layer = LayerParam(*p[0], status);
  std::vector<std::wstring> chars;
  std::vector<int> values;
  if (!layer || !GetStringList(*p[1], chars) || !GetIntList(*p[2], values)) {
    status.badType = true;
    return true;
  }
  if (chars.size() != values.size()) {
    status.sizeMismatch = true;
    return true;
  }
  for (size_t i = 0; i < chars.size(); ++i) {
    if (chars[i].size() == 1)
      layer->Glyph(chars[i][0]).*field = values[i];
    else
      status.badType = true;
  }
  return true;
}

bool FontData::LayerSetImageMap(const Params& p, Status& status) {
  FontLayer* layer = LayerParam(*p[0], status);
  std::vector<std::wstring> chars;
  ListDataElement rects;
  if (!layer || !GetStringList(*p[1], chars) || !GetList(*p[2], rects)) {
    status.badType = true;
    return true;
  }
  if (chars.size() != rects.mElementVector.size()) {
    status.sizeMismatch = true;
    return true;
  }
  if (!layer->mImage) return Error(L"Layer image not set");
  const int64_t imageWidth = layer->mImage->GetWidth(), imageHeight = layer->mImage->GetHeight();
  for (size_t i = 0; i < chars.size(); ++i) {
    std::vector<int> r;
    if (chars[i].size() != 1 || !GetIntList(*rects.mElementVector[i], r) || r.size() != 4) {
      status.badType = true;
      continue;
    }
    if (r[0] < 0 || r[1] < 0 || int64_t{r[0]} + r[2] > imageWidth || int64_t{r[1]} + r[3] > imageHeight)
      return Error(L"Image rectangle out of bounds");
    layer->Glyph(chars[i][0]).mImageRect = Rect(r[0], r[1], r[2], r[3]);
  }
  int64_t tallest = 0;
  for (int c = 0; c < 256; ++c) {
    const GlyphRecord& glyph = layer->Glyph(static_cast<wchar_t>(c));
    tallest = std::max(tallest, int64_t{glyph.mImageRect.mHeight} + glyph.mOffsetY);
  }
  layer->mDefaultHeight = static_cast<int>(tallest);
  return true;
}

bool FontData::LayerSetCharOffsets(const Params& p, Status& status) {
  FontLayer* layer = LayerParam(*p[0], status);
  std::vector<std::wstring> chars;
  ListDataElement offsets;
  if (!layer || !GetStringList(*p[1], chars) || !GetList(*p[2], offsets)) {
    status.badType = true;
    return true;
  }
  if (chars.size() != offsets.mElementVector.size()) {
    status.sizeMismatch = true;
    return true;
  }
  for (size_t i = 0; i < chars.size(); ++i) {
    std::vector<int> offset;
    if (chars[i].size() != 1 || !GetIntList(*offsets.mElementVector[i], offset) || offset.size() != 2) {
      status.badType = true;
      continue;
    }
    GlyphRecord& glyph = layer->Glyph(chars[i][0]);
    glyph.mOffsetX = offset[0];
    glyph.mOffsetY = offset[1];
  }
  return true;
}

bool FontData::LayerSetKerningPairs(const Params& p, Status& status) {
  FontLayer* layer = LayerParam(*p[0], status);
  std::vector<std::wstring> pairs;
  std::vector<int> offsets;
  if (!layer || !GetStringList(*p[1], pairs) || !GetIntList(*p[2], offsets)) {
    status.badType = true;
    return true;
  }
  if (pairs.size() != offsets.size()) {
    status.sizeMismatch = true;
    return true;
  }
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (pairs[i].size() == 2)
      layer->Glyph(pairs[i][0]).mKerningOffsets[pairs[i][1]] = static_cast<int8_t>(offsets[i]);
    else
      status.badType = true;
  }
  return true;
}

}  // namespace Velk
