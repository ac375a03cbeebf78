#pragma once
// A worker at its table ("table" + the worker's number): set to work by the boss, it makes its
// configured product in its work time, and the product waits on the table until the boss takes it.
// Work soils the workplace; at zero tidiness it breaks down until the boss cleans it with the
// washing item. Tidiness recovers while the worker stands idle or ready.

#include <string>

#include "cafe/QIStatSrc.h"
#include "engine/QCDeadline.h"
#include "scene/QCItem.h"

struct QCSoundChannel;
struct WorkerConfig;
class QCItemPart;

class QCWorker : public QCItem, public QIStatSrc {
 public:
  enum State { kIdle = 0, kBroken = 1, kReady = 2, kWorking = 3 };
  // White; the tidiness sets only the alpha of the soiling's tint.
  static constexpr uint32_t kSoilingRgb = 0xFFFFFF;

  ~QCWorker() override;

  void Reset(bool start) override;
  void StartTimedState(const std::string& name) override;
  bool IsBusy() const override { return mState == kBroken || mState == kWorking; }
  void SetSelected(uint32_t point, bool on) override;
  void ApplySkinXml(IXMLDOMNode* node) override;
  void ReleaseImages() override;
  void LoadFromXml(IXMLDOMNode* node) override;
  void ClearParts() override;
  void Update() override;
  bool Interact(QCItem* other, bool test, int* context) override;
  // The upgrade state refreshed from the board's upgrade lists.
  void ApplyUpgrades();
  // A purchase of one of the kind's upgrades: the worker keeps its look and re-reads its upgrades.
  void ApplyUpgradeSkin(const std::string&) override { ApplyUpgrades(); }

  // QIStatSrc
  bool IsStatActive() const override { return mState != kIdle; }
  bool IsStatBusy() const override { return IsBusy(); }
  bool GetValue(float* out) const override;
  bool GetBubbleText(std::string* out) const override;
  bool GetBubbleStyle(std::string* out) const override;
  float WorkProgress() const override;

  void SetState(int state);
  void ChangeTidiness(float delta);
  bool IsFrozen() const;
  float WorkTime() const;
  std::string GetProduct() const;
  // The boss's cleaning: full tidiness, and a broken worker goes back to work.
  void Clean();

  // Mode 1: every worker in play gains the amount of tidiness and is cleaned.
  static void CleanAllWorkers(int mode, float amount);
  // The soiling's tint at a tidiness: alpha 255 when filthy, 0 when spotless.
  static uint32_t SoilingColor(float tidiness);
  // Whether an idle worker's tidiness recovers now.
  static bool RecoversNow();

  int mState = kIdle;
  WorkerConfig* mConfig = nullptr;
  float mTidiness = 100.0f;
  QCDeadline mWork;
  bool mHover = false;
  bool mGreeted = false;
  QCItem* mTable = nullptr;
  QCItemPart* mSoiling[3] = {};  // table, floor, front
  QCItemPart* mCleaning = nullptr;
  QCItemPart* mUpgradeParts[2] = {};
  bool mTidinessUpgrade = false;
  bool mSpeedUpgrade = false;
  QCSoundChannel* mSound = nullptr;

 private:
  void ShowSoiling();
  void FindTableParts();
  void BreakDown();
  void Recover();
  void Work();
  void ReleaseSound();
};
