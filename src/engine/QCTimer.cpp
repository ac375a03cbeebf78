#include "engine/QCTimer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/XmlAccess.h"
#include "platform/clock/Clock.h"
#include "platform/modules/Modules.h"

namespace {

// Catch-up periods played in one update at most; only a period far below a frame reaches it.
constexpr int kMaxCatchUpPeriods = 1000;

EffectCallback FindExport(const char* name) {
  return reinterpret_cast<EffectCallback>(GetProcAddress(GetModuleHandleA(nullptr), name));
}

int TypeFromName(const char* name, int current) {
  if (std::strcmp(name, "usual") == 0) return kTimerUsual;
  if (std::strcmp(name, "self_destructive") == 0) return kTimerSelfDestructive;
  if (std::strcmp(name, "cycle") == 0) return kTimerCycle;
  if (std::strcmp(name, "ping_pong") == 0) return kTimerPingPong;
  return current;
}

TimerControl ReadControl(IXMLDOMNode* node, QCEffect* owner) {
  TimerControl control;
  control.owner = owner;
  XmlGetAttrInt(node, L"id", control.id);
  XmlGetAttrFloat(node, L"starttime", control.start);
  XmlGetAttrFloat(node, L"endtime", control.end);
  char text[128] = {};
  if (XmlGetAttrString(node, L"function", text, sizeof text)) control.function = FindExport(text);
  if (control.function) control.flags |= kControlHasFunction;
  text[0] = '\0';
  XmlGetAttrString(node, L"type", text, sizeof text);
  if (std::strcmp(text, "point") == 0) control.flags |= kControlPoint;
  if (std::strcmp(text, "range") == 0) control.flags |= kControlRange;
  XmlGetAttrBool(node, L"active", control.active);
  return control;
}

}  // namespace

void QCTimer::ReadTimer(IXMLDOMNode* node) {
  if (!node) return;
  char text[128] = {};
  if (XmlGetAttrString(node, L"type", text, sizeof text)) mType = TypeFromName(text, mType);
  XmlGetAttrFloat(node, L"ftime", mFtime);
  text[0] = '\0';
  XmlGetAttrString(node, L"direction", text, sizeof text);
  if (std::strcmp(text, "forward") == 0) {
    mDirection = kTimerForward;
    mT = 0.0;
    mPhaseForward = true;
  } else if (std::strcmp(text, "backward") == 0) {
    mDirection = kTimerBackward;
    mT = mFtime;
    mPhaseForward = false;
  }
  XmlForEach(node, L"control", [this](IXMLDOMNode* item) { TimerAddControl(ReadControl(item, GetOwner())); });
}

bool QCTimer::TimerAddControl(const TimerControl& control) {
  ControlState state{control, false};
  if (!(state.control.flags & kControlHasFunction)) state.control.function = nullptr;
  state.control.flags &= ~kControlHasFunction;
  mControls.push_back(state);
  return true;
}

bool QCTimer::TimerReplaceControl(const TimerControl& control) {
  for (ControlState& state : mControls) {
    if (state.control.id != control.id) continue;
    state.control = control;
    state.inside = false;
    return true;
  }
  return false;
}

bool QCTimer::TimerSetControlActive(int id, bool active) {
  for (ControlState& state : mControls) {
    if (state.control.id != id) continue;
    state.control.active = active;
    return true;
  }
  return false;
}

void QCTimer::TimerRewind() {
  mT = mDirection == kTimerBackward ? mFtime : 0.0;
  mFinished = false;
  mStartTick = static_cast<double>(timeGetTime());
}

void QCTimer::TimerSetDesc(const TimerDesc& desc) {
  mLocked = (desc.mask & kDescLocked) != 0;
  if (desc.mask & kDescFtime) {
    mFtime = desc.ftime;
    mRestarted = true;
    mT = 0.0;
  }
  if (desc.mask & kDescType) mType = desc.type;
  if (desc.mask & kDescDirection) {
    mDirection = desc.direction;
    mPhaseForward = mDirection == kTimerForward;
  }
  uint8_t state = mFtime > 0.0f ? desc.state : 0;
  bool changed = state != mState;
  mState = state;
  if (mDirection == kTimerBackward) mT = mFtime;
  if (changed) mStartTick = static_cast<double>(timeGetTime());
}

void QCTimer::TimerGetDesc(TimerDesc& desc) const {
  if (mLocked) desc.mask &= kDescLocked;
  if (desc.mask & kDescFtime) desc.ftime = mFtime;
  if (desc.mask & kDescDirection) desc.direction = mDirection;
  if (desc.mask & kDescType) desc.type = mType;
  desc.state = mState;
}

