#include "app/DemoCapabilityTest.h"
#include "app/DemoStream.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Velk::DemoEvent;
using Velk::DemoStream;

// A player over the bytes a recorder wrote, with its own counter.
struct Player {
  explicit Player(const DemoStream& recorder) {
    demo.mBuffer.WriteBytes(recorder.mBuffer.Data(), recorder.mBuffer.ByteLength());
    demo.mPlaying = true;
    demo.AttachCounter(&counter);
    demo.StartPlayback();
  }
  DWORD counter = 0;
  DemoStream demo;
};

struct Recorder {
  Recorder() {
    demo.mRecording = true;
    demo.AttachCounter(&counter);
  }
  DWORD counter = 0;
  DemoStream demo;
};

TEST(DemoStreamTest, LongGapsAreChainedThroughFillers) {
  Recorder rec;
  rec.counter = 40;
  rec.demo.RecordBits(Velk::kDemoKeyDown, 0x41, 8);
  Velk::Buffer bits;
  bits.WriteBytes(rec.demo.mBuffer.Data(), rec.demo.mBuffer.ByteLength());
  for (int filler = 0; filler < 2; ++filler) {
    EXPECT_EQ(bits.ReadBits(4), 15u);
    EXPECT_EQ(bits.ReadBits(1), 0u);
    EXPECT_EQ(bits.ReadBits(5), 31u);
  }
  EXPECT_EQ(bits.ReadBits(4), 10u);
  EXPECT_EQ(bits.ReadBits(1), 0u);
  EXPECT_EQ(bits.ReadBits(5), 3u);
  EXPECT_EQ(bits.ReadBits(8), 0x41u);

  Player play(rec.demo);
  DemoEvent event;
  int keyAt = -1;
  for (; play.counter <= 45; ++play.counter) {
    while (play.demo.NextInputEvent(event))
      if (event.command == Velk::kDemoKeyDown) keyAt = static_cast<int>(play.counter);
  }
  EXPECT_EQ(keyAt, 40);
}

TEST(DemoStreamTest, MouseMovesRelativeOnlyWithinSixBitsAndStayInRange) {
  Recorder rec;
  rec.demo.RecordMousePosition(31, -32);      // too far: absolute
  rec.demo.RecordMousePosition(62, -63);      // (+31, -31): relative
  rec.demo.RecordMousePosition(62, -63);      // unchanged: nothing
  rec.demo.RecordMousePosition(-3000, 5000);  // a drag outside the window, clamped
  rec.demo.RecordMouseButton(-1, true);
  Player play(rec.demo);
  std::vector<DemoEvent> events;
  DemoEvent event;
  while (play.demo.NextInputEvent(event)) events.push_back(event);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_FALSE(events[0].mouse);
  EXPECT_EQ(events[0].x, 31);
  EXPECT_EQ(events[0].y, -32);
  EXPECT_TRUE(events[1].mouse);
  EXPECT_EQ(events[1].x, 62);
  EXPECT_EQ(events[1].y, -63);
  EXPECT_EQ(events[2].x, -2048);
  EXPECT_EQ(events[2].y, 2047);
  EXPECT_TRUE(events[3].mouse);
  EXPECT_EQ(events[3].button, -1);
  EXPECT_TRUE(events[3].flag);
}

