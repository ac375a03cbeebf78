#pragma once
// The line reading shared by the 8- and 16-bit, archive and disk variants: store characters
// until a line feed is stored or the buffer is full; null when the end came before anything.

template <typename CharT, typename NextFn>
CharT* PakReadLine(CharT* buffer, int capacity, NextFn next) {
  if (capacity <= 0) return nullptr;
  int stored = 0;
  while (stored < capacity - 1) {
    int c = next();  // -1 at the end
    if (c < 0) {
      if (stored == 0) return nullptr;
      break;
    }
    buffer[stored++] = static_cast<CharT>(c);
    if (c == '\n') break;
  }
  buffer[stored] = 0;
  return buffer;
}
