#include "sound/DSoundManager.h"

#include "SoundTestSupport.h"

#include "resources/PakInterface.h"

#include <sys/stat.h>

#include <filesystem>

namespace Velk {
namespace {

namespace fs = std::filesystem;

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// Last-write time as 100 ns units since 1601.
uint64_t FileTimeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0);
  return (static_cast<uint64_t>(st.st_mtim.tv_sec) + 11644473600ull) * 10000000ull + st.st_mtim.tv_nsec / 100;
}

std::vector<uint8_t> MuLawAu(const std::vector<uint8_t>& codes) {
  std::vector<uint8_t> b = {'.', 's', 'n', 'd', 0, 0, 0,    24,   0, 0, 0, static_cast<uint8_t>(codes.size()),
                            0,   0,   0,   1,   0, 0, 0xAC, 0x44, 0, 0, 0, 1};
  b.insert(b.end(), codes.begin(), codes.end());
  return b;
}

class DSoundCacheTest : public SoundFixture {
 protected:
  std::string CacheFile(const std::string& name) { return scratch_.Path() + "/data/cached/" + name + ".wav"; }

  std::vector<int16_t> PlayFirstFrames(DSoundManager& manager, int id, size_t frames) {
    SoundInstance* instance = manager.GetSoundInstance(id);
    EXPECT_NE(instance, nullptr);
    instance->Play(false, false);
    auto out = Render(frames);
    manager.ReleaseChannels();
    return out;
  }
};

TEST_F(DSoundCacheTest, DecodedOggIsCachedScrambledAndReadBackIdentically) {
  fs::create_directories("snd");
  fs::copy_file(TEST_DATA_DIR "/sound/tone.ogg", "snd/tone.ogg");
  std::vector<int16_t> decoded;
  {
    DSoundManager manager(Window(), false);
    const int id = manager.LoadSound("snd/tone");
    ASSERT_GE(id, 0);
    decoded = PlayFirstFrames(manager, id, 256);
  }
  const auto file = ReadBytes(CacheFile("snd/tone"));
  const size_t n = std::string("snd/tone.ogg").size();
  ASSERT_EQ(file.size(), 71 + n + 2205 * 4);
  EXPECT_EQ(Le32(file, 4), 2205u * 4 + 36);
  EXPECT_EQ(file[22], 2);
  EXPECT_EQ(Le32(file, 24), 22050u);
  EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "dep ");
  EXPECT_EQ(Le32(file, 40), n + 10);
  EXPECT_EQ(std::string(file.begin() + 46, file.begin() + 46 + n), "snd/tone.ogg");
  const uint64_t stored = Le32(file, 46 + n) | (static_cast<uint64_t>(Le32(file, 50 + n)) << 32);
  EXPECT_EQ(stored, FileTimeOf("snd/tone.ogg"));
  EXPECT_EQ(std::string(file.begin() + 63 + n, file.begin() + 67 + n), "data");

  // While the source keeps its time the copy serves, with the same samples, even though the
  // source itself no longer decodes.
  const auto time = fs::last_write_time("snd/tone.ogg");
  WriteBytes("snd/tone.ogg", {'n', 'o', 'p', 'e'});
  fs::last_write_time("snd/tone.ogg", time);
  DSoundManager again(Window(), false);
  const int id = again.LoadSound("snd/tone");
  ASSERT_GE(id, 0);
  EXPECT_EQ(PlayFirstFrames(again, id, 256), decoded);
}

TEST_F(DSoundCacheTest, AChangedSourceIsDecodedAgain) {
  WriteBytes("beep.au", MuLawAu({0x80, 0x00, 0xFF, 0x7F}));
  {
    DSoundManager manager(Window(), false);
    ASSERT_GE(manager.LoadSound("beep"), 0);
  }
  const uint64_t first = FileTimeOf("beep.au");
  fs::last_write_time("beep.au", fs::last_write_time("beep.au") + std::chrono::seconds(10));
  WriteBytes("beep.au", MuLawAu({0x00, 0x80, 0xFF, 0x7F}));
  fs::last_write_time("beep.au", fs::last_write_time("beep.au") + std::chrono::seconds(10));
  DSoundManager manager(Window(), false);
  const int id = manager.LoadSound("beep");
  ASSERT_GE(id, 0);
  const auto file = ReadBytes(CacheFile("beep"));
  const size_t n = 7;
  const uint64_t stored = Le32(file, 46 + n) | (static_cast<uint64_t>(Le32(file, 50 + n)) << 32);
  EXPECT_NE(stored, first);
  EXPECT_EQ(stored, FileTimeOf("beep.au"));
  EXPECT_EQ(PlayFirstFrames(manager, id, 4), (std::vector<int16_t>{-31616, -31616, 31616, 31616, 0, 0, 0, 0}));
}

TEST_F(DSoundCacheTest, ShortAbsoluteAndPlainWaveNamesAreNeverCached) {
  WriteBytes("ab.au", MuLawAu({1, 2, 3, 4}));
  WriteBytes("abs.au", MuLawAu({1, 2, 3, 4}));
  WriteBytes("plain.wav", WavBytes(Samples16({1, 2}), 1, 16));
  DSoundManager manager(Window(), false);
  EXPECT_GE(manager.LoadSound("ab"), 0);
  EXPECT_GE(manager.LoadSound(scratch_.Path() + "/abs"), 0);
  EXPECT_GE(manager.LoadSound("plain"), 0);
  EXPECT_EQ(manager.GetNumSounds(), 3);
  const fs::path cache = scratch_.Path() + "/data/cached";
  const bool empty =
      !fs::exists(cache) || fs::recursive_directory_iterator(cache) == fs::recursive_directory_iterator();
  EXPECT_TRUE(empty);
}

// A sound that only an archive holds carries the archive member's time, so a new archive makes
// the cached copy stale.
TEST_F(DSoundCacheTest, ArchiveMembersCarryTheirOwnTime) {
  const auto au = MuLawAu({0x80, 0x80, 0x80, 0x80});
  const size_t n = std::string("snd/arch.au").size();
  for (uint32_t low : {0x1111u, 0x2222u}) {
    PakInterface pak;
    PlainPak()
        .Header()
        .Record("snd\\arch.au", static_cast<uint32_t>(au.size()), low, 0x01D00000)
        .End()
        .Text(std::string(au.begin(), au.end()))
        .WriteTo("one.pak");
    ASSERT_TRUE(pak.MountArchive("one.pak"));
    DSoundManager manager(Window(), false);
    ASSERT_GE(manager.LoadSound("snd/arch"), 0);
    const auto file = ReadBytes(CacheFile("snd/arch"));
    ASSERT_GT(file.size(), 54 + n);
    EXPECT_EQ(Le32(file, 46 + n), low) << "decoded again and rewritten";
    EXPECT_EQ(Le32(file, 50 + n), 0x01D00000u);
  }
}

}  // namespace
}  // namespace Velk
