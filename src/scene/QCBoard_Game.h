#pragma once
// The widget on which a level is played. A level loads on a worker thread while the board is hidden
// and the main thread keeps drawing; the engine hands it over on the main thread, and the board then
// runs it: each frame it steps the clock, the events, the scene objects and the rules, draws the
// parts in z-order, hover-highlights and clicks the pickables, and ends the level two seconds after
// the rules say it is over. The cafe's board gives the rules through the pure virtual operations.
//
// The board acts on a frame, a hover or a click only while the gate is open: running, not paused,
// the application active and the board visible.

#include <atomic>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/QCCandyWidget.h"
#include "engine/QCDeadline.h"
#include "engine/QCLevelHandOver.h"
#include "engine/XmlRef.h"
#include "graphics/SharedImageHandle.h"

class Navigator;
struct QCEventRecord;
class QCItem;
class QCItemPart;
class QCLevelEvents;
class QCPickItem;
class QCZOrderManager;

struct QCStage {
  int num = 0;                   // the survival day on which it opens
  std::vector<QCItem*> objects;  // null where a name found nothing
};

class QCBoard_Game : public QCCandyWidget, public QCLevelHandOver {
 public:
  explicit QCBoard_Game(QCCandyWidget* parent = nullptr);
  // A derived board whose LoadLevel or ReadLevel may still run on the loading thread calls
  // JoinLevelLoading first in its own destructor.
  ~QCBoard_Game() override;

  // Velk::Widget and QCCandyWidget
  void Update() override;
  void Draw(Velk::Graphics* g) override;
  void KeyUp(int) override {}
  void MouseDrag(int, int) override {}
  void MouseMove(int x, int y) override;
  void MouseLeave() override;
  void MouseDown(int x, int y, int button, int clickCount) override;
  using Velk::Widget::MouseDown;
  void Activate() override {}
  void Deactivate() override {}
  void OnShowHook() override;
  void OnHideHook() override;
  // The opaque cel of the first part drawn, where it has one: the cafe's ground.
  Velk::Rect GetOpaqueArea(const Velk::Graphics& g) override;

  // QCLevelHandOver
  bool IsLevelLoading() const override { return mLoading; }
  void OnLevelLoaded() override;

  // On the loading thread.
  virtual void LoadLevel(int level, int mode);
  virtual bool IsLevelOver();
  virtual void StartLevel() = 0;
  virtual void EndLevel() = 0;
  virtual void ResetLevel() = 0;
  virtual void ReadLevel(IXMLDOMNode* sceneRoot, IXMLDOMNode* levelNode) = 0;
  virtual void ResetItems() = 0;
  virtual void OnObjectClicked(QCPickItem* item) = 0;
  virtual void PerFrame() = 0;
  virtual void LoadConfigs(IXMLDOMNode* cfgRoot) = 0;
  virtual void ClearConfigs() = 0;
  virtual void OnMoneyChanged() = 0;
  virtual void OnStageAdvanced() = 0;
  virtual bool DispatchEvent(QCEventRecord* event) = 0;
  virtual void OnPause() = 0;
  virtual void OnResume() = 0;
  // On the main thread when the level file or scene document did not load; `file` names it. True
  // when the level must not start; here it starts with whatever was read.
  virtual bool OnLevelUnreadable(const std::string& file) {
    (void)file;
    return false;
  }
  virtual void EventsStep();
  // The character or customer standing at a place (a table's worker, a client place's client).
  virtual QCItem* FindPlaceOccupant(QCItem* place);

  // Mode 0 career ("cfg\l<n>.xml"), 1 survival ("cfg\e<n>.xml"). Refused while a load runs.
  void StartLevelLoading(int level, int mode);
  static void LevelLoadThreadProc(QCBoard_Game* board);
  void JoinLevelLoading();
  void ResetAndStart();
  void StopLevel();
  // StopLevel, then EndLevel in any case: what the frame step does two seconds after the end.
  void StopAndEndLevel();
  void RestartLevel();
  void ClearScene();
  void Shutdown();
  void LoadObjectConfigs();

  void PauseGameSounds();
  void ResumeGameSounds();
  int AddMoney(int delta);
  void NextStage();
  virtual float GetGoalProgress() const;
  void ClickObjectByName(const std::string& name);
  void BoardClickItem(QCPickItem* item);
  bool GateOpen() const;

  Navigator* GetNavigator(const std::string& name) const;
  void MarkZOrderDirty() { mZOrderDirty = 1; }
  QCZOrderManager* GetZOrder() const { return mZOrder.get(); }
  QCLevelEvents* GetEvents() const { return mEvents.get(); }
  // Keeps the images until the next level load or shutdown.
  void HoldImages(std::vector<Velk::SharedImageHandle>& images);

  bool mRunning = false;
  // Pauses nest; the level runs while the count is 0 or less. An extra resume makes it negative, and
  // the next pause then does not reach OnPause: the callers pair their calls.
  int mPauseCount = 0;
  int mLevel = 0;
  bool mEnded = false;
  QCDeadline mEndDelay;
  int mLoadLevelArg = 0;
  int mLoadModeArg = 0;
  float mPlayTime = 0.0f;
  std::vector<QCStage> mStages;
  bool mSurvival = false;
  int mSurvivalDay = 1;
  size_t mStageCursor = 0;
  bool mStageActive = false;
  int mZOrderDirty = 1;
  QCPickItem* mHovered = nullptr;
  std::list<QCPickItem*> mClickQueue;
  std::vector<Velk::SharedImageHandle> mHeldImages;
  XmlDocumentRef mSceneDoc;
  XmlDocumentRef mLevelDoc;
  std::atomic<bool> mLoading{false};
  // Written by the level thread, read once the load is handed over: the file that did not load.
  std::string mUnreadableLevelFile;
  int mMoney = 0;
  int mStageBase = 0;

 protected:
  // Tests put a scripted events block in.
  void SetEventsBlock(std::unique_ptr<QCLevelEvents> events);

 private:
  void BoardUpdateFrame();
  const std::vector<QCItemPart*>& DrawList();
  void BoardDrawParts(Velk::Graphics* g);
  void BoardHover(int x, int y);
  void BoardClick(int x, int y);
  void ReadStages(IXMLDOMNode* levelNode);
  void LoadGraphs(IXMLDOMNode* sceneRoot, IXMLDOMNode* levelNode);
  void ReleaseLoadDocuments(XmlNodeRef& sceneRoot, XmlNodeRef& levelNode);
  void OpenStage();
  void SetCursor(const char* name);

  std::unique_ptr<QCLevelEvents> mEvents;
  std::map<std::string, std::unique_ptr<Navigator>> mGraphs;
  std::unique_ptr<QCZOrderManager> mZOrder;
  const std::vector<QCItemPart*>* mDrawList = nullptr;
  std::thread mLoadThread;
};

// The board while one exists; null otherwise.
QCBoard_Game* GetCurrentBoard();
// A part's images for the level: kept by the current board, or released at once without one.
void HoldLevelImages(std::vector<Velk::SharedImageHandle>& images);
