#include "scene/AnmFile.h"

#include <gtest/gtest.h>

#include "scene/AnmBytes.h"

using AnmTesting::AnmBytes;

namespace {

bool Parse(AnmFile& file, const std::vector<uint8_t>& bytes, std::string* error = nullptr) {
  return file.Parse(bytes.data(), bytes.size(), error);
}

TEST(AnmFile, ReadsEntriesSequencesAndFrames) {
  AnmBytes bytes;
  bytes.Add("walk01", 3, 12, 0).Add("still", 1, 30, 1);
  AnmFile file;
  ASSERT_TRUE(Parse(file, bytes.Build()));
  ASSERT_EQ(file.Entries().size(), 2u);
  const AnmEntry& walk = file.Entries()[0];
  EXPECT_EQ(walk.name, "walk01");
  EXPECT_EQ(walk.imageFile, "anm\\img\\walk01.png");
  EXPECT_EQ(walk.mirrorWidth, 8);
  EXPECT_EQ(walk.sequence->fps, 12);
  ASSERT_EQ(walk.sequence->frameCount, 3);
  EXPECT_EQ(walk.sequence->frames[2].srcX, 20);
  EXPECT_EQ(walk.sequence->frames[2].offX, 2);
  EXPECT_EQ(walk.sequence->frames[2].offY, -2);
  // A single frame is a still: its rate is dropped.
  EXPECT_EQ(file.Entries()[1].sequence->fps, 0);
  EXPECT_EQ(file.Entries()[1].sequence->loopMode, 1);
}

TEST(AnmFile, EmptyFileAndTrailingBytes) {
  AnmBytes bytes;
  AnmFile file;
  std::vector<uint8_t> b = bytes.Build();
  EXPECT_TRUE(Parse(file, b));
  EXPECT_TRUE(file.Entries().empty());
  bytes.Add("a", 2, 5, 0);
  b = bytes.Build();
  b.push_back(0xEE);  // bytes past the stored image size are not read
  EXPECT_TRUE(Parse(file, b));
  EXPECT_EQ(file.Entries().size(), 1u);
}

TEST(AnmFile, SharedSequenceIsReadOnceAndShared) {
  AnmBytes bytes;
  bytes.Add("a", 4, 8, 0).Add("b", 2, 8, 0);
  bytes.entries[1].sequence = 0;
  AnmFile file;
  ASSERT_TRUE(Parse(file, bytes.Build()));
  EXPECT_EQ(file.Entries()[0].sequence, file.Entries()[1].sequence);
  EXPECT_EQ(file.Entries()[1].sequence->frameCount, 4);
  EXPECT_EQ(file.Entries()[1].sequence->frames[3].srcX, 30);
}

// Each damage is refused whole and leaves what was parsed before.
TEST(AnmFile, DamagedFilesAreRefusedAndKeepThePreviousContents) {
  AnmBytes good;
  good.Add("keep", 2, 4, 0);
  AnmFile file;
  ASSERT_TRUE(Parse(file, good.Build()));

  std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
  auto damaged = [&](const std::string& what, auto change) {
    AnmBytes b;
    b.Add("x", 3, 6, 0).Add("y", 2, 6, 1);
    change(b);
    cases.emplace_back(what, b.Build());
  };
  damaged("bad magic", [](AnmBytes& b) { b.magic = 0x214D4E42; });
  damaged("size past the end", [](AnmBytes& b) { b.sizeDelta = 1; });
  damaged("size below the header", [](AnmBytes& b) { b.sizeDelta = -int64_t(8 + 2 * 140 + 2 * 24 + 5 * 24) + 4; });
  damaged("entry pointer past the end", [](AnmBytes& b) { b.entryPointerDelta = 1000; });
  damaged("entry pointer below base", [](AnmBytes& b) { b.entryPointerDelta = 0xFFFFFF00u; });
  damaged("entries reach past the end", [](AnmBytes& b) { b.entryPointerDelta = 8 + 2 * 24 + 5 * 24; });
  damaged("frame count -1", [](AnmBytes& b) { b.sequences[1].frameCountOverride = -1; });
  damaged("frame count too large", [](AnmBytes& b) { b.sequences[0].frameCountOverride = 0x7FFFFFFF; });
  damaged("frames past the end", [](AnmBytes& b) { b.sequences[1].frameCountOverride = 3; });
  damaged("unterminated name", [](AnmBytes& b) { b.entries[1].unterminatedName = true; });
  damaged("unterminated image", [](AnmBytes& b) { b.entries[0].image = std::string(64, 'i'); });
  cases.emplace_back("truncated header", std::vector<uint8_t>{0x41, 0x4E, 0x4D, 0x21, 0, 0});
  for (auto& [what, bytes] : cases) {
    std::string error;
    EXPECT_FALSE(Parse(file, bytes, &error)) << what;
    EXPECT_FALSE(error.empty()) << what;
    ASSERT_EQ(file.Entries().size(), 1u) << what;
    EXPECT_EQ(file.Entries()[0].name, "keep") << what;
  }
}

TEST(AnmFile, LongestNamesFitWithTheirTerminator) {
  AnmBytes bytes;
  bytes.Add(std::string(63, 'n'), 1, 0, 0);
  bytes.entries[0].image = std::string(63, 'i');
  AnmFile file;
  ASSERT_TRUE(Parse(file, bytes.Build()));
  EXPECT_EQ(file.Entries()[0].name.size(), 63u);
  EXPECT_EQ(file.Entries()[0].imageFile.size(), 63u);
}

TEST(AnmFile, EveryTruncationIsRefused) {
  AnmBytes bytes;
  bytes.Add("a", 3, 6, 0).Add("b", 1, 0, 0);
  std::vector<uint8_t> full = bytes.Build();
  AnmFile file;
  for (size_t n = 0; n < full.size(); ++n) {
    std::vector<uint8_t> cut(full.begin(), full.begin() + long(n));
    EXPECT_FALSE(Parse(file, cut)) << n;
  }
  EXPECT_TRUE(Parse(file, full));
}

}  // namespace
