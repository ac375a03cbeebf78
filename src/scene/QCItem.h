#pragma once
// A thing standing in the cafe scene: a named, positioned container of drawable parts with an
// optional effect, a skin and an orientation that its parts combine into animation names, timed
// states that rest the parts between plays, and a countdown that calls a hook.
//
// The scene's objects are made once per level load, on the loading thread, from the scene document
// by class keyword; they live in SceneObjectList (owning, document order) and SceneObjectMap (by
// name, the first of a name). Afterwards only the main thread touches them.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/QCEffect.h"
#include "engine/QCIEffect.h"
#include "scene/QCIUpgrade.h"

class IXMLDOMNode;
class QCItemPart;

struct QCTimedState {
  std::string name;
  uint32_t frame = 0;
  float min = 0.0f;
  float max = 0.0f;
};

class QCItem : public QCIEffect, public QCIUpgrade {
 public:
  QCItem() = default;
  virtual ~QCItem();
  QCItem(const QCItem&) = delete;
  QCItem& operator=(const QCItem&) = delete;

  // QCIEffect: an effect moves the object by its offset; the rest belongs to the parts.
  void SetAlpha(float) override {}
  void SetScale(float) override {}
  void SetVisible(bool visible) override;
  void SetPivotX(int) override {}
  void SetPivotY(int) override {}
  void SetOffsetX(int x) override { mOffsX = x; }
  void SetOffsetY(int y) override { mOffsY = y; }

  // QCIUpgrade
  void ApplyUpgradeSkin(const std::string& skin) override;

  // true: shown for the level's start; false: nothing here.
  virtual void Reset(bool start);
  // Mobile parts are slotted into the draw order by where they stand.
  virtual bool IsMobile() const { return false; }
  virtual void OnDelayDone(uint32_t code) { (void)code; }
  // A part's running animation was stopped.
  virtual void OnPartStopped(QCItemPart* part, const std::string& anim) { (void)part, (void)anim; }
  virtual void StartTimedState(const std::string& name);
  virtual bool IsMoving() const { return false; }
  virtual bool IsBusy() const { return false; }
  // The hover highlight; `point` is the mouse position packed as MAKELONG(x, y).
  virtual void SetSelected(uint32_t point, bool on);
  virtual bool IsSelected() const { return mSelected; }
  // The level file's settings for this object.
  virtual void ApplySkinXml(IXMLDOMNode* node);
  virtual void ReleaseImages();
  virtual void LoadFromXml(IXMLDOMNode* node);
  virtual void ClearParts();
  virtual void Update();
  // Two passes, test then doing, from a walker arriving here. The context is shared by the four
  // calls of one arrival.
  virtual bool Interact(QCItem* other, bool test, int* context);
  virtual void OnStateElapsed(const std::string& name);

  static QCItem* FindByName(const std::string& name);
  bool HasName(const std::string& text) const { return mName == text; }
  void SetSkin(const std::string& name, bool toParts);
  void SetOrientation(const std::string& code, bool toParts);
  bool PlayAnim(const std::string& name, float* outLength = nullptr);
  void PlayPartsAnim(const std::string& name, bool reorient);
  QCItemPart* FindPart(const std::string& name, int n) const;
  void SetPartsFrame(int frame);
  void PauseParts(bool pause);
  void SendMessage(const std::string& text);
  void Show(bool show);
  void AddTimedState(const std::string& name, uint32_t frame, float min, float max);
  void RemoveTimedState(const std::string& name);
  void SetDelay(float seconds, uint32_t code);
  bool HasDelay() const { return mDelay != 0.0f; }
  // The scene position of a point given relative to the object.
  int WorldX(int x) const { return mPosX + mOffsX + x; }
  int WorldY(int y) const { return mPosY + mOffsY + y; }

  std::string mName;
  std::string mMask;  // the cafe's product mask; unused here
  bool mVisible = false;
  bool mActive = false;
  bool mSelected = false;
  std::string mSkin;
  std::string mOrientation;
  std::string mCurrentAnim;
  std::vector<QCItemPart*> mParts;  // owned
  std::vector<QCTimedState> mTimedStates;
  std::string mCurrentTimedState;
  bool mTimedRunning = false;
  float mTimedRemaining = 0.0f;
  QCEffect* mEffect = nullptr;  // owned
  // Parameter 256 of the effect: a record per part, at most 15.
  EffectTargetList mTargets;
  int mPosX = 0;
  int mPosY = 0;
  int mOffsX = 0;
  int mOffsY = 0;
  float mDelay = 0.0f;
  uint32_t mDelayCode = 0;

 protected:
  void EnterTimedState(const std::string& name);

 private:
  const QCTimedState* FindTimedState(const std::string& name) const;
  void TickTimedState();
  void TickDelay();
};

// The factory: a creator per class keyword. The keywords are fixed; rows without a creator are
// unknown classes.
using SceneObjectCreator = QCItem* (*)();
// False for a keyword that is not one of the table's.
bool SetSceneObjectCreator(const std::string& keyword, SceneObjectCreator creator);
SceneObjectCreator GetSceneObjectCreator(const std::string& keyword);

extern std::map<std::string, QCItem*> SceneObjectMap;
extern std::vector<QCItem*> SceneObjectList;
extern QCItem* SceneBossObject;
extern QCItem* SceneBonusObject;

// The scene-wide steps of a level's life; the loops call active objects only.
void CreateSceneObjects(IXMLDOMNode* root);
void ApplyLevelObjects(IXMLDOMNode* levelNode);
void RegisterSceneParts();
void UpdateSceneObjects();
void ResetSceneObjects(bool start);
void ReleaseSceneImages();
void DestroySceneObjects();
