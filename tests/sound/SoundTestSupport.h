#pragma once
// Hand-made sound files and a sound manager on a device whose mixing the test drives.

#include "resources/PakTestSupport.h"

#include "common/DataFolder.h"
#include "common/Folders.h"
#include "platform/audio/AudioOutput.h"
#include "platform/clock/Clock.h"
#include "platform/dsound/DSoundFaults.h"
#include "platform/modules/Modules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Velk {

inline void AppendLE(std::vector<uint8_t>& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A plain PCM WAV file of 16-bit mono samples at 44100 Hz, or of raw bytes in another format.
inline std::vector<uint8_t> WavBytes(const std::vector<uint8_t>& data, int channels, int bits, int rate = 44100) {
  std::vector<uint8_t> b = {'R', 'I', 'F', 'F'};
  AppendLE(b, static_cast<uint32_t>(data.size() + 36), 4);
  for (char c : std::string("WAVEfmt ")) b.push_back(c);
  AppendLE(b, 16, 4);
  AppendLE(b, 1, 2);
  AppendLE(b, channels, 2);
  AppendLE(b, rate, 4);
  AppendLE(b, rate * channels * bits / 8, 4);
  AppendLE(b, channels * bits / 8, 2);
  AppendLE(b, bits, 2);
  for (char c : std::string("data")) b.push_back(c);
  AppendLE(b, static_cast<uint32_t>(data.size()), 4);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

inline std::vector<uint8_t> Samples16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> b;
  for (int16_t s : samples) AppendLE(b, static_cast<uint16_t>(s), 2);
  return b;
}

// A scratch folder as current directory and data folder, the manual clock, and mixing by hand.
class SoundFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    AudioOutput::SetManualMixing(true);
    Clock::UseManual(5000);
    dsound_ = LoadLibraryA("dsound.dll");
    SetDataFolder(scratch_.Path() + "/data/");
  }
  void TearDown() override {
    DSoundFaults::Clear();
    FreeLibrary(dsound_);
    Clock::UseReal();
    EXPECT_EQ(AudioOutput::Mixer().VoiceCount(), 0u) << "a sound buffer was not released";
  }

  static std::vector<int16_t> Render(size_t frames) {
    std::vector<int16_t> out(frames * 2);
    AudioOutput::Mixer().Mix(out.data(), frames);
    return out;
  }

  static HWND Window() { return reinterpret_cast<HWND>(0x1234); }

  WorkingScratchFolder scratch_;
  HMODULE dsound_ = nullptr;
};

}  // namespace Velk
