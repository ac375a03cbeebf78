// Mounts arbitrary archives and reads every member every way. The input is the archive before
// scrambling, so the fuzzer sees the structure it mutates.
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/ScratchFolder.h"
#include "resources/PakFormat.h"
#include "resources/PakInterface.h"

namespace {

void ReadEveryWay(PakInterface& pak, const std::string& name) {
  PakFile* file = pak.Open(name.c_str(), "rb");
  if (!file) return;
  if (!file->entry) {  // folded elsewhere: only archive members are of interest
    pak.Close(file);
    return;
  }
  char buffer[64];
  wchar_t wide[16];
  while (pak.Read(buffer, 3, 5, file) > 0) {
  }
  pak.Seek(file, -7, SEEK_END);
  while (pak.Getc(file) >= 0) {
    pak.Ungetc('x', file);
    pak.Getc(file);
  }
  pak.Seek(file, 1, SEEK_SET);
  while (pak.Getwc(file) != kPakWideEof) {
  }
  pak.Seek(file, 0, SEEK_SET);
  while (pak.Gets(buffer, sizeof buffer, file)) {
  }
  pak.Seek(file, 0, SEEK_SET);
  while (pak.Getws(wide, 16, file)) {
  }
  pak.Eof(file);
  pak.Close(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ScratchFolder folder;  // removed at exit
  std::string stored(reinterpret_cast<const char*>(data), size);
  PakScrambleBytes(reinterpret_cast<uint8_t*>(stored.data()), stored.size());
  const std::string path = folder / "archive.pak";
  folder.Write("archive.pak", stored);

  PakInterface pak;
  pak.MountArchive(path);
  for (const auto& [key, entry] : pak.GetDirectory()) ReadEveryWay(pak, key);
  return 0;
}