TEST(DemoStreamTest, ExchangesReplayTheRecordedOutsideWorld) {
  Recorder rec;
  rec.demo.RecordDisplaySettings(true, 60);
  const BYTE value[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
  rec.demo.RecordRegistryRead(true, 1, value, 6);
  rec.demo.RecordRegistryWrite(false);
  Velk::Buffer file;
  file.WriteU32(0xCAFE);
  rec.demo.RecordFileRead(true, file);
  std::string clip = "clipboard";
  rec.demo.ExchangeString(clip);
  rec.counter = 3;
  rec.demo.RecordEvent(Velk::kDemoClose);

  Player play(rec.demo);
  bool windowed = false;
  uint8_t refresh = 0;
  play.demo.ReadDisplaySettings(windowed, refresh);
  EXPECT_TRUE(windowed);
  EXPECT_EQ(refresh, 60);
  // The injector leaves exchanges to their own operations.
  DemoEvent event;
  EXPECT_FALSE(play.demo.NextInputEvent(event));
  BYTE small[4] = {};
  DWORD type = 0, size = sizeof small;
  EXPECT_TRUE(play.demo.PlayRegistryRead(&type, small, &size));
  EXPECT_EQ(type, 1u);
  EXPECT_EQ(size, 4u);  // bounded by the caller's buffer, the rest skipped
  EXPECT_EQ(std::string(small, small + 4), "abcd");
  EXPECT_FALSE(play.demo.PlayRegistryWrite());
  Velk::Buffer read;
  EXPECT_TRUE(play.demo.PlayFileRead(read));
  EXPECT_EQ(read.ReadU32(), 0xCAFEu);
  std::string replayed = "live";
  play.demo.ExchangeString(replayed);
  EXPECT_EQ(replayed, "clipboard");
  int closeAt = -1;
  for (; play.counter <= 4; ++play.counter)
    while (play.demo.NextInputEvent(event)) closeAt = static_cast<int>(play.counter);  // no payload, last
  EXPECT_EQ(closeAt, 3);
  EXPECT_EQ(event.command, Velk::kDemoClose);
  // After a played close nothing more is read.
  EXPECT_FALSE(play.demo.PlayFileRead(read));
  EXPECT_TRUE(play.demo.PlayRegistryWrite());
}

TEST(DemoStreamTest, RecordedLengthsBeyondTheStreamFail) {
  DemoStream demo;
  DWORD counter = 0;
  demo.AttachCounter(&counter);
  demo.mBuffer.WriteBits(0, 4);
  demo.mBuffer.WriteBits(0, 1);
  demo.mBuffer.WriteBits(Velk::kDemoFileRead, 5);
  demo.mBuffer.WriteBits(1, 1);
  demo.mBuffer.WriteU32(0xFFFFFFF0u);
  demo.mBuffer.WriteU32(7);
  demo.mPlaying = true;
  demo.StartPlayback();
  Velk::Buffer read;
  EXPECT_FALSE(demo.PlayFileRead(read));
  EXPECT_EQ(read.ByteLength(), 0);
}

TEST(DemoStreamTest, HttpResultsAreMatchedByTransferId) {
  Recorder rec;
  rec.demo.RecordHttpResult(7, 2, "ignored while busy");
  rec.demo.RecordHttpResult(7, 0, "body");
  Player play(rec.demo);
  int result = -1;
  std::string content;
  EXPECT_FALSE(play.demo.PlayHttpResult(8, result, content));
  ASSERT_TRUE(play.demo.PlayHttpResult(7, result, content));
  EXPECT_EQ(result, 2);
  EXPECT_EQ(content, "");
  ASSERT_TRUE(play.demo.PlayHttpResult(7, result, content));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(content, "body");
}

}  // namespace

namespace {

// A 3-D test with a fixed verdict that counts its runs.
class FixedVerdict : public Velk::DisplayCapabilityTest {
 public:
  FixedVerdict(std::string reason, std::string warning, bool noStored, int& runs)
      : mReason(std::move(reason)), mWarning(std::move(warning)), mNoStored(noStored), mRuns(runs) {}
  void Run(HWND, IDirectDraw7*, DWORD, DWORD) override { ++mRuns; }
  std::string GetFailureReason() override { return mReason; }
  std::string GetWarning() override { return mWarning; }
  bool NoStoredFailureReason() override { return mNoStored; }

 private:
  std::string mReason, mWarning;
  bool mNoStored;
  int& mRuns;
};

TEST(DemoStreamTest, PlaybackTakesTheRecordedThreeDVerdictWithoutTesting) {
  int runs = 0;
  Recorder rec;
  rec.counter = 3;
  Velk::DemoCapabilityTest live(
      std::make_unique<FixedVerdict>("Not enough video memory.", "Low video memory.", true, runs), rec.demo);
  live.Run(nullptr, nullptr, 6, 14);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(live.GetFailureReason(), "Not enough video memory.");

  Player play(rec.demo);
  play.counter = 3;
  Velk::DemoCapabilityTest played(std::make_unique<FixedVerdict>("", "", false, runs), play.demo);
  played.Run(nullptr, nullptr, 6, 14);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(played.GetFailureReason(), "Not enough video memory.");
  EXPECT_EQ(played.GetWarning(), "Low video memory.");
  EXPECT_TRUE(played.NoStoredFailureReason());
  EXPECT_TRUE(play.demo.AtStreamEnd());
}

}  // namespace
