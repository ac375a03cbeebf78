// The HTTP response reader on arbitrary bytes, fed as they might arrive from a socket: in pieces of
// sizes the first byte chooses. However the bytes are split, the outcome must be the one they give
// in one piece.

#include "app/HTTPResponseReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using Velk::HTTPResponseReader;
  if (size == 0) return 0;
  uint32_t pieces = data[0] * 2654435761u + 1;
  const char* bytes = reinterpret_cast<const char*>(data + 1);
  const size_t length = size - 1;

  HTTPResponseReader whole;
  const HTTPResponseReader::State wholeState = whole.Feed(bytes, static_cast<int>(length));

  HTTPResponseReader split;
  HTTPResponseReader::State state = HTTPResponseReader::kNeedMore;
  for (size_t pos = 0; pos < length && state == HTTPResponseReader::kNeedMore;) {
    pieces = pieces * 1103515245u + 12345u;
    const size_t piece = std::min<size_t>(length - pos, 1 + (pieces >> 16) % 64);
    state = split.Feed(bytes + pos, static_cast<int>(piece));
    pos += piece;
  }
  if (state != wholeState || split.Content() != whole.Content() || split.StatusResult() != whole.StatusResult()) {
    __builtin_trap();
  }
  if (whole.Content().size() > length) __builtin_trap();
  return 0;
}
