#include "scene/QCPickItem.h"

#include <cctype>
#include <charconv>

#include "engine/EngineUtil.h"
#include "engine/XmlAccess.h"
#include "platform/gdi/Gdi.h"
#include "scene/QCBoard_Game.h"
#include "scene/QCItemPart.h"

std::map<std::string, QCPickItem*> PickableMap;

namespace {

constexpr int kNameSize = 128;
constexpr int kPickSize = 260;
constexpr int kRegionSize = 2048;

// The attribute of each selected node, read into a buffer of `size` bytes; empty values are left out.
void ReadNameList(IXMLDOMNode* node, const wchar_t* path, const wchar_t* attribute, int size,
                  std::vector<std::string>& out) {
  XmlForEach(node, path, [&](IXMLDOMNode* item) {
    std::vector<char> buffer(static_cast<size_t>(size), '\0');
    XmlGetAttrString(item, attribute, buffer.data(), size);
    if (buffer[0] != '\0') out.push_back(buffer.data());
  });
}

QCPickPoint ReadPoint(IXMLDOMNode* node) {
  QCPickPoint point;
  char buffer[kNameSize] = {};
  XmlGetAttrString(node, L"owner", buffer, kNameSize);
  point.owner = buffer;
  buffer[0] = '\0';
  XmlGetAttrString(node, L"direction", buffer, kNameSize);
  point.direction = buffer;
  XmlGetAttrInt(node, L"offs_x", point.offsX);
  XmlGetAttrInt(node, L"offs_y", point.offsY);
  return point;
}

// The next whitespace-separated decimal integer; false at the end or at a token that is not one.
bool NextInt(const char*& p, const char* end, int& out) {
  while (p < end && std::isspace(static_cast<unsigned char>(*p))) ++p;
  const char* start = p;
  while (p < end && !std::isspace(static_cast<unsigned char>(*p))) ++p;
  if (start == p) return false;
  auto [last, error] = std::from_chars(start, p, out);
  return error == std::errc() && last == p;
}

}  // namespace

QCPickItem::~QCPickItem() {
  auto it = PickableMap.find(mName);
  if (it != PickableMap.end() && it->second == this) PickableMap.erase(it);
  DeleteObject(mRegion);
}

void QCPickItem::Reset(bool start) {
  QCItem::Reset(start);
  if (start) ResetClickMarkers();
}

void QCPickItem::SetSelected(uint32_t point, bool on) {
  // Pair items may name each other; a highlight already passing through here stops.
  if (mSelecting) return;
  mSelecting = true;
  QCItem::SetSelected(point, on);
  QCBoard_Game* board = GetCurrentBoard();
  QCItem* occupant = board ? board->FindPlaceOccupant(this) : nullptr;
  if (occupant && occupant != this) occupant->SetSelected(point, on);
  for (QCItem* pair : mPairItems)
    if (pair != this && pair != occupant) pair->SetSelected(point, on);
  mSelecting = false;
}

void QCPickItem::ApplySkinXml(IXMLDOMNode* node) {
  QCItem::ApplySkinXml(node);
  for (const std::string& name : mPairNames)
    if (QCItem* item = QCItem::FindByName(name)) mPairItems.push_back(item);
  for (const std::string& name : mPickNames)
    if (QCPickItem* pick = FindPickable(name)) mPicks.push_back(pick);
}

void QCPickItem::ReleaseImages() {
  QCItem::ReleaseImages();
  mPickNames.clear();
  mPicks.clear();
  mPairNames.clear();
  mPairItems.clear();
}

void QCPickItem::LoadFromXml(IXMLDOMNode* node) {
  QCItem::LoadFromXml(node);
  PickableMap.emplace(mName, this);
  ReadNameList(node, L"select_block", L"pair_item", kNameSize, mPairNames);
  ReadNameList(node, L"picks", L"pick", kPickSize, mPickNames);
  XmlForEach(node, L"point", [this](IXMLDOMNode* item) { mPoints.push_back(ReadPoint(item)); });
  std::vector<char> region(kRegionSize, '\0');
  XmlGetAttrString(node, L"rgn", region.data(), kRegionSize);
  ParseRegion(region.data());
  DeleteObject(mRegion);
  mRegion = nullptr;
  if (mRegionPoints.size() >= 2)
    mRegion = CreatePolygonRgn(mRegionPoints.data(), static_cast<int>(mRegionPoints.size()), WINDING);
}

void QCPickItem::ParseRegion(const std::string& text) {
  mRegionPoints.clear();
  const char* p = text.data();
  const char* end = p + text.size();
  int x = 0;
  int y = 0;
  // Pairs only: an unpaired last number is dropped.
  while (NextInt(p, end, x) && NextInt(p, end, y)) mRegionPoints.push_back(POINT{x, y});
}

void QCPickItem::ClearParts() {
  auto it = PickableMap.find(mName);
  if (it != PickableMap.end() && it->second == this) PickableMap.erase(it);
  QCItem::ClearParts();
}

bool QCPickItem::HitTest(int x, int y) {
  // A pick already being tested further up does not claim the point again.
  if (mHitTesting || !PtInRegion(mRegion, x, y)) return false;
  mHitTesting = true;
  bool claimed = false;
  for (QCPickItem* pick : mPicks)
    if (!claimed && pick->mActive && pick->mVisible && pick->HitTest(x, y)) claimed = true;
  mHitTesting = false;
  return !claimed;
}

void QCPickItem::ResetClickMarkers() {
  for (int i = 0; i < 2; ++i) {
    mMarkers[i] = FindPart("checkmark", i);
    mMarkerShown[i] = false;
    if (!mMarkers[i]) continue;
    mMarkers[i]->SetVisible(false);
    mMarkers[i]->PlayAnim("idle");
  }
}

void QCPickItem::ShowClickMarker() {
  for (int i = 0; i < 2; ++i) {
    if (!mMarkers[i] || mMarkers[i]->IsImageReady()) continue;
    mMarkers[i]->Show(true);
    mMarkerShown[i] = true;
    return;
  }
  DebugLog("Warning: object <%s> is over clicked... oh... slowly, please!", mName.c_str());
}

void QCPickItem::HideClickMarker() {
  for (int i = 1; i >= 0; --i) {
    if (!mMarkers[i] || !mMarkerShown[i]) continue;
    mMarkers[i]->Show(false);
    mMarkerShown[i] = false;
    return;
  }
}

bool QCPickItem::FindPoint(const std::string& owner, int& x, int& y, std::string& direction) const {
  for (const QCPickPoint& point : mPoints) {
    if (point.owner != owner) continue;
    x = point.offsX;
    y = point.offsY;
    direction = point.direction;
    return true;
  }
  return false;
}

QCItem* QCPickItem::PairAt(int i) const {
  return i < 0 || i >= PairCount() ? nullptr : mPairItems[static_cast<size_t>(i)];
}

QCPickItem* QCPickItem::FindPickable(const std::string& name) {
  auto it = PickableMap.find(name);
  return it == PickableMap.end() ? nullptr : it->second;
}
