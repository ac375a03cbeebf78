#pragma once
// The byte transform every archive byte passes through. The reader and the packer both use these,
// so the two can never drift apart. It is position-independent, which keeps random access cheap.

#include <cstddef>
#include <cstdint>

inline constexpr uint8_t kPakScrambleKey = 0xF7;

constexpr uint8_t PakUnscrambleByte(uint8_t stored) { return static_cast<uint8_t>(stored ^ kPakScrambleKey); }
constexpr uint8_t PakScrambleByte(uint8_t plain) { return static_cast<uint8_t>(plain ^ kPakScrambleKey); }

// In-place over a buffer; the transform is its own inverse, but callers say which way they mean.
inline void PakScrambleBytes(uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) bytes[i] = PakScrambleByte(bytes[i]);
}
inline void PakUnscrambleBytes(uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) bytes[i] = PakUnscrambleByte(bytes[i]);
}
