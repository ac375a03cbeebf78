#pragma once
// A stand-in application, a recording image and a widget that logs what reaches it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/TextTestFont.h"
#include "widgets/Widget.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Velk::Testing {

using Log = std::vector<std::string>;

class FakeHost : public WidgetHost {
 public:
  std::vector<int> mCursorKinds;
  std::vector<int> mRemovedDialogs;
  std::vector<std::string> mFontRequests;
  std::function<bool()> mLoopStep;
  int mOverlayDraws = 0;
  int mLoopSteps = 0;
  bool m3D = false;
  std::vector<std::pair<int, int>> mPressed;
  std::vector<std::pair<int, int>> mReleased;

  FakeHost() { gWidgetHost = this; }

  void SetCursorKind(int kind) override { mCursorKinds.push_back(kind); }
  bool Is3DModeOn() override { return m3D; }
  void DrawOverlay(Graphics*) override { ++mOverlayDraws; }
  bool RunLoopStep() override {
    ++mLoopSteps;
    return mLoopStep ? mLoopStep() : false;
  }
  bool RemoveDialog(int id) override {
    mRemovedDialogs.push_back(id);
    return true;
  }
  Font* CreateSysFont(const std::string& face, int size, int charSet, bool, bool, bool) override {
    mFontRequests.push_back(face + " " + std::to_string(size) + " " + std::to_string(charSet));
    return new TextTestFont();
  }
  void OnDialogButtonPressed(int dialogId, int buttonId) override { mPressed.emplace_back(dialogId, buttonId); }
  void OnDialogButtonReleased(int dialogId, int buttonId) override { mReleased.emplace_back(dialogId, buttonId); }
};

// Records fills (colour and rectangle) and blits (source rectangle and colour).
class RecordingImage : public Image {
 public:
  std::vector<std::string> mCalls;

  RecordingImage(int w, int h) {
    mWidth = w;
    mHeight = h;
  }
  static std::string Describe(const char* what, const Rect& r, const Color& c) {
    return std::string(what) + " " + std::to_string(r.mX) + "," + std::to_string(r.mY) + "," +
           std::to_string(r.mWidth) + "," + std::to_string(r.mHeight) + " " + std::to_string(c.mRed) + "," +
           std::to_string(c.mGreen) + "," + std::to_string(c.mBlue) + "," + std::to_string(c.mAlpha);
  }
  void FillRect(const Rect& r, const Color& c, int) override { mCalls.push_back(Describe("fill", r, c)); }
  void DrawRect(const Rect& r, const Color& c, int) override { mCalls.push_back(Describe("rect", r, c)); }
  void Blit(Image*, int x, int y, const Rect& s, const Color& c, int) override {
    mCalls.push_back(Describe("blit", s, c) + " at " + std::to_string(x) + "," + std::to_string(y));
  }
};

class LogWidget : public Widget {
 public:
  std::string mName;
  Log* mLog;
  int mUpdates = 0;
  int mSubsteps = 0;
  int mDraws = 0;
  std::function<void()> mOnUpdate;
  bool mRefuse = false;
  POINT mShift{0, 0};  // drawn this far from its bounds
  Rect mOpaque;        // what it claims to cover

  LogWidget(const std::string& name, Log* log, int x, int y, int w, int h) : mName(name), mLog(log) {
    mX = x;
    mY = y;
    mWidth = w;
    mHeight = h;
  }
  void Add(const std::string& what) { mLog->push_back(mName + ":" + what); }
  static std::string Pt(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

  void Update() override {
    Widget::Update();
    ++mUpdates;
    if (mOnUpdate) mOnUpdate();
  }
  void UpdateSubstep(float) override { ++mSubsteps; }
  // Logs the rows of its image it is asked to leave, if any.
  void Draw(Graphics* g) override {
    ++mDraws;
    const RowBand hidden = g ? g->mDestImage->mHiddenRows : RowBand{};
    Add(hidden.top < hidden.bottom ? "draw hiding " + Pt(hidden.top, hidden.bottom) : "draw");
  }
  Rect GetOpaqueArea(const Graphics&) override { return mOpaque; }
  void DrawOverlay(Graphics*, int priority) override { Add("overlay " + std::to_string(priority)); }
  void MouseEnter() override { Add("enter"); }
  void MouseLeave() override { Add("leave"); }
  void MouseMove(int x, int y) override { Add("move " + Pt(x, y)); }
  void MouseDown(int x, int y, int button, int count) override {
    Add("down " + Pt(x, y) + " b" + std::to_string(button) + " c" + std::to_string(count));
  }
  void MouseUp(int x, int y) override { Add("up " + Pt(x, y)); }
  void MouseUp(int x, int y, int button, int count) override {
    Add("up " + Pt(x, y) + " b" + std::to_string(button) + " c" + std::to_string(count));
  }
  using Widget::MouseDown;
  using Widget::MouseUp;
  void MouseDrag(int x, int y) override { Add("drag " + Pt(x, y)); }
  void OnFocusGained() override {
    Widget::OnFocusGained();
    Add("focus");
  }
  void OnFocusLost() override {
    Widget::OnFocusLost();
    Add("blur");
  }
  void KeyDown(int key) override {
    Add("keydown " + std::to_string(key));
    Widget::KeyDown(key);
  }
  void KeyUp(int key) override { Add("keyup " + std::to_string(key)); }
  void KeyChar(wchar_t c) override { Add("char " + std::to_string(static_cast<int>(c))); }
  bool AcceptsPoint(int, int) override { return !mRefuse; }
  POINT DrawnOffset() override { return mShift; }
};

// A manager over an 800 x 600 screen with the fake application.
class WidgetFixtureBase {
 public:
  FakeHost mHost;
  WidgetManager mManager{&mHost};
  Log mLog;
  std::vector<std::unique_ptr<LogWidget>> mOwned;

  WidgetFixtureBase() { mManager.SetMouseRects(Rect(0, 0, 800, 600), Rect(0, 0, 800, 600)); }
  ~WidgetFixtureBase() { mManager.RemoveAllChildren(false, true); }

  LogWidget* Make(const std::string& name, int x, int y, int w, int h, WidgetContainer* parent = nullptr) {
    mOwned.push_back(std::make_unique<LogWidget>(name, &mLog, x, y, w, h));
    (parent ? parent : &mManager)->AddChild(mOwned.back().get());
    return mOwned.back().get();
  }
  void ClearDirty() {
    mManager.mDirty = false;
    for (auto& w : mOwned) w->mDirty = false;
  }
  Log TakeLog() {
    Log out;
    out.swap(mLog);
    return out;
  }
};

}  // namespace Velk::Testing
