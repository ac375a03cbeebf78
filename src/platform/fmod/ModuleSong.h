#pragma once
// A module song (MOD, S3M, XM, IT and the other formats the reader knows), rendered whole as 44100 Hz
// 16-bit stereo, with the frame at which each of its orders starts to play.

#include "platform/audio/AudioPcm.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace Velk {

class ModuleSong {
 public:
  static constexpr int kRate = 44100;
  static constexpr double kMaxSeconds = 30 * 60;

  // Null when the bytes are no module the reader knows, or the song plays no sound frame or longer
  // than maxSeconds (once through its orders, without repeats).
  static std::unique_ptr<ModuleSong> Render(const uint8_t* data, size_t size, double maxSeconds = kMaxSeconds);

  const std::shared_ptr<const AudioPcm>& Pcm() const { return pcm_; }
  // The first frame of the order, or nothing for an order the song never reaches.
  std::optional<size_t> OrderStart(int order) const;

 private:
  std::shared_ptr<const AudioPcm> pcm_;
  std::vector<std::optional<size_t>> orderStarts_;
};

}  // namespace Velk
