#include "app/DemoFile.h"
#include "app/NumberedFiles.h"
#include "platform/ScopedCurrentFolder.h"
#include "platform/ScratchFolder.h"
#include "platform/files/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

using Velk::DemoFile;

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A hand-made file: magic, version, seed 9, the product version, [marker block], length 50, events.
std::vector<uint8_t> MakeFile(uint32_t version, const std::string& product, const std::vector<uint8_t>& markers,
                              const std::vector<uint8_t>& events, uint32_t seed = 9, uint32_t length = 50) {
  std::vector<uint8_t> out;
  PutU32(out, 0x42BEEF78);
  PutU32(out, version);
  PutU32(out, seed);
  out.push_back(static_cast<uint8_t>(product.size()));
  out.push_back(static_cast<uint8_t>(product.size() >> 8));
  out.insert(out.end(), product.begin(), product.end());
  if (version >= 2) {
    PutU32(out, static_cast<uint32_t>(markers.size()));
    out.insert(out.end(), markers.begin(), markers.end());
  }
  PutU32(out, length);
  out.insert(out.end(), events.begin(), events.end());
  return out;
}

TEST(DemoFileTest, SavesTheLayoutAndLoadsItBack) {
  DemoFile file;
  file.mSeed = 0x01020304;
  file.mProductVersion = "1.0";
  file.mMarkers = {{"start", 5}, {"boss", 900}};
  file.mDemoLength = 1234;
  Velk::Buffer events;
  events.WriteBits(0x2B7, 10);
  std::vector<uint8_t> bytes = file.Serialise(events);
  // Marker block: count 2, "start" (2 + 5) 5, "boss" (2 + 4) 900 = 4 + 11 + 10 bytes.
  std::vector<uint8_t> markers;
  PutU32(markers, 2);
  for (auto [name, update] : {std::pair<std::string, uint32_t>{"start", 5}, {"boss", 900}}) {
    markers.push_back(static_cast<uint8_t>(name.size()));
    markers.push_back(0);
    markers.insert(markers.end(), name.begin(), name.end());
    PutU32(markers, update);
  }
  EXPECT_EQ(bytes, MakeFile(2, "1.0", markers, {0xB7, 0x02}, 0x01020304, 1234));

  ScratchFolder scratch;
  std::filesystem::path path = scratch / "roundtrip.dmo";
  ASSERT_TRUE(file.Save(path.string(), events));
  DemoFile loaded;
  Velk::Buffer read;
  std::string error;
  ASSERT_TRUE(loaded.Load(path.string(), "1.0", read, error)) << error;
  EXPECT_EQ(loaded.mSeed, 0x01020304u);
  EXPECT_EQ(loaded.mDemoLength, 1234u);
  ASSERT_EQ(loaded.mMarkers.size(), 2u);
  EXPECT_EQ(loaded.mMarkers[1].name, "boss");
  EXPECT_EQ(loaded.mMarkers[1].update, 900u);
  EXPECT_EQ(read.ReadBits(10), 0x2B7u);
}

TEST(DemoFileTest, LoadErrors) {
  DemoFile file;
  Velk::Buffer events;
  std::string error;
  EXPECT_FALSE(file.Load("/nonexistent/x.dmo", "1.0", events, error));
  EXPECT_EQ(error, "Demo file not found: /nonexistent/x.dmo");

  std::vector<uint8_t> noMarkers;
  PutU32(noMarkers, 0);
  struct Case {
    std::vector<uint8_t> bytes;
    std::string error;
  } cases[] = {
      {{0x78, 0xEF, 0xBE}, "Invalid demo file."},
      {MakeFile(2, "1.0", noMarkers, {1}), ""},
      {MakeFile(1, "1.0", {}, {1}), ""},                          // no marker block
      {MakeFile(2, "1.0", noMarkers, {}), "Invalid demo file."},  // no events
      {MakeFile(2, "0.9", noMarkers, {1}), "This demo file appears to be for '0.9'"},
  };
  cases[0].bytes.push_back(0x43);  // wrong magic
  for (const Case& c : cases) {
    bool ok = file.Parse(c.bytes, "1.0", events, error);
    EXPECT_EQ(ok, c.error.empty());
    EXPECT_EQ(error, c.error);
  }
  // A marker block claiming more than the file holds, and one with fewer markers than its count.
  std::vector<uint8_t> bad = MakeFile(2, "1.0", noMarkers, {1});
  bad[15] = 0x40;  // block length 0x40
  EXPECT_FALSE(file.Parse(bad, "1.0", events, error));
  std::vector<uint8_t> shortBlock;
  PutU32(shortBlock, 3);
  EXPECT_FALSE(file.Parse(MakeFile(2, "1.0", shortBlock, {1, 2}), "1.0", events, error));
  EXPECT_EQ(error, "Invalid demo file.");
}

