#pragma once
// Records what the effect callbacks receive, for the timer and effect tests.

#include <vector>

#include "engine/QCTimer.h"

struct RecordedCall {
  int type;
  int id;
  QCEffect* owner;
  float value;
};

inline std::vector<RecordedCall>& Recorded() {
  static std::vector<RecordedCall> calls;
  return calls;
}

inline std::vector<float> RecordedValues() {
  std::vector<float> values;
  for (const RecordedCall& c : Recorded()) values.push_back(c.value);
  return values;
}

// A control callback.
inline int RecordCall(void* argument) {
  auto* call = static_cast<TimerCall*>(argument);
  Recorded().push_back({call->type, call->id, call->owner, call->value});
  return 1;
}

// A "call" message callback: it receives the effect itself.
inline std::vector<void*>& CalledWith() {
  static std::vector<void*> effects;
  return effects;
}

inline int RecordEffect(void* effect) {
  CalledWith().push_back(effect);
  return 1;
}
