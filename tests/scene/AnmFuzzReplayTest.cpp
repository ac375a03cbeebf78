// Animation files the content writer produced, and inputs the fuzzer found interesting, replayed
// through the player under the ordinary (and sanitizer) builds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/QCDeadline.h"
#include "scene/AnmFile.h"
#include "scene/AnmPlayer.h"
#include "support/MemoryPak.h"

namespace {

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(AnmFuzzReplayTest, EveryKeptInputPlaysOrIsRefused) {
  MemoryPak pak;
  SetGameDt(0.05f);
  int replayed = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/scene/anmfuzz")) {
    SCOPED_TRACE(item.path().filename().string());
    std::vector<uint8_t> bytes = ReadFile(item.path());
    pak.Put("anm\\case.anm", bytes);
    AnmFile file;
    AnmPlayer player(nullptr);
    ASSERT_EQ(player.Load("case"), file.Parse(bytes.data(), bytes.size()));
    for (const AnmEntry& entry : file.Entries()) {
      EXPECT_TRUE(player.PlayByName(entry.name, false));
      for (int i = 0; i < 10; ++i) {
        bool finished = false;
        player.Update(finished);
        const AnmFrame* frame = player.GetCurrentFrame();
        if (frame) {
          EXPECT_EQ(frame->width, entry.sequence->frames[0].width);
        }
      }
    }
    ++replayed;
  }
  EXPECT_GE(replayed, 4);
  SetGameDt(0.0f);
}

// The content writer's walk.anm: entries walk01, walk02, walk04, each with its own sequence.
TEST(AnmFuzzReplayTest, WriterOutputReadsBack) {
  std::vector<uint8_t> bytes = ReadFile(std::string(TEST_DATA_DIR) + "/scene/anmfuzz/walk.anm");
  AnmFile file;
  ASSERT_TRUE(file.Parse(bytes.data(), bytes.size()));
  ASSERT_EQ(file.Entries().size(), 3u);
  EXPECT_EQ(file.Entries()[2].name, "walk04");
  EXPECT_EQ(file.Entries()[0].imageFile, "anm\\img\\walk01.png");
  EXPECT_NE(file.Entries()[0].sequence, file.Entries()[1].sequence);
  EXPECT_EQ(file.Entries()[1].sequence->frameCount, 4);
  EXPECT_EQ(file.Entries()[1].sequence->fps, 8);
  EXPECT_EQ(file.Entries()[1].sequence->frames[3].srcX, 30);
}

}  // namespace
