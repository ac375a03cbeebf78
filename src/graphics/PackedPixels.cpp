#include "graphics/PackedPixels.h"

#include <algorithm>
#include <cstring>

namespace Velk {

namespace {

// Each stretch starts with a word holding its length times two, plus one for a run: a run is followed
// by its one word, a stretch of words as they are by all of them.
constexpr size_t kMaxLength = 0x7FFFFFFF;
// A run shorter than this costs as much as the words themselves.
constexpr size_t kShortestRun = 3;

// Where the run of pixels[i] ends: eight words at a time while they all match, which the compiler
// turns into vector compares, then word by word.
size_t RunEnd(const uint32_t* pixels, size_t i, size_t count) {
  const uint32_t value = pixels[i];
  size_t j = i + 1;
  while (j + 8 <= count) {
    uint32_t differ = 0;
    for (size_t k = 0; k < 8; ++k) differ |= pixels[j + k] ^ value;
    if (differ) break;
    j += 8;
  }
  while (j < count && pixels[j] == value) ++j;
  return j;
}

// Walks the pixels as runs and stretches; `emit(run, length, words)` is told each piece in order.
template <typename Emit>
void Walk(const uint32_t* pixels, size_t count, Emit emit) {
  size_t literal = 0;  // where the stretch of words as they are began
  auto flush = [&](size_t end) {
    for (size_t at = literal; at < end; at += std::min(end - at, kMaxLength))
      emit(false, std::min(end - at, kMaxLength), pixels + at);
  };
  size_t i = 0;
  while (i < count) {
    const size_t j = RunEnd(pixels, i, count);
    if (j - i >= kShortestRun) {
      flush(i);
      for (size_t at = i; at < j; at += std::min(j - at, kMaxLength)) emit(true, std::min(j - at, kMaxLength), pixels + i);
      literal = j;
    }
    i = j;
  }
  flush(count);
}

}  // namespace

PackedPixels::PackedPixels(size_t count, size_t wordCount)
    : mCount(count), mWordCount(wordCount), mWords(std::make_unique<uint32_t[]>(wordCount)) {}

std::unique_ptr<PackedPixels> PackedPixels::Pack(const uint32_t* pixels, size_t count) {
  if (!pixels || count == 0) return nullptr;
  // Measured first, so that the words are allocated once and at their size.
  size_t words = 0;
  Walk(pixels, count, [&](bool run, size_t length, const uint32_t*) { words += 1 + (run ? 1 : length); });
  if (words > count / 2) return nullptr;
  std::unique_ptr<PackedPixels> packed(new PackedPixels(count, words));
  uint32_t* out = packed->mWords.get();
  Walk(pixels, count, [&](bool run, size_t length, const uint32_t* from) {
    *out++ = static_cast<uint32_t>(length << 1 | (run ? 1 : 0));
    const size_t n = run ? 1 : length;
    std::memcpy(out, from, n * sizeof(uint32_t));
    out += n;
  });
  return packed;
}

void PackedPixels::Unpack(uint32_t* out) const {
  const uint32_t* in = mWords.get();
  const uint32_t* end = in + mWordCount;
  while (in < end) {
    const size_t length = *in >> 1;
    if (*in++ & 1) {
      std::fill_n(out, length, *in++);
    } else {
      std::memcpy(out, in, length * sizeof(uint32_t));
      in += length;
    }
    out += length;
  }
}

}  // namespace Velk