void QCTimer::TimerUpdate(double dt) {
  if (mState == 0) return;
  mRestarted = false;
  // Whole periods first, so that no control of a cycling timer is skipped. An endless timer (any
  // negative duration) takes the whole dt in one step.
  if (!IsEndless() && dt > mFtime) {
    int periods = 0;
    do {
      if (!mRestarted && !mLocked) TimerStep(mFtime);
      if (mFtime <= 0.0f) break;
      dt -= mFtime;
      if (++periods == kMaxCatchUpPeriods) {
        dt = std::fmod(dt, static_cast<double>(mFtime));
        break;
      }
    } while (dt > mFtime);
  }
  if (!mRestarted) TimerStep(dt);
}

void QCTimer::TimerStep(double dt) {
  bool pingPong = mType == kTimerPingPong;
  bool forward = pingPong ? mPhaseForward : mDirection == kTimerForward;
  bool backward = pingPong ? !mPhaseForward : mDirection == kTimerBackward;
  bool usual = mType == kTimerUsual || mType == kTimerSelfDestructive;
  bool wraps = mType == kTimerCycle || pingPong;
  double old = mT;
  if (forward) {
    mT += dt;
    if (IsEndless() || mT < mFtime) return TimerFireControls(old, mT);
    if (usual) mFinished = true;
    if (usual || wraps) TimerFireControls(old, mFtime);
    if (!wraps || mRestarted) return;
    if (pingPong) {
      mT = mFtime - (static_cast<float>(mT) - mFtime);
      if (static_cast<float>(mT) != mFtime) TimerFireControls(mFtime, mT);
      mPhaseForward = false;
    } else {
      mT = static_cast<float>(mT) - mFtime;
      if (mT != 0.0) TimerFireControls(0.0, mT);
    }
  } else if (backward) {
    mT -= dt;
    if (IsEndless() || mT > 0.0) return TimerFireControls(old, mT);
    if (usual) mFinished = true;
    if (usual || wraps) TimerFireControls(old, 0.0);
    if (!wraps || mRestarted) return;
    if (pingPong) {
      mT = -mT;
      if (mT != 0.0) TimerFireControls(0.0, mT);
      mPhaseForward = true;
    } else {
      mT = mFtime + static_cast<float>(mT);
      if (static_cast<float>(mT) != mFtime) TimerFireControls(mFtime, mT);
    }
  }
}

void QCTimer::TimerFireControls(double a, double b) {
  for (ControlState& state : mControls)
    if (state.control.active) MarkControl(state, a, b);
  // Equal keys keep the order collected; a callback may fire this timer again, so the calls are
  // taken out before they run.
  std::stable_sort(mPending.begin(), mPending.end(),
                   [](const PendingCall& x, const PendingCall& y) { return x.key < y.key; });
  std::vector<PendingCall> calls;
  calls.swap(mPending);
  for (PendingCall& pending : calls)
    if (pending.function) pending.function(&pending.call);
}

void QCTimer::MarkControl(ControlState& state, double a, double b) {
  const TimerControl& c = state.control;
  const double start = c.start, end = c.end;
  bool e = false, p = false, l = false;
  if (c.flags & kControlPoint) {
    p = a <= b ? (a <= start && start <= b) : (b <= start && start <= a);
  } else if (c.flags & kControlRange) {
    if (a <= b) {
      if (a <= start && end <= b) {
        e = l = true;
      } else if (a <= start && start <= b && b < end) {
        p = true;
        e = !state.inside;
        state.inside = true;
      } else if (start < a && a < end && end <= b) {
        l = state.inside;
        state.inside = false;
      } else if (start < a && end >= b) {
        p = true;
        l = end == b;
      }
    } else {
      if (b <= start && end <= a) {
        e = l = true;
      } else if (start <= b && b <= end && end <= a) {
        p = true;
        l = !state.inside;
        state.inside = true;
      } else if (b <= start && start < a && a < end) {
        e = state.inside;
        state.inside = false;
      } else if (start <= b && end > a) {
        p = true;
        e = start == b;
      }
    }
  }
  if (!(e || p || l)) return;
  int type = (c.flags & kControlPoint) ? static_cast<int>(kControlPoint) : static_cast<int>(kControlRange);
  float progress = (c.flags & kControlPoint) ? static_cast<float>(b)
                                             : std::min(1.0f, static_cast<float>((mT - start) / (end - start)));
  bool forward = a <= b;
  if (forward ? e : l) Collect(state, type, forward ? 0.0f : 1.0f, b);
  if (p) Collect(state, type, progress, b);
  if (forward ? l : e) Collect(state, type, forward ? 1.0f : 0.0f, b);
}

void QCTimer::Collect(const ControlState& state, int type, float value, double b) {
  TimerCall call{type, state.control.id, state.control.owner, state.control.spare, value};
  mPending.push_back({b + mStartTick, call, state.control.function});
}
