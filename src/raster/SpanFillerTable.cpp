#include "raster/SpanFillerTable.h"

#include <utility>

#include "raster/SpanFiller.h"

namespace Velk {

void SpanFillerNone(const SpanVertex* const[3], uint8_t*, int32_t, const SpanTexture&, const SpanColor&,
                    const RowBand&) {}

namespace {

template <size_t I>
constexpr SpanFillerFn EntryFor() {
  constexpr SpanFormat f = SpanFormat(I / 32);
  constexpr bool tex = I & 16, blend = I & 8, vcol = I & 4, mod = I & 2, bil = I & 1;
  if constexpr (!tex && !vcol)
    return &SpanFillerNone;
  else if constexpr (!tex)  // alpha-blend and bilinear do not apply without a texture
    return &SpanFill<f, false, false, true, mod, false>;
  else if constexpr (f == SpanFormat::Xrgb888 && !blend && !vcol && !mod)
    return &SpanFill<SpanFormat::Argb8888, true, false, false, false, bil>;  // always opaque: shared
  else
    return &SpanFill<f, true, blend, vcol, mod, bil>;
}

template <size_t... I>
constexpr std::array<SpanFillerFn, kSpanFillerCount> MakeSource(std::index_sequence<I...>) {
  return {EntryFor<I>()...};
}

constexpr std::array<SpanFillerFn, kSpanFillerCount> kSource = MakeSource(std::make_index_sequence<kSpanFillerCount>{});

}  // namespace

int SpanFormatGroup(int32_t formatWord) {
  switch (formatWord) {
    case 0x888:
      return 1;
    case 0x565:
      return 2;
    case 0x555:
      return 3;
    default:
      return 0;
  }
}

int SpanFillerIndex(int32_t formatWord, const SpanFlags& flags) {
  return SpanFormatGroup(formatWord) * 32 + 16 * flags.texture + 8 * flags.alphaBlend + 4 * flags.vertexColors +
         2 * flags.modulate + flags.bilinear;
}

void SpanFillerTable::Init() {
  std::call_once(once_, [this] {
    entries_ = kSource;
    ready_.store(true, std::memory_order_release);
  });
}

SpanFillerFn SpanFillerTable::Entry(int index) const { return IsReady() ? entries_[size_t(index)] : nullptr; }

void SpanFillerTable::Dispatch(const SpanFlags& flags, const SpanVertex* const v[3], uint8_t* bits, int32_t pitch,
                               const SpanTexture& texture, const SpanColor& color, int32_t formatWord,
                               const RowBand& hidden) const {
  if (SpanFillerFn fill = Entry(SpanFillerIndex(formatWord, flags))) fill(v, bits, pitch, texture, color, hidden);
}

SpanFillerTable& SpanFillerTable::Process() {
  static SpanFillerTable table;
  return table;
}

void InitSpanFillerTable() { SpanFillerTable::Process().Init(); }

}  // namespace Velk
