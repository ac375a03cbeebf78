#pragma once
#include <cstdint>
#include <list>
#include <vector>

#include "graphics/Rect.h"
#include "graphics/RowBand.h"
#include "widgets/WidgetContainer.h"

namespace Velk {

class Image;
class WidgetHost;

// The root of the widget tree: routes the application's input to the widgets (hover, held and
// focus roles, modality) and updates and draws them.
class WidgetManager : public WidgetContainer {
 public:
  class PreModalInfo {
   public:
    Widget* mBaseModalWidget = nullptr;
    Widget* mPrevBaseModalWidget = nullptr;
    Widget* mPrevFocusWidget = nullptr;
    WidgetFlagsChange mPrevBelowModalFlagsMod;
  };

  class DeferredOverlay {
   public:
    Widget* mWidget = nullptr;  // none once drawn
    int mPriority = 0;
  };

  static constexpr int NoPendingOverlay = 0x7fffffff;

  Widget* mDefaultTab = nullptr;  // takes Tab while Ctrl is held
  Graphics* mCurrentG = nullptr;  // only while the screen is drawn
  WidgetHost* mApp;
  Image* mImage = nullptr;
  // Rows that a widget drawn later covers opaquely are not drawn beneath it; false draws every
  // widget whole (the frame's bytes are the same either way).
  bool mSkipCovered = true;
  Widget* mPopupWidget = nullptr;
  std::vector<DeferredOverlay> mDeferredOverlayWidgets;
  int mMinDeferredOverlayPriority = NoPendingOverlay;
  bool mHasFocus = true;  // the application has the keyboard focus
  Widget* mFocusWidget = nullptr;
  Widget* mLastDownWidget = nullptr;  // the held widget
  Widget* mOverWidget = nullptr;
  Widget* mModalWidget = nullptr;
  WidgetFlagsChange mLostFocusFlagsMod;
  WidgetFlagsChange mBelowModalFlagsMod;
  WidgetFlagsChange mDefaultBelowModalFlagsMod{0, WidgetFlag::MouseInput | WidgetFlag::Focusable};
  std::list<PreModalInfo> mPreModalInfoList;  // newest last
  Rect mMouseDestRect;
  Rect mMouseSourceRect;
  bool mMouseIn = false;
  int mLastMouseX = 0;
  int mLastMouseY = 0;
  int mDownButtons = 0;  // 1 left, 2 right, 4 middle, on the held widget
  int mActualDownButtons = 0;
  uint32_t mLastInputUpdateCnt = 0;
  bool mKeyDown[255] = {};
  int mLastDownButtonId = 0;
  uint32_t mWidgetFlags =
      WidgetFlag::Update | WidgetFlag::Draw | WidgetFlag::ClipToBounds | WidgetFlag::MouseInput | WidgetFlag::Focusable;

  explicit WidgetManager(WidgetHost* app);
  ~WidgetManager() override;

  void RemapMouse(int& x, int& y);
  void SetMouseRects(const Rect& dest, const Rect& src);
  bool DispatchMouseMove(int x, int y);
  bool DispatchMouseDown(int x, int y, int clickCode);
  bool DispatchMouseUp(int x, int y, int clickCode);
  bool DispatchMouseExit(int x, int y);
  void DispatchMouseWheel(int delta);
  bool DispatchKeyChar(wchar_t c);
  bool DispatchKeyDown(int key);
  bool DispatchKeyUp(int key);
  void OnAppFocusGained();
  void OnAppFocusLost();
  void ReleaseHeldButtons();
  void SetFocus(Widget* widget) override;
  void DisableWidget(Widget* widget) override;
  void PushModal(Widget* widget);
  void PushModal(Widget* widget, const WidgetFlagsChange& belowFlagsMod);
  void PopModal(Widget* widget);
  void SetModalRoot(Widget* widget, const WidgetFlagsChange& belowFlagsMod);
  Widget* GetWidgetAt(int x, int y, int* localX = nullptr, int* localY = nullptr);
  Widget* GetAnyWidgetAt(int x, int y, int* localX = nullptr, int* localY = nullptr);
  uint32_t GetWidgetFlags();
  void RetrackMouse();
  void TrackMousePosition(int x, int y);
  void RemovePopup();
  // A widget leaving the tree is no longer restored by popping a modal widget.
  void ForgetInModalStack(Widget* widget);

  bool UpdateFrame();
  bool UpdateFrameFraction(float fraction);
  bool DrawScreen(WidgetHost* app);
  void InitModalFlags(ModalFlags& flags);
  void FlushDeferredOverlays(int priorityLimit);

 private:
  Widget* FindWidgetAt(WidgetContainer* container, int x, int y, uint32_t flags, int* localX, int* localY);
  void EnterWidget(Widget* widget);
  void LeaveWidget(Widget* widget);
  void ClearHover();
  void DispatchMouseDrag(int x, int y);
  void ReleaseButtonsOn(Widget* widget, int buttons);
  // Per top-level widget, in order: the rows of the frame that the widgets drawn after it this
  // frame cover with opaque pixels (one band; where two do not meet, the taller).
  std::vector<RowBand> RowsCoveredInFront(const ModalFlags& flags, const Graphics& g);
  // The full-width rows of the frame the widget covers opaquely when drawn on g, none when it is not
  // drawn.
  RowBand OpaqueRowsOf(Widget* widget, uint32_t walkFlags, const Graphics& g);
  void DrawTopLevel(Widget* widget, ModalFlags& flags, const Graphics& g, const RowBand& hidden);
};

}  // namespace Velk
