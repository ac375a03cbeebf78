// The .anm layout, read back by a loader that relocates every entry's sequence as the game does.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "contentlib/AnmWriter.h"

namespace Content {
namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct LoadedEntry {
  std::string image, name;
  int32_t mirror = 0, loop = 0, fps = 0;
  std::vector<AnmFrame> frames;
};

// A loader in the game's manner: the image is relocated in place, once per entry, by adding the
// difference between where it sits and the saved base to each entry's sequence pointer and then
// to that sequence's frame pointer. A sequence shared by two entries would be moved twice.
std::vector<LoadedEntry> Load(const std::vector<uint8_t>& file) {
  std::vector<uint8_t> image(file.begin() + 12, file.end());
  const int64_t delta = -static_cast<int64_t>(U32(file, 4));  // offsets into the image stand for addresses
  auto put = [&](size_t at, int64_t v) {
    for (int i = 0; i < 4; ++i) image[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  std::vector<LoadedEntry> entries(U32(image, 0));
  for (size_t i = 0; i < entries.size(); ++i) {
    const size_t entry = U32(image, 4) + delta + i * AnmWriter::kEntrySize;
    const int64_t sequence = U32(image, entry + 136) + delta;
    put(entry + 136, sequence);
    put(sequence + 20, U32(image, sequence + 20) + delta);
    LoadedEntry& e = entries[i];
    e.image = reinterpret_cast<const char*>(&image[entry]);
    e.name = reinterpret_cast<const char*>(&image[entry + 68]);
    e.mirror = static_cast<int32_t>(U32(image, entry + 132));
    e.loop = static_cast<int32_t>(U32(image, sequence + 8));
    e.fps = static_cast<int32_t>(U32(image, sequence + 12));
    for (uint32_t f = 0; f < U32(image, sequence + 16); ++f) {
      const size_t at = U32(image, sequence + 20) + f * AnmWriter::kFrameSize;
      e.frames.push_back({static_cast<int32_t>(U32(image, at)), static_cast<int32_t>(U32(image, at + 4)),
                          static_cast<int32_t>(U32(image, at + 8)), static_cast<int32_t>(U32(image, at + 12))});
    }
  }
  return entries;
}

AnmWriter Sample() {
  AnmWriter anm;
  anm.Add(
      {"anm\\img\\boss_std_br.png", "bossstdbrboss_move_empty", AnmLoop::Loop, 8, {{0, 0, 48, 80}, {48, 0, 48, 80}}});
  anm.Add({"anm\\img\\boss_std_br.png", "bossstdbridle01", AnmLoop::Once, 4, {{0, 80, 48, 80}}});
  anm.Add(
      {"anm\\img\\boss_std_br.png", "bossstdbridle02", AnmLoop::Backward, 4, {{0, 160, 40, 70}, {40, 160, 40, 70}}});
  return anm;
}

TEST(AnmWriterTest, LayoutFieldByField) {
  std::vector<uint8_t> file;
  Findings findings;
  ASSERT_TRUE(Sample().Build("anm\\boss.anm", file, findings));
  // 8 header + 3 entries of 140 + 3 sequences of 24 + 5 frames of 24.
  const uint32_t imageSize = 8 + 3 * 140 + 3 * 24 + 5 * 24;
  ASSERT_EQ(file.size(), 12u + imageSize);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "ANM!");
  EXPECT_EQ(U32(file, 4), 0x10000000u);
  EXPECT_EQ(U32(file, 8), imageSize);
  EXPECT_EQ(U32(file, 12), 3u);
  EXPECT_EQ(U32(file, 16), 0x10000008u);
  // Every entry points at a sequence of its own, in entry order after the entries.
  std::set<uint32_t> sequences;
  for (int i = 0; i < 3; ++i) sequences.insert(U32(file, 12 + 8 + i * 140 + 136));
  EXPECT_EQ(sequences, (std::set<uint32_t>{0x10000000u + 428, 0x10000000u + 452, 0x10000000u + 476}));
  // Name fields are zero-padded to 64 bytes.
  for (size_t at = 12 + 8 + 68 + std::strlen("bossstdbrboss_move_empty"); at < 12 + 8 + 132; ++at)
    ASSERT_EQ(file[at], 0);
}

TEST(AnmWriterTest, EveryFrameReadsBackThroughAPerEntryRelocation) {
  std::vector<uint8_t> file;
  Findings findings;
  ASSERT_TRUE(Sample().Build("anm\\boss.anm", file, findings));
  const std::vector<LoadedEntry> entries = Load(file);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "bossstdbrboss_move_empty");
  EXPECT_EQ(entries[0].image, "anm\\img\\boss_std_br.png");
  EXPECT_EQ(entries[0].fps, 8);
  EXPECT_EQ(entries[1].fps, 0);  // a still
  EXPECT_EQ(entries[1].loop, 1);
  EXPECT_EQ(entries[2].loop, 2);
  EXPECT_EQ(entries[2].mirror, 40);  // the frame's width: a mirrored frame lands in the same box
  ASSERT_EQ(entries[2].frames.size(), 2u);
  EXPECT_EQ(entries[2].frames[1].x, 40);
  EXPECT_EQ(entries[2].frames[1].y, 160);
  EXPECT_EQ(entries[0].frames[1].x, 48);
}

TEST(AnmWriterTest, NamesMustLeaveRoomForTheirTerminator) {
  AnmWriter anm;
  const std::string longest(63, 'n');
  anm.Add({"img.png", longest, AnmLoop::Loop, 0, {{0, 0, 1, 1}}});
  std::vector<uint8_t> file;
  Findings findings;
  ASSERT_TRUE(anm.Build("anm\\a.anm", file, findings));
  EXPECT_EQ(Load(file)[0].name, longest);

  anm.Add({"img.png", std::string(64, 'x'), AnmLoop::Loop, 0, {{0, 0, 1, 1}}});
  anm.Add({"img.png", "empty", AnmLoop::Loop, 0, {}});
  EXPECT_FALSE(anm.Build("anm\\a.anm", file, findings));
  ASSERT_EQ(findings.Count(), 2u);
  EXPECT_EQ(findings.List()[0].Text(),
            "anm\\a.anm: entry '" + std::string(64, 'x') + "': '" + std::string(64, 'x') + "' is longer than 63 bytes");
  EXPECT_EQ(findings.List()[1].Text(), "anm\\a.anm: entry 'empty' has no frames");
}

}  // namespace
}  // namespace Content
