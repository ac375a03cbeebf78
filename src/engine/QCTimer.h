#pragma once
// A timer: a clock of its own running from 0 to its duration `ftime` (or back) that calls functions
// at points of its time line (point controls) and across stretches of it (range controls). Timers
// belong to an effect, which starts, stops, pauses and resumes them and advances them each frame.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/base/WinTypes.h"

class QCEffect;
class IXMLDOMNode;

// What the exported callbacks are: a control hands them a TimerCall*, a "call" message the effect.
using EffectCallback = int (*)(void* argument);

// What a control's callback receives. `value`: a point's new time; for a range 0.0 at its start
// edge, 1.0 at its end edge and the progress while inside.
struct TimerCall {
  int type = 0;  // kControlPoint or kControlRange
  int id = 0;
  QCEffect* owner = nullptr;
  void* spare = nullptr;
  float value = 0.0f;
};

constexpr DWORD kControlPoint = 1;
constexpr DWORD kControlRange = 2;
// Only on the way in: the function field is meant.
constexpr DWORD kControlHasFunction = 4;

struct TimerControl {
  DWORD flags = 0;
  int id = 0;
  float start = 0.0f;
  float end = 0.0f;
  EffectCallback function = nullptr;
  QCEffect* owner = nullptr;
  void* spare = nullptr;
  bool active = false;
};

constexpr DWORD kDescFtime = 1;
constexpr DWORD kDescDirection = 2;
constexpr DWORD kDescType = 4;
constexpr DWORD kDescLocked = 0x10000;

struct TimerDesc {
  DWORD mask = 0;
  float ftime = 0.0f;
  int direction = 0;
  int type = 0;
  uint8_t state = 0;
};

enum TimerType { kTimerUsual = 1, kTimerSelfDestructive = 2, kTimerCycle = 3, kTimerPingPong = 4 };
enum TimerDirection { kTimerForward = 1, kTimerBackward = 2 };

class QCTimer {
 public:
  explicit QCTimer(QCEffect* owner) : mOwner(owner) {}
  virtual ~QCTimer() = default;

  // Fills the timer from a `timer` element and its `control` children; a null node leaves it as made.
  void ReadTimer(IXMLDOMNode* node);
  // Copies the control; without kControlHasFunction the function is dropped. Always true.
  bool TimerAddControl(const TimerControl& control);
  // The first control with the id takes the given fields; false when no control has the id.
  bool TimerReplaceControl(const TimerControl& control);
  bool TimerSetControlActive(int id, bool active);
  // Back to the start of the run (`ftime` for a backward timer).
  void TimerRewind();
  void TimerSetState(uint8_t state) { mState = state; }
  void TimerSetDesc(const TimerDesc& desc);
  void TimerGetDesc(TimerDesc& desc) const;
  // Advances a running timer by dt seconds; a long frame is played as whole periods.
  void TimerUpdate(double dt);
  void TimerStep(double dt);
  // Runs the controls crossed going from time a to time b.
  void TimerFireControls(double a, double b);

  QCEffect* GetOwner() const { return mOwner; }
  double GetTime() const { return mT; }
  float GetFtime() const { return mFtime; }
  int GetDirection() const { return mDirection; }
  int GetType() const { return mType; }
  uint8_t GetState() const { return mState; }
  bool IsFinished() const { return mFinished; }
  bool IsPhaseForward() const { return mPhaseForward; }
  bool IsLocked() const { return mLocked; }
  size_t ControlCount() const { return mControls.size(); }

 private:
  struct ControlState {
    TimerControl control;
    bool inside = false;
  };
  struct PendingCall {
    double key;
    TimerCall call;
    EffectCallback function;
  };

  bool IsEndless() const { return mFtime < 0.0f; }
  void MarkControl(ControlState& state, double a, double b);
  void Collect(const ControlState& state, int type, float value, double b);

  QCEffect* mOwner;
  double mStartTick = 0.0;
  bool mRestarted = false;
  double mT = 0.0;
  bool mPhaseForward = false;
  bool mFinished = false;
  bool mLocked = false;
  std::vector<PendingCall> mPending;
  std::vector<ControlState> mControls;
  float mFtime = 0.0f;
  int mDirection = 0;
  int mType = 0;
  uint8_t mState = 0;
};
