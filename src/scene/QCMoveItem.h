#pragma once
// A scene object that walks the navigation graph: it works through a queue of clicked targets,
// plans a path to the graph point named like each target, walks it at its character's speed facing
// one of eight directions, and on arrival runs a two-sided interaction with the target. It can carry
// one object, jump to a named point, leave an afterimage trail and hide while idle at home.

#include <list>
#include <map>
#include <string>

#include "scene/QCItem.h"

class IXMLDOMNode;
class Navigator;
class QCPickItem;

struct QCOrientationDef {
  std::string actual;
  int ofsX = 0;
  int ofsY = 0;
};

// One `pers` element of cfg.xml: how fast a character walks and how it turns.
struct QCCharacterDef {
  std::string name;
  float moveSpeed = 0.0f;  // scene pixels per second along the path
  std::map<std::string, QCOrientationDef> orientations;
};

extern std::map<std::string, QCCharacterDef> CharacterMap;

class QCMoveItem : public QCItem {
 public:
  QCMoveItem() = default;

  void Reset(bool start) override;
  bool IsMobile() const override { return true; }
  bool IsMoving() const override { return mMoving; }
  bool IsBusy() const override { return IsMoving() || HasDelay(); }
  void LoadFromXml(IXMLDOMNode* node) override;
  void Update() override;

  virtual void BindCharacter();
  virtual void QueueTarget(QCPickItem* target);
  virtual void SetCarried(QCItem* item);
  virtual void PlaceAt(const std::string& point);
  virtual void PerFrame() {}
  virtual float GetMoveSpeed() const;

  bool GoTo(const std::string& point, float speed);
  void OrientFromDirection(int dx, int dy);
  void ClearQueue();
  QCPickItem* NextTarget() const;
  void SetIntervalMode(bool on, float fadeRate, float period);
  void UpdatePartLines();

  // Reads every perses/pers under the node (the cfg.xml root); the first definition of a name stays.
  static void LoadCharacters(IXMLDOMNode* root);
  static const QCCharacterDef* FindCharacter(const std::string& name);
  static void ClearCharacters();

  std::string mCurrentPoint;
  std::string mStartPoint;
  std::string mThird;  // for subclasses
  bool mMoving = false;
  const QCCharacterDef* mCharacter = nullptr;
  Navigator* mNavigator = nullptr;
  bool mTrailOn = false;
  float mTrailPeriod = 0.0f;
  float mTrailFadeRate = 0.0f;
  float mTrailTimer = 0.0f;
  std::list<QCPickItem*> mQueue;
  bool mReturnHome = false;
  bool mHideAtHome = false;
  QCItem* mCarried = nullptr;

 private:
  void Walk();
  void WorkQueue();
  void ArriveAt(QCPickItem* target);
  void DropQueue();
  void StepTrail();
  // The character's table turns a heading into what the parts play (left becomes mirrored right).
  void TurnTo(const std::string& code);
  void MarkZOrderDirty();

  // The anchor shift of the character's current turn.
  int mTurnOfsX = 0;
  int mTurnOfsY = 0;
};
