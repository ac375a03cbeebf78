#include "scene/QCBoard_Game.h"

#include <cstdio>

#include "engine/EngineUtil.h"
#include "engine/QCCursorManager.h"
#include "engine/QCEngine.h"
#include "engine/QCParticleRegistry.h"
#include "engine/QCSoundTable.h"
#include "engine/TextVars.h"
#include "engine/XmlAccess.h"
#include "platform/threads/Threads.h"
#include "raster/SpanFillerTable.h"
#include "scene/NavGraph.h"
#include "scene/QCItem.h"
#include "scene/QCItemPart.h"
#include "scene/QCLevelEvents.h"
#include "scene/QCPickItem.h"
#include "scene/QCZOrderManager.h"
#include "widgets/WidgetManager.h"

namespace {

QCBoard_Game* gBoard = nullptr;

constexpr int kPathSize = 260;
constexpr int kNameSize = 128;
constexpr float kEndDelay = 2.0f;
// The walkers that get a navigator of their own.
const char* const kCharacterGraphs[] = {"boss"};

Velk::VelkAppBase* App() { return Velk::gVelkApp; }

void SetTextVarInt(const char* name, int value) {
  QCEngine* engine = GetEngine();
  if (engine && engine->GetTextVars()) engine->GetTextVars()->SetTextVarInt(name, value);
}

QCStage ReadStage(IXMLDOMNode* node) {
  QCStage stage;
  XmlGetAttrInt(node, L"num", stage.num);
  XmlForEach(node, L"object", [&stage](IXMLDOMNode* object) {
    char name[kNameSize] = {};
    XmlGetAttrString(object, L"name", name, kNameSize);
    stage.objects.push_back(QCItem::FindByName(name));
  });
  return stage;
}

}  // namespace

QCBoard_Game* GetCurrentBoard() { return gBoard; }

void HoldLevelImages(std::vector<Velk::SharedImageHandle>& images) {
  if (gBoard) gBoard->HoldImages(images);
  images.clear();
}

QCBoard_Game::QCBoard_Game(QCCandyWidget* parent)
    : QCCandyWidget(parent), mEvents(std::make_unique<QCLevelEvents>()), mZOrder(std::make_unique<QCZOrderManager>()) {
  Velk::InitSpanFillerTable();
  gBoard = this;
  SetCurrentBoardHandOver(this);
  if (App()) SetBounds(0, 0, App()->mWidth, App()->mHeight);
  for (const char* name : kCharacterGraphs) mGraphs.emplace(name, std::make_unique<Navigator>(name));
  SetZOrderManager(mZOrder.get());
}

QCBoard_Game::~QCBoard_Game() {
  JoinLevelLoading();
  mGraphs.clear();
  SetZOrderManager(nullptr);
  mZOrder.reset();
  if (gBoard == this) gBoard = nullptr;
  if (GetCurrentBoardHandOver() == this) SetCurrentBoardHandOver(nullptr);
}

void QCBoard_Game::SetEventsBlock(std::unique_ptr<QCLevelEvents> events) { mEvents = std::move(events); }

Navigator* QCBoard_Game::GetNavigator(const std::string& name) const {
  auto it = mGraphs.find(name);
  return it == mGraphs.end() ? nullptr : it->second.get();
}

void QCBoard_Game::HoldImages(std::vector<Velk::SharedImageHandle>& images) {
  mHeldImages.insert(mHeldImages.end(), images.begin(), images.end());
}

QCItem* QCBoard_Game::FindPlaceOccupant(QCItem*) { return nullptr; }

bool QCBoard_Game::GateOpen() const { return mRunning && mPauseCount <= 0 && (!App() || App()->mActive) && mVisible; }

void QCBoard_Game::Update() {
  QCCandyWidget::Update();
  BoardUpdateFrame();
}

void QCBoard_Game::Draw(Velk::Graphics* g) { BoardDrawParts(g); }

void QCBoard_Game::MouseMove(int x, int y) {
  QCCandyWidget::MouseMove(x, y);
  BoardHover(x, y);
}

