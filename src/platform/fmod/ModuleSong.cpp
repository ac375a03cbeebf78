#include "platform/fmod/ModuleSong.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>

namespace Velk {

namespace {

// Small enough that an order's start is known to within a few milliseconds.
constexpr size_t kChunkFrames = 256;

struct ModuleDeleter {
  void operator()(openmpt_module* module) const { openmpt_module_destroy(module); }
};
using Module = std::unique_ptr<openmpt_module, ModuleDeleter>;

Module Open(const uint8_t* data, size_t size, double maxSeconds) {
  Module module(openmpt_module_create_from_memory2(data, size, &openmpt_log_func_silent, nullptr,
                                                   &openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr));
  if (!module) return nullptr;
  openmpt_module_set_repeat_count(module.get(), 0);
  const double seconds = openmpt_module_get_duration_seconds(module.get());
  if (!(seconds > 0.0) || seconds > maxSeconds) return nullptr;
  return module;
}

}  // namespace

std::unique_ptr<ModuleSong> ModuleSong::Render(const uint8_t* data, size_t size, double maxSeconds) {
  if (!data || size == 0) return nullptr;
  Module module = Open(data, size, maxSeconds);
  if (!module) return nullptr;
  auto song = std::unique_ptr<ModuleSong>(new ModuleSong);
  song->orderStarts_.resize(static_cast<size_t>(std::max(0, openmpt_module_get_num_orders(module.get()))));
  const size_t maxFrames = static_cast<size_t>(maxSeconds * kRate);
  auto pcm = std::make_shared<AudioPcm>();
  pcm->channels = 2;
  pcm->bits = 16;
  std::vector<int16_t> chunk(kChunkFrames * 2);
  size_t frames = 0;
  while (frames < maxFrames) {
    const int order = openmpt_module_get_current_order(module.get());
    if (order >= 0 && static_cast<size_t>(order) < song->orderStarts_.size() && !song->orderStarts_[order]) {
      song->orderStarts_[order] = frames;
    }
    // The last read stops at the limit: a song that plays on past its stated length is cut there.
    const size_t want = std::min<size_t>(kChunkFrames, maxFrames - frames);
    const size_t got = openmpt_module_read_interleaved_stereo(module.get(), kRate, want, chunk.data());
    if (got == 0) break;
    for (size_t i = 0; i < got * 2; ++i) {
      pcm->bytes.push_back(static_cast<uint8_t>(chunk[i] & 0xFF));
      pcm->bytes.push_back(static_cast<uint8_t>((chunk[i] >> 8) & 0xFF));
    }
    frames += got;
  }
  if (frames == 0) return nullptr;
  song->pcm_ = std::move(pcm);
  return song;
}

std::optional<size_t> ModuleSong::OrderStart(int order) const {
  if (order < 0 || static_cast<size_t>(order) >= orderStarts_.size()) return std::nullopt;
  return orderStarts_[order];
}

}  // namespace Velk
