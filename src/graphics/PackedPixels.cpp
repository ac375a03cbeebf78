#include "graphics/PackedPixels.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

// Walks the pixels as runs and stretches; `emit(run, length, words)` is told each piece in order and
// may stop the walk by answering false, which the walk then answers.
template <typename Emit>
bool Walk(const uint32_t* pixels, size_t count, Emit emit) {
  size_t literal = 0;  // where the stretch of words as they are began
  auto flush = [&](size_t end) {
    for (size_t at = literal; at < end; at += std::min(end - at, kMaxLength))
      if (!emit(false, std::min(end - at, kMaxLength), pixels + at)) return false;
    return true;
  };
  size_t i = 0;
  while (i < count) {
    const size_t j = RunEnd(pixels, i, count);
    if (j - i >= kShortestRun) {
      if (!flush(i)) return false;
      for (size_t at = i; at < j; at += std::min(j - at, kMaxLength))
        if (!emit(true, std::min(j - at, kMaxLength), pixels + i)) return false;
      literal = j;
    }
    i = j;
  }
  return flush(count);
}

}  // namespace

PackedPixels::PackedPixels(size_t count, size_t wordCount)
    : mCount(count), mWordCount(wordCount), mWords(std::make_unique<uint32_t[]>(wordCount)) {}

std::unique_ptr<PackedPixels> PackedPixels::Pack(const uint32_t* pixels, size_t count) {
  if (!pixels || count == 0) return nullptr;
  // One walk into a growing buffer, given up as soon as it passes half the room; the words then move
  // to a buffer of their size.
  const size_t limit = count / 2;
  std::vector<uint32_t> words;
  words.reserve(std::min(limit, count / 16 + 16));
  const bool fits = Walk(pixels, count, [&](bool run, size_t length, const uint32_t* from) {
    const size_t n = run ? 1 : length;
    if (words.size() + 1 + n > limit) return false;
    words.push_back(static_cast<uint32_t>(length << 1 | (run ? 1 : 0)));
    words.insert(words.end(), from, from + n);
    return true;
  });
  if (!fits) return nullptr;
  std::unique_ptr<PackedPixels> packed(new PackedPixels(count, words.size()));
  std::memcpy(packed->mWords.get(), words.data(), words.size() * sizeof(uint32_t));
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