TEST(DemoFileTest, LongVersionIsReadWholeAndComparedOnItsFirst255Bytes) {
  std::string longVersion(300, 'v');
  std::vector<uint8_t> noMarkers;
  PutU32(noMarkers, 0);
  DemoFile file;
  Velk::Buffer events;
  std::string error;
  EXPECT_TRUE(file.Parse(MakeFile(2, longVersion, noMarkers, {0x5A}), std::string(255, 'v'), events, error));
  EXPECT_EQ(events.ReadByte(), 0x5A);
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

Velk::Buffer Events(size_t count, uint8_t seed) {
  Velk::Buffer events;
  for (size_t i = 0; i < count; ++i) events.WriteByte(static_cast<uint8_t>(seed + i * 7));
  return events;
}

size_t gKillAt = 0;

// Saves in a child process, which kills itself once `killAt` bytes (0: never) reached the disk.
int SaveInChild(const DemoFile& file, const std::string& path, const Velk::Buffer& events, size_t killAt) {
  pid_t child = fork();
  if (child == 0) {
    gKillAt = killAt;
    if (killAt)
      Velk::SetAtomicWriteProbe([](size_t written) {
        if (written >= gKillAt) std::raise(SIGKILL);
      });
    _exit(file.Save(path, events) ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

// A recording is replaced whole: a run killed at any 4 KB boundary of the save leaves the previous
// recording as it was, and the next save clears what the killed ones left behind.
TEST(DemoFileTest, ASaveKilledPartWayLeavesThePreviousRecordingWhole) {
  ScratchFolder scratch;
  const std::string path = scratch / "velkapp1.dmo";
  DemoFile older;
  older.mSeed = 1;
  older.mProductVersion = "1.0";
  ASSERT_EQ(SaveInChild(older, path, Events(6000, 1), 0), 0);
  const std::vector<uint8_t> before = ReadAll(path);

  DemoFile newer = older;
  newer.mSeed = 2;
  newer.mMarkers = {{"late", 900}};
  const Velk::Buffer events = Events(20000, 5);
  const std::vector<uint8_t> after = newer.Serialise(events);
  for (size_t boundary = 4096; boundary < after.size(); boundary += 4096) {
    int status = SaveInChild(newer, path, events, boundary);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << boundary;
    EXPECT_EQ(ReadAll(path), before) << "killed after " << boundary << " bytes";
  }

  ASSERT_TRUE(newer.Save(path, events));
  EXPECT_EQ(ReadAll(path), after);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.Path()), {}), 1) << "temporaries left";
}

// The fuzzer's seeds: both versions load, and what loads saves and loads back the same.
TEST(DemoFileTest, ReplayKeptFuzzInputs) {
  for (const auto& entry : std::filesystem::directory_iterator(TEST_DATA_DIR "/app/demofuzz")) {
    DemoFile file;
    Velk::Buffer events;
    std::string error;
    ASSERT_TRUE(file.Parse(ReadAll(entry.path()), "1.0", events, error)) << entry.path() << ": " << error;
    DemoFile back;
    Velk::Buffer again;
    ASSERT_TRUE(back.Parse(file.Serialise(events), "1.0", again, error)) << entry.path();
    EXPECT_EQ(back.mSeed, 9u);
    EXPECT_EQ(back.mDemoLength, 50u);
    EXPECT_EQ(again.ByteLength(), events.ByteLength());
  }
}

TEST(NumberedFilesTest, DemoAndScreenshotNumbering) {
  ScratchFolder scratch;
  std::filesystem::path dir = scratch.Path();
  const ScopedCurrentFolder inScratch(dir);
  for (const char* name : {"velkapp3.dmo", "velkapp7.dmo", "velkapp.dmo", "image1.png", "image7.png", "imagex.png"})
    std::ofstream(name) << "x";
  EXPECT_EQ(Velk::GetLastDemoNumber("velkapp", 5, true), 7);  // two files, below the keep count
  EXPECT_TRUE(std::filesystem::exists("velkapp3.dmo"));
  EXPECT_EQ(Velk::GetLastDemoNumber("velkapp", 2, true), 7);
  EXPECT_FALSE(std::filesystem::exists("velkapp3.dmo"));
  EXPECT_EQ(Velk::NextScreenshotPath(dir.string() + "/"), dir.string() + "/image8.png");
  EXPECT_EQ(Velk::NextScreenshotPath(dir.string() + "/none/"), dir.string() + "/none/image1.png");
}

}  // namespace
