#pragma once
// A scene object the player can point at and click: a polygonal hit region in scene pixels, the
// objects that light up with it, smaller pickables lying on it that take clicks away from it, named
// approach points where walkers stand to use it, a busy count, and two click markers ("checkmark"
// parts) that show the actions queued on it.

#include <map>
#include <string>
#include <vector>

#include "platform/gdi/GdiRegion.h"
#include "scene/QCItem.h"

struct QCPickPoint {
  std::string owner;
  std::string direction;
  int offsX = 0;
  int offsY = 0;
};

class QCPickItem : public QCItem {
 public:
  QCPickItem() = default;
  ~QCPickItem() override;

  void Reset(bool start) override;
  void SetSelected(uint32_t point, bool on) override;
  void ApplySkinXml(IXMLDOMNode* node) override;
  void ReleaseImages() override;
  void LoadFromXml(IXMLDOMNode* node) override;
  void ClearParts() override;
  virtual void AddBusy() { ++mBusyCount; }
  virtual void ClearBusy() { mBusyCount = 0; }
  virtual bool CanPick(bool hit) const { return mActive && mVisible && hit; }

  bool HitTest(int x, int y);
  void ShowClickMarker();
  void HideClickMarker();
  void ResetClickMarkers();
  // The approach point for a walker of that name: its offset from the object and its facing.
  bool FindPoint(const std::string& owner, int& x, int& y, std::string& direction) const;
  int PairCount() const { return static_cast<int>(mPairItems.size()); }
  QCItem* PairAt(int i) const;
  static QCPickItem* FindPickable(const std::string& name);

  QCItemPart* mMarkers[2] = {nullptr, nullptr};
  bool mMarkerShown[2] = {false, false};
  std::vector<std::string> mPairNames;
  std::vector<QCItem*> mPairItems;
  std::vector<std::string> mPickNames;
  std::vector<QCPickItem*> mPicks;
  int mBusyCount = 0;
  std::vector<QCPickPoint> mPoints;
  std::vector<POINT> mRegionPoints;
  HRGN mRegion = nullptr;

 private:
  void ParseRegion(const std::string& text);
  // Set while this item's own hit test runs, so that picks naming each other end.
  bool mHitTesting = false;
  bool mSelecting = false;
};

// Every pickable of the scene by name, in byte order; the first of a name.
extern std::map<std::string, QCPickItem*> PickableMap;
