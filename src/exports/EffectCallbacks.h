#pragma once
// The callbacks that effects name in cfg\effect.xml. Control callbacks take the timer's call record
// (t is its value), message callbacks the effect. Both answer 1 when done and 0 when there was
// nothing to do; nobody reads it.
//
// The parameters they read (set by the effect's owner): 3 the offset pair, 5 the scale point,
// 6 the widget, 256 the target list, 257 the visible flag (bool), 258-261 particle systems,
// 262 the Graphics while drawing, 263/264 the smoke's spawn point (int), 265 the facing
// (std::string), 266 the mirror flag (bool).

#include <string>

#include "engine/QCCandyWidget.h"

// Every exported name with its function: the control callbacks, then the message callbacks.
// clang-format off
#define QC_CONTROL_CALLBACKS(X)                                                                         \
  X(EffectScaleZero) X(EffectScaleUpRecoil) X(EffectScaleDownToOne) X(EffectScaleDown) X(EffectFadeIn)  \
  X(EffectFadeOut) X(EffectFadeOne) X(EffectFadeZero) X(EffectSlideUpAccel) X(EffectShake)              \
  X(EffectSetCheckmarkScalepoint) X(DlgSetCenterScalePoint) X(DlgShiftDown) X(DlgShiftToRight)          \
  X(SparklingStar) X(Rotate360) X(DlgShiftDownAccel) X(DlgSlideDownAccel) X(DlgSlideRightAccel)         \
  X(DlgSlideLeftAccel) X(DlgSlideUp20) X(DlgSlideDown20) X(DlgSlideLeftAccel400) X(DlgSlideLeftAccel400M) \
  X(EffectSetCashBonusColor) X(EffectSetCashPenaltyColor) X(EffectSetCashPenaltyOffset)                 \
  X(EffectSetChainColor) X(UpgradeEffectBlink) X(WindowFadeOut) X(WindowReset) X(EffectBlinkHP)         \
  X(EffectScalePulse) X(EffectJumpUp) X(DlgShow) X(DlgHide) X(DlgReset) X(DlgScaleUpRecoil)             \
  X(DlgScaleUpEaseOut) X(DlgSmallScaleUpAccel) X(DlgSmallScaleDownAccel) X(DlgBigScaleDownAccel)        \
  X(DlgStampSplash) X(DlgFadeIn) X(DlgTypeIn) X(DlgFadeOut) X(DlgSlideFromRightAccel)                   \
  X(DlgUpgradeBtnBlink) X(FuncOnGoalExpertPSEffect) X(EffectSlideFromBottomDecel)                       \
  X(DlgSlideDownAccel485) X(DlgSlideFromBottomAccel) X(DlgSlideFromBottomAccel485)                      \
  X(DlgSlideFromLeftAccel) X(DlgSlideFromLeftAccel400) X(DlgSlideFromLeftAccel400M)                     \
  X(FuncOnWorkerWorkingPSEffect) X(DlgSlideRightAccelGirl) X(DlgSlideFromRightAccelGirl)
// clang-format on

#define QC_MESSAGE_CALLBACKS(X) X(RenderPSFunc) X(StopPSFunc) X(WidgetsLock) X(WidgetsUnlock)

// Names exported a second time for the same function.
#define QC_CALLBACK_ALIASES(X) X(EffectBlinkHPOff, EffectFadeOne) X(EffectItemShow, DlgShow) X(EffectItemHide, DlgHide)

// Control callbacks take a TimerCall*, message callbacks a QCEffect*; both typed as the effects call
// them.
#define QC_DECLARE_CALLBACK(name) int name(void* argument);
QC_CONTROL_CALLBACKS(QC_DECLARE_CALLBACK)
QC_MESSAGE_CALLBACKS(QC_DECLARE_CALLBACK)
#undef QC_DECLARE_CALLBACK

// Where the worker smoke starts relative to the worker, by facing ("tr", "br"; "mtr", "mbr" or the
// mirror flag mirror them); (0, 0) for any other facing.
QCIntPair SmokeOffset(const std::string& orientation, bool mirrored);