// Whatever covers the cafe now (a book, a dialog) takes the pointer: the object under it no longer
// shows the hand.
void QCBoard_Game::MouseLeave() {
  QCCandyWidget::MouseLeave();
  mHovered = nullptr;
  SetCursor("normal");
}

void QCBoard_Game::MouseDown(int x, int y, int button, int) {
  if (GateOpen() && button == 0) BoardClick(x, y);
}

void QCBoard_Game::OnShowHook() {
  if (App() && App()->mWidgetManager) App()->mWidgetManager->SetFocus(this);
}

void QCBoard_Game::OnHideHook() {
  if (App() && App()->mWidgetManager) App()->mWidgetManager->SetFocus(nullptr);
}

void QCBoard_Game::BoardUpdateFrame() {
  if (!GateOpen()) {
    SetGameDt(0.0f);
    return;
  }
  const float dt = static_cast<float>(App() ? App()->mFrameTime : 10) / 1000.0f;
  SetGameDt(dt);
  mPlayTime += dt;
  mEvents->Tick(dt);
  AdvanceGameClock();
  EventsStep();
  UpdateSceneObjects();
  PerFrame();
  while (!mClickQueue.empty()) {
    OnObjectClicked(mClickQueue.front());
    mClickQueue.pop_front();
  }
  if (!mEnded) {
    if (IsLevelOver()) {
      mEnded = true;
      mEndDelay.StartDeadline(kEndDelay);
    }
    return;
  }
  if (!mEndDelay.DeadlineRunning()) StopAndEndLevel();
}

void QCBoard_Game::EventsStep() {
  if (mEvents->IsFinished()) return;
  QCEventRecord* event = mEvents->NextDueEvent();
  if (event && DispatchEvent(event)) mEvents->TakeEvent();
}

bool QCBoard_Game::IsLevelOver() { return mEvents->IsFinished(); }

const std::vector<QCItemPart*>& QCBoard_Game::DrawList() {
  if (mZOrderDirty || !mDrawList) mDrawList = &mZOrder->GetDrawOrder();
  mZOrderDirty = 0;
  return *mDrawList;
}

void QCBoard_Game::BoardDrawParts(Velk::Graphics* g) {
  for (QCItemPart* part : DrawList())
    if (part->mOwner->mVisible && part->IsImageReady()) part->Draw(g);
}

// Whatever the first part leaves opaque, the parts after it only draw over.
Velk::Rect QCBoard_Game::GetOpaqueArea(const Velk::Graphics& g) {
  for (QCItemPart* part : DrawList())
    if (part->mOwner->mVisible && part->IsImageReady()) return part->OpaqueArea(g);
  return {};
}

void QCBoard_Game::SetCursor(const char* name) {
  QCEngine* engine = GetEngine();
  if (engine && engine->GetCursorManager()) engine->GetCursorManager()->SetCursor(name);
}

void QCBoard_Game::BoardHover(int x, int y) {
  if (!GateOpen()) return;
  QCPickItem* candidate = nullptr;
  const uint32_t point = static_cast<uint32_t>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y)));
  for (const auto& [name, item] : PickableMap) {
    const bool hit = item->HitTest(x, y);
    if (item->mVisible) item->SetSelected(point, hit);
    if (!candidate && item->CanPick(hit)) candidate = item;
  }
  mHovered = candidate;
  SetCursor(candidate ? "active" : "normal");
}

void QCBoard_Game::BoardClick(int x, int y) {
  if (mHovered && mHovered->mVisible && mHovered->mActive && mHovered->HitTest(x, y)) BoardClickItem(mHovered);
}

void QCBoard_Game::BoardClickItem(QCPickItem* item) {
  item->AddBusy();
  PlaySoundByName("click");
  mClickQueue.push_back(item);
}

void QCBoard_Game::ClickObjectByName(const std::string& name) {
  if (QCPickItem* item = QCPickItem::FindPickable(name)) BoardClickItem(item);
}

void QCBoard_Game::PauseGameSounds() {
  if (mPauseCount++ != 0) return;
  PauseSoundGroup("game");
  OnPause();
}

void QCBoard_Game::ResumeGameSounds() {
  if (--mPauseCount != 0) return;
  ResumeSoundGroup("game");
  OnResume();
}

