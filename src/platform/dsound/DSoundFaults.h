#pragma once
// Test hook: makes the next call of one kind fail with a given result, once.

#include "platform/base/WinTypes.h"

namespace Velk {

enum class DSoundCall { Create, CreateSoundBuffer, DuplicateSoundBuffer, Lock, Unlock, Play, Count };

class DSoundFaults {
 public:
  static void FailNext(DSoundCall call, HRESULT result);
  static void Clear();
  // The injected result for this call (then forgotten), or S_OK.
  static HRESULT Take(DSoundCall call);
};

}  // namespace Velk
