#pragma once
// The 128 span fillers, indexed by destination format group and the five drawing flags.

#include <array>
#include <atomic>
#include <mutex>

#include "raster/SpanVertex.h"

namespace Velk {

constexpr int kSpanFillerCount = 128;

// Flags of one draw, as the driver works them out.
struct SpanFlags {
  bool texture = false;
  bool alphaBlend = false;
  bool vertexColors = false;
  bool modulate = false;
  bool bilinear = false;
};

// Format word 0x888 -> 1, 0x565 -> 2, 0x555 -> 3, anything else -> 0 (32-bit, alpha kept).
int SpanFormatGroup(int32_t formatWord);

int SpanFillerIndex(int32_t formatWord, const SpanFlags& flags);

class SpanFillerTable {
 public:
  // Fills the table; any number of calls from any thread store the same entries once. Until
  // then the table is empty and every dispatch draws nothing.
  void Init();

  bool IsReady() const { return ready_.load(std::memory_order_acquire); }

  // Null while the table is empty.
  SpanFillerFn Entry(int index) const;

  void Dispatch(const SpanFlags& flags, const SpanVertex* const v[3], uint8_t* bits, int32_t pitch,
                const SpanTexture& texture, const SpanColor& color, int32_t formatWord, const RowBand& hidden) const;

  // The table the drawing entry uses.
  static SpanFillerTable& Process();

 private:
  std::once_flag once_;
  std::atomic<bool> ready_{false};
  std::array<SpanFillerFn, kSpanFillerCount> entries_{};
};

// Fills the process-wide table.
void InitSpanFillerTable();

}  // namespace Velk
