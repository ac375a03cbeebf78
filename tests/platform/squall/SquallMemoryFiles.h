#pragma once
// In-memory files behind the sound library's four file callbacks, for tests, fuzzing and benchmarks,
// and a builder of PCM WAV files.

#include "platform/squall/Squall.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace Velk::SquallMemoryFiles {

using Bytes = std::vector<uint8_t>;

struct OpenFile {
  const Bytes* data = nullptr;
  int position = 0;
};

struct Store {
  std::mutex mutex;
  std::map<std::string, Bytes> files;
  std::map<int, OpenFile> open;
  int nextHandle = 1;
  int opened = 0;
};

inline Store& Files() {
  static Store store;
  return store;
}

inline void Put(const std::string& name, Bytes bytes) {
  std::lock_guard lock(Files().mutex);
  Files().files[name] = std::move(bytes);
}

// Files still open: every open must be matched by a close.
inline size_t OpenCount() {
  std::lock_guard lock(Files().mutex);
  return Files().open.size();
}

inline int Open(const char* name) {
  Store& s = Files();
  std::lock_guard lock(s.mutex);
  auto it = s.files.find(name);
  if (it == s.files.end()) return -1;
  s.open[s.nextHandle] = {&it->second, 0};
  ++s.opened;
  return s.nextHandle++;
}

// Like the archive layer: a seek outside the file leaves the position where it was.
inline int Seek(int handle, int offset, int origin) {
  Store& s = Files();
  std::lock_guard lock(s.mutex);
  OpenFile& f = s.open.at(handle);
  const int64_t size = static_cast<int64_t>(f.data->size());
  const int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? f.position : size;
  const int64_t target = base + offset;
  if (target >= 0 && target <= size) f.position = static_cast<int>(target);
  return f.position;
}

inline int Read(int handle, void* buffer, int size) {
  Store& s = Files();
  std::lock_guard lock(s.mutex);
  OpenFile& f = s.open.at(handle);
  const int n = std::max(0, std::min(size, static_cast<int>(f.data->size()) - f.position));
  if (n > 0) std::memcpy(buffer, f.data->data() + f.position, n);
  f.position += n;
  return n;
}

inline void Close(int handle) {
  std::lock_guard lock(Files().mutex);
  Files().open.erase(handle);
}

inline void Install() { SQUALL_SetFileCallbacks(&Open, &Seek, &Read, &Close); }

inline void Add16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

inline void Add32(Bytes& b, uint32_t v) {
  Add16(b, v & 0xFFFF);
  Add16(b, v >> 16);
}

inline void AddId(Bytes& b, const char* id) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(id[i]));
}

// A RIFF WAVE file around `data`; the format fields as given, so that bad ones can be made.
inline Bytes Wave(const Bytes& data, uint32_t rate = 44100, uint16_t channels = 1, uint16_t bits = 16,
                  uint16_t tag = 1) {
  Bytes b;
  AddId(b, "RIFF");
  Add32(b, static_cast<uint32_t>(36 + data.size()));
  AddId(b, "WAVE");
  AddId(b, "fmt ");
  Add32(b, 16);
  Add16(b, tag);
  Add16(b, channels);
  Add32(b, rate);
  Add32(b, rate * channels * bits / 8);
  Add16(b, channels * bits / 8);
  Add16(b, bits);
  AddId(b, "data");
  Add32(b, static_cast<uint32_t>(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

// 16-bit mono samples as little-endian bytes.
inline Bytes Samples16(const std::vector<int16_t>& values) {
  Bytes b;
  for (int16_t v : values) Add16(b, static_cast<uint16_t>(v));
  return b;
}

}  // namespace Velk::SquallMemoryFiles
