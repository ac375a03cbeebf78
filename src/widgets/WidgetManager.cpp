#include "widgets/WidgetManager.h"

#include <cstdint>

#include "fonts/TruncToInt.h"
#include "platform/window/WinUser.h"
#include "widgets/Widget.h"

namespace Velk {

namespace {

int ButtonBit(int clickCode) {
  if (clickCode == 3) return 4;
  return clickCode < 0 ? 2 : 1;
}

}  // namespace

WidgetManager::WidgetManager(WidgetHost* app) : mApp(app) { mWidgetManager = this; }

WidgetManager::~WidgetManager() = default;

void WidgetManager::RemapMouse(int& x, int& y) {
  // No mapping until the rectangles are known; a zero source size would divide by zero.
  if (mMouseSourceRect.mWidth != 0)
    x = (x - mMouseSourceRect.mX) * mMouseDestRect.mWidth / mMouseSourceRect.mWidth + mMouseDestRect.mX;
  if (mMouseSourceRect.mHeight != 0)
    y = (y - mMouseSourceRect.mY) * mMouseDestRect.mHeight / mMouseSourceRect.mHeight + mMouseDestRect.mY;
}

void WidgetManager::SetMouseRects(const Rect& dest, const Rect& src) {
  mMouseDestRect = dest;
  mMouseSourceRect = src;
  mWidth = dest.mWidth + 2 * dest.mX;
  mHeight = dest.mHeight + 2 * dest.mY;
}

uint32_t WidgetManager::GetWidgetFlags() { return mHasFocus ? mWidgetFlags : mLostFocusFlagsMod.Apply(mWidgetFlags); }

Widget* WidgetManager::FindWidgetAt(WidgetContainer* container, int x, int y, uint32_t flags, int* localX,
                                    int* localY) {
  flags = container->mWidgetFlagsMod.Apply(flags);
  bool below = false;
  for (auto it = container->mWidgets.rbegin(); it != container->mWidgets.rend(); ++it) {
    Widget* w = *it;
    uint32_t childFlags = w->mWidgetFlagsMod.Apply(flags);
    if (below) childFlags = mBelowModalFlagsMod.Apply(childFlags);
    if ((childFlags & WidgetFlag::MouseInput) && w->mVisible) {
      // The point as the widget's bounds see it: where it is drawn, not where it was laid out.
      const POINT shift = w->DrawnOffset();
      const int hx = ClampToInt(int64_t{x} - shift.x), hy = ClampToInt(int64_t{y} - shift.y);
      const int lx = ClampToInt(int64_t{hx} - w->mX), ly = ClampToInt(int64_t{hy} - w->mY);
      if (Widget* found = FindWidgetAt(w, lx, ly, childFlags, localX, localY)) return found;
      const Rect inset = w->GetInsetRect();
      if (w->mMouseVisible && hx >= inset.mX && hx < Rect::Far(inset.mX, inset.mWidth) && hy >= inset.mY &&
          hy < Rect::Far(inset.mY, inset.mHeight) && w->AcceptsPoint(lx, ly)) {
        if (localX) *localX = lx;
        if (localY) *localY = ly;
        return w;
      }
    }
    below = below || w == mModalWidget;
  }
  return nullptr;
}

Widget* WidgetManager::GetAnyWidgetAt(int x, int y, int* localX, int* localY) {
  return FindWidgetAt(this, x, y, GetWidgetFlags(), localX, localY);
}

Widget* WidgetManager::GetWidgetAt(int x, int y, int* localX, int* localY) {
  Widget* w = GetAnyWidgetAt(x, y, localX, localY);
  return w && w->mDisabled ? nullptr : w;
}

void WidgetManager::EnterWidget(Widget* widget) {
  widget->mIsOver = true;
  widget->MouseEnter();
  if (widget->mHandCursor) widget->SetHandCursor(true);
}

void WidgetManager::LeaveWidget(Widget* widget) {
  widget->mIsOver = false;
  widget->MouseLeave();
  if (widget->mHandCursor) widget->SetHandCursor(false);
}

void WidgetManager::ClearHover() {
  Widget* old = mOverWidget;
  if (!old) return;
  mOverWidget = nullptr;
  LeaveWidget(old);
}

void WidgetManager::TrackMousePosition(int x, int y) {
  const int oldX = mLastMouseX, oldY = mLastMouseY;
  mLastMouseX = x;
  mLastMouseY = y;
  int lx = 0, ly = 0;
  Widget* w = GetWidgetAt(x, y, &lx, &ly);
  if (w == mOverWidget) {
    if (x == oldX && y == oldY) return;
    if (w) w->MouseMove(lx, ly);
    return;
  }
  ClearHover();
  mOverWidget = w;
  if (w) {
    EnterWidget(w);
    w->MouseMove(lx, ly);
  }
}

void WidgetManager::RetrackMouse() {
  if (!mLastDownWidget) {
    if (mMouseIn) TrackMousePosition(mLastMouseX, mLastMouseY);
  } else if (mOverWidget && GetWidgetAt(mLastMouseX, mLastMouseY) != mLastDownWidget) {
    ClearHover();
  }
}

bool WidgetManager::DispatchMouseMove(int x, int y) {
  mLastInputUpdateCnt = mUpdateCount;
  if (mDownButtons == 0) {
    mMouseIn = true;
    TrackMousePosition(x, y);
  } else {
    DispatchMouseDrag(x, y);
  }
  return true;
}

void WidgetManager::DispatchMouseDrag(int x, int y) {
  mMouseIn = true;
  mLastMouseX = x;
  mLastMouseY = y;
  if (mOverWidget && mOverWidget != mLastDownWidget) ClearHover();
  Widget* held = mLastDownWidget;
  if (!held) return;
  const POINT abs = held->AbsolutePos();
  held->MouseDrag(x - abs.x, y - abs.y);
  if (GetWidgetAt(x, y) == held) {
    if (!mOverWidget) {
      mOverWidget = held;
      EnterWidget(held);
    }
  } else {
    ClearHover();
  }
}

void WidgetManager::RemovePopup() {
  Widget* popup = mPopupWidget;
  if (!popup) return;
  mPopupWidget = nullptr;
  if (popup->mParent) popup->mParent->RemoveChild(popup);
}

bool WidgetManager::DispatchMouseDown(int x, int y, int clickCode) {
  mLastInputUpdateCnt = mUpdateCount;
  const int bit = ButtonBit(clickCode);
  mActualDownButtons |= bit;
  TrackMousePosition(x, y);
  if (mPopupWidget && !mPopupWidget->Contains(x, y)) RemovePopup();
  int lx = 0, ly = 0;
  Widget* w = GetWidgetAt(x, y, &lx, &ly);
  Widget* target = mLastDownWidget ? mLastDownWidget : w;
  if (target && target != w) {
    // Pressed elsewhere while a widget holds the mouse: coordinates relative to the held widget.
    const POINT abs = target->AbsolutePos();
    lx = x - abs.x;
    ly = y - abs.y;
  }
  mDownButtons |= bit;
  mLastDownButtonId = clickCode < 0 ? -1 : (clickCode == 3 ? 2 : 1);
  mLastDownWidget = target;
  if (!target) return true;
  if (target->WantsFocus()) SetFocus(target);
  target->mIsDown = true;
  target->MouseDown(lx, ly, clickCode);
  return true;
}

bool WidgetManager::DispatchMouseUp(int x, int y, int clickCode) {
  mLastInputUpdateCnt = mUpdateCount;
  const int bit = ButtonBit(clickCode);
  mActualDownButtons &= ~bit;
  Widget* held = mLastDownWidget;
  if (held && (mDownButtons & bit)) {
    mDownButtons &= ~bit;
    if (mDownButtons == 0) mLastDownWidget = nullptr;
    held->mIsDown = false;
    // Local to the widget, as the press and the drag are, however deep it sits.
    const POINT abs = held->AbsolutePos();
    held->MouseUp(x - abs.x, y - abs.y, clickCode);
  } else {
    mDownButtons &= ~bit;
  }
  TrackMousePosition(x, y);
  return true;
}

bool WidgetManager::DispatchMouseExit(int, int) {
  mLastInputUpdateCnt = mUpdateCount;
  mMouseIn = false;
  ClearHover();
  return true;
}

void WidgetManager::DispatchMouseWheel(int delta) {
  mLastInputUpdateCnt = mUpdateCount;
  if (mFocusWidget) mFocusWidget->MouseWheel(delta);
}

void WidgetManager::ReleaseButtonsOn(Widget* widget, int buttons) {
  const POINT abs = widget->AbsolutePos();
  static const int kBits[3][2] = {{1, 1}, {2, -1}, {4, 3}};
  for (const auto& [bit, code] : kBits) {
    if (!(buttons & bit)) continue;
    widget->mIsDown = false;
    widget->MouseUp(mLastMouseX - abs.x, mLastMouseY - abs.y, code);
  }
}

void WidgetManager::ReleaseHeldButtons() {
  if (!mLastDownWidget || mDownButtons == 0) return;
  Widget* held = mLastDownWidget;
  const int buttons = mDownButtons;
  mDownButtons = 0;
  mLastDownWidget = nullptr;
  ReleaseButtonsOn(held, buttons);
}

bool WidgetManager::DispatchKeyDown(int key) {
  mLastInputUpdateCnt = mUpdateCount;
  if (key >= 0 && key < 255) mKeyDown[key] = true;
  if (mFocusWidget) mFocusWidget->KeyDown(key);
  return true;
}

bool WidgetManager::DispatchKeyUp(int key) {
  mLastInputUpdateCnt = mUpdateCount;
  if (key >= 0 && key < 255) mKeyDown[key] = false;
  if (key == static_cast<int>(VK_TAB) && mKeyDown[VK_CONTROL]) return true;
  if (mFocusWidget) mFocusWidget->KeyUp(key);
  return true;
}

bool WidgetManager::DispatchKeyChar(wchar_t c) {
  mLastInputUpdateCnt = mUpdateCount;
  if (c == static_cast<wchar_t>(VK_TAB) && mKeyDown[VK_CONTROL]) {
    if (mDefaultTab) mDefaultTab->KeyChar(c);
    return true;
  }
  if (mFocusWidget) mFocusWidget->KeyChar(c);
  return true;
}

void WidgetManager::SetFocus(Widget* widget) {
  if (widget == mFocusWidget) return;
  if (mFocusWidget) mFocusWidget->OnFocusLost();
  if (widget && widget->mWidgetManager == this) {
    mFocusWidget = widget;
    if (mHasFocus) widget->OnFocusGained();
  } else {
    mFocusWidget = nullptr;
  }
}

void WidgetManager::OnAppFocusGained() {
  if (mHasFocus) return;
  mHasFocus = true;
  if (mFocusWidget) mFocusWidget->OnFocusGained();
}

void WidgetManager::OnAppFocusLost() {
  if (!mHasFocus) return;
  mActualDownButtons = 0;
  for (int key = 0; key < 255; ++key)
    if (mKeyDown[key]) DispatchKeyUp(key);
  mHasFocus = false;
  if (mFocusWidget) mFocusWidget->OnFocusLost();
}

void WidgetManager::DisableWidget(Widget* widget) {
  if (widget == mOverWidget) ClearHover();
  if (widget == mLastDownWidget) {
    mLastDownWidget = nullptr;
    const int buttons = mDownButtons;
    mDownButtons = 0;
    ReleaseButtonsOn(widget, buttons);
  }
  if (widget == mFocusWidget) {
    mFocusWidget = nullptr;
    widget->OnFocusLost();
  }
  if (widget == mModalWidget) mModalWidget = nullptr;
}

void WidgetManager::SetModalRoot(Widget* widget, const WidgetFlagsChange& belowFlagsMod) {
  mModalWidget = widget;
  mBelowModalFlagsMod = belowFlagsMod;
  if (belowFlagsMod.mRemoveFlags & WidgetFlag::MouseInput) {
    if (mOverWidget && IsBelow(mOverWidget, widget)) ClearHover();
    if (mLastDownWidget && IsBelow(mLastDownWidget, widget)) {
      Widget* held = mLastDownWidget;
      const int buttons = mDownButtons;
      mLastDownWidget = nullptr;
      mDownButtons = 0;
      ReleaseButtonsOn(held, buttons);
    }
  }
  if ((belowFlagsMod.mRemoveFlags & WidgetFlag::Focusable) && mFocusWidget && IsBelow(mFocusWidget, widget)) {
    Widget* focus = mFocusWidget;
    mFocusWidget = nullptr;
    focus->OnFocusLost();
  }
}

void WidgetManager::PushModal(Widget* widget) { PushModal(widget, mDefaultBelowModalFlagsMod); }

void WidgetManager::PushModal(Widget* widget, const WidgetFlagsChange& belowFlagsMod) {
  mPreModalInfoList.push_back({widget, mModalWidget, mFocusWidget, mBelowModalFlagsMod});
  SetModalRoot(widget, belowFlagsMod);
}

void WidgetManager::PopModal(Widget* widget) {
  if (mPreModalInfoList.empty() || mPreModalInfoList.back().mBaseModalWidget != widget) return;
  while (!mPreModalInfoList.empty()) {
    const PreModalInfo entry = mPreModalInfoList.back();
    SetModalRoot(entry.mPrevBaseModalWidget, entry.mPrevBelowModalFlagsMod);
    if (!mFocusWidget) {
      mFocusWidget = entry.mPrevFocusWidget;
      if (mFocusWidget) mFocusWidget->OnFocusGained();
    }
    mPreModalInfoList.pop_back();
    if (entry.mPrevBaseModalWidget) break;
  }
}

void WidgetManager::ForgetInModalStack(Widget* widget) {
  for (PreModalInfo& entry : mPreModalInfoList) {
    if (entry.mPrevBaseModalWidget == widget) entry.mPrevBaseModalWidget = nullptr;
    if (entry.mPrevFocusWidget == widget) entry.mPrevFocusWidget = nullptr;
  }
}

}  // namespace Velk
