#pragma once
// The process's one mixer and the sink it plays through. Users take a reference with Acquire and
// give it back with Release; the sink opens with the first reference and closes with the last.
// The back end opens the sink: a real device, or the null sink where there is none.

#include "platform/audio/AudioMixer.h"

namespace Velk {

class AudioOutput {
 public:
  static AudioMixer& Mixer();

  // False only when a test made opening fail.
  static bool Acquire();
  static void Release();
  // Closes the sink whoever holds it (its thread ends): for a process that ends without giving its
  // references back, so that nothing mixes beside the static destructors. A child made by fork
  // keeps it as it is.
  static void CloseForExit();
  // True while a sink that reaches a real device is open.
  static bool IsAudible();

  // Tests: with manual mixing no sink opens and the test calls Mixer().Mix itself.
  static void SetManualMixing(bool manual);
  static void SetFailOpen(bool fail);
};

}  // namespace Velk
