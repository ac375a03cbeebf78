// Inputs the archive fuzzer found interesting, replayed under the ordinary (and sanitizer) builds.
// Each file is an archive before scrambling.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "resources/PakInterface.h"
#include "resources/PakTestSupport.h"

namespace {

TEST(PakFuzzReplayTest, EveryKeptInputMountsOrFailsCleanly) {
  WorkingScratchFolder folder;
  int replayed = 0, mounted = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/resources/pakfuzz")) {
    SCOPED_TRACE(item.path().filename().string());
    std::vector<uint8_t> bytes = ReadBytes(item.path().string());
    PakScrambleBytes(bytes.data(), bytes.size());
    WriteBytes("case.pak", bytes);
    PakInterface pak;
    mounted += pak.MountArchive("case.pak") ? 1 : 0;
    for (const auto& [key, entry] : pak.GetDirectory()) {
      PakFile* file = pak.Open(key.c_str(), "rb");
      // Stored names that fold or stop at a zero byte reach another entry, or none.
      if (!file || file->entry != &entry) {
        if (file) pak.Close(file);
        continue;
      }
      std::vector<uint8_t> data(static_cast<size_t>(entry.size) + 1);
      EXPECT_EQ(pak.Read(data.data(), 1, data.size(), file), static_cast<size_t>(entry.size));
      EXPECT_NE(pak.Eof(file), 0);
      pak.Seek(file, 0, SEEK_SET);
      while (!pak.Eof(file)) pak.Getwc(file);
      EXPECT_EQ(pak.Tell(file), entry.size);
      pak.Close(file);
    }
    ++replayed;
  }
  EXPECT_GE(replayed, 20);
  EXPECT_GE(mounted, 3);
}

}  // namespace
