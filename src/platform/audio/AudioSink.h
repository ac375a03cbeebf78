#pragma once
// Where the mixer's output goes. A sink starts pulling from the mixer when made and stops when
// destroyed.

namespace Velk {

class AudioSink {
 public:
  virtual ~AudioSink() = default;
  // True when the output reaches a real device.
  virtual bool IsAudible() const = 0;
};

}  // namespace Velk