int QCBoard_Game::AddMoney(int delta) {
  if (!(mSurvival && delta < 0)) {
    mMoney += delta;
    if (mMoney < 0) mMoney = 0;
    if (mSurvival && mMoney >= mEvents->GetStageTarget()) NextStage();
  }
  OnMoneyChanged();
  SetTextVarInt("money", mMoney);
  return mMoney;
}

void QCBoard_Game::NextStage() {
  mStageBase = mEvents->GetStageTarget();
  ++mSurvivalDay;
  OpenStage();
  mEvents->NextStage();
  SetTextVarInt("normal", mEvents->GetStageTarget());
  OnStageAdvanced();
}

// A day has a money target only when a stage opens on it; worked out again every day.
void QCBoard_Game::OpenStage() {
  if (mStageCursor >= mStages.size() || mStages[mStageCursor].num != mSurvivalDay) {
    mStageActive = false;
    return;
  }
  for (QCItem* item : mStages[mStageCursor].objects) {
    if (!item) continue;
    item->mActive = true;
    item->Reset(true);
    item->SendMessage("on_add");
  }
  ++mStageCursor;
  mStageActive = true;
}

float QCBoard_Game::GetGoalProgress() const {
  if (!mSurvival) return mEvents->GetProgress();
  const int target = mEvents->GetStageTarget();
  const int span = target - mStageBase;
  if (span <= 0 || mMoney <= mStageBase || !mStageActive) return 0.0f;
  return static_cast<float>(mMoney - mStageBase) / static_cast<float>(span);
}

void QCBoard_Game::StartLevelLoading(int level, int mode) {
  if (mLoading) {
    DebugLog("Level %d: a level is still loading; the new load is refused", level);
    return;
  }
  JoinLevelLoading();
  mLoadLevelArg = level;
  mLoadModeArg = mode;
  mLoading = true;
  if (App()) App()->mLoadingThreadCompleted.store(false, std::memory_order_release);
  Hide();
  if (QCEngine* engine = GetEngine()) engine->OnLevelLoadingStarted();
  if (App()) App()->mLoadingRaised = true;
  SetThreadPriority(GetCurrentThread(), 1);
  mLoadThread = std::thread(&QCBoard_Game::LevelLoadThreadProc, this);
}

void QCBoard_Game::LevelLoadThreadProc(QCBoard_Game* board) {
  CoInitialize(nullptr);
  board->LoadLevel(board->mLoadLevelArg, board->mLoadModeArg);
  CoUninitialize();
  // The last step: the main thread takes the scene over once it sees the flag.
  if (App()) App()->mLoadingThreadCompleted.store(true, std::memory_order_release);
}

void QCBoard_Game::JoinLevelLoading() {
  if (mLoadThread.joinable()) mLoadThread.join();
}

void QCBoard_Game::LoadLevel(int level, int mode) {
  ClearScene();
  mLevel = level;
  mSurvival = mode != 0;
  char path[kPathSize];
  std::snprintf(path, sizeof path, mode == 0 ? "cfg\\l%d.xml" : "cfg\\e%d.xml", level);
  mLevelDoc = XmlDocumentRef(CreateAndLoadXmlDocument(path));
  XmlNodeRef levelNode(SelectLevelNode(mLevelDoc.Get()));
  char doc[kPathSize] = {};
  XmlGetAttrString(levelNode.Get(), L"doc", doc, kPathSize);
  mSceneDoc = XmlDocumentRef(doc[0] ? CreateAndLoadXmlDocument(doc) : nullptr);
  XmlNodeRef sceneRoot = SelectChild(mSceneDoc.Get(), L"root");
  if (!levelNode || !sceneRoot) DebugLog("Level %s: level or scene <%s> not read", path, doc);
  mUnreadableLevelFile = !levelNode ? path : !sceneRoot ? (doc[0] ? doc : path) : "";
  CreateSceneObjects(sceneRoot.Get());
  ApplyLevelObjects(levelNode.Get());
  mHeldImages.clear();
  RegisterSceneParts();
  if (mSurvival) ReadStages(levelNode.Get());
  LoadGraphs(sceneRoot.Get(), levelNode.Get());
  mEvents->mKind = mSurvival ? QCLevelEvents::kSurvival : QCLevelEvents::kCareer;
  mEvents->LoadLevelEvents(levelNode.Get());
  ReadLevel(sceneRoot.Get(), levelNode.Get());
  ReleaseLoadDocuments(sceneRoot, levelNode);
}

void QCBoard_Game::ReadStages(IXMLDOMNode* levelNode) {
  XmlForEach(levelNode, L"stages/stage", [this](IXMLDOMNode* node) { mStages.push_back(ReadStage(node)); });
}

void QCBoard_Game::LoadGraphs(IXMLDOMNode* sceneRoot, IXMLDOMNode* levelNode) {
  for (auto& [name, navigator] : mGraphs) {
    navigator->LoadBaseGraphs(sceneRoot);
    navigator->AddObjectPoints(name);
    navigator->LoadExtraGraphs(levelNode);
  }
}

void QCBoard_Game::ReleaseLoadDocuments(XmlNodeRef& sceneRoot, XmlNodeRef& levelNode) {
  sceneRoot = XmlNodeRef();
  levelNode = XmlNodeRef();
  mSceneDoc = XmlDocumentRef();
  mLevelDoc = XmlDocumentRef();
}

void QCBoard_Game::OnLevelLoaded() {
  JoinLevelLoading();
  if (App()) App()->mLoadingRaised = false;
  SetThreadPriority(GetCurrentThread(), 0);
  if (QCEngine* engine = GetEngine()) engine->OnLevelLoadingFinished();
  if (!mUnreadableLevelFile.empty() && OnLevelUnreadable(mUnreadableLevelFile)) {
    // What was read stays unplayed: the next load clears it.
    mLoading = false;
    return;
  }
  Show();
  ResetAndStart();
  mLoading = false;
}

void QCBoard_Game::ResetAndStart() {
  SetGameDt(0.0f);
  mPlayTime = 0.0f;
  mEnded = false;
  mSurvivalDay = 1;
  mStageCursor = 0;
  ResetAllDeadlines();
  ResetSceneObjects(true);
  mClickQueue.clear();
  mEvents->Reset();
  if (QCParticleRegistry* particles = GetParticleRegistry()) particles->ResetAllParticleSystems();
  mMoney = 0;
  mStageBase = 0;
  mStageActive = true;
  mZOrderDirty = 1;
  AddMoney(0);
  StartLevel();
  mRunning = true;
}

void QCBoard_Game::StopLevel() {
  if (!mRunning) return;
  mRunning = false;
  mHovered = nullptr;
  ResetSceneObjects(false);
  ResetLevel();
}

void QCBoard_Game::StopAndEndLevel() {
  StopLevel();
  EndLevel();
}

// The running level stops here, on the main thread, with its ResetLevel: the load's own clearing
// runs on the level thread, which must not touch the widgets the level left on the screen.
void QCBoard_Game::RestartLevel() {
  StopLevel();
  StartLevelLoading(mLevel, mSurvival ? 1 : 0);
}

void QCBoard_Game::ClearScene() {
  if (mLevel <= 0) return;
  mLevel = 0;
  if (mRunning) {
    mRunning = false;
    ResetSceneObjects(false);
  }
  // Nothing may point into the scene once it is gone.
  mHovered = nullptr;
  mClickQueue.clear();
  mDrawList = nullptr;
  mStages.clear();
  for (auto& [name, navigator] : mGraphs) {
    navigator->ClearBase();
    navigator->ClearExtra();
    navigator->ClearObjects();
  }
  mZOrder->Reset();
  ReleaseSceneImages();
  DestroySceneObjects();
  mEvents->Clear();
  ResetItems();
}

void QCBoard_Game::Shutdown() {
  JoinLevelLoading();
  ClearScene();
  mHeldImages.clear();
  ClearConfigs();
}

void QCBoard_Game::LoadObjectConfigs() {
  XmlNodeRef root = LoadXmlRoot("cfg\\cfg.xml");
  LoadConfigs(root.Get());
}
