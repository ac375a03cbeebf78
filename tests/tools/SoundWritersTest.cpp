// Synthesised sounds and the PCM writers, read back by the game's sound file readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "contentlib/AuWriter.h"
#include "contentlib/SoundList.h"
#include "contentlib/Synth.h"
#include "contentlib/WavWriter.h"
#include "sound/AuFile.h"
#include "platform/audio/WaveFile.h"

namespace Content {
namespace {

std::vector<int16_t> Samples(const Velk::PcmSound& pcm) {
  std::vector<int16_t> out(pcm.data.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<int16_t>(pcm.data[2 * i] | pcm.data[2 * i + 1] << 8);
  return out;
}

int Peak(const std::vector<int16_t>& s) {
  int peak = 0;
  for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}

SoundRecipe Recipe(const std::string& line) {
  std::vector<SoundRecipe> recipes;
  Findings findings;
  EXPECT_TRUE(SoundList::Parse("sounds.txt", line, recipes, findings))
      << (findings.Empty() ? "" : findings.List()[0].Text());
  return recipes.empty() ? SoundRecipe{} : recipes[0];
}

TEST(SoundWritersTest, WavReadsBackSampleForSample) {
  const std::vector<int16_t> samples = {0, 1, -1, 32767, -32768, 1234};
  const std::vector<uint8_t> bytes = WavWriter::Write(samples, 1, 44100);
  Velk::MemorySoundSource source(bytes.data(), bytes.size());
  const auto pcm = Velk::WaveFile::Read(source, nullptr);
  ASSERT_TRUE(pcm);
  EXPECT_EQ(pcm->rate, 44100u);
  EXPECT_EQ(pcm->channels, 1);
  EXPECT_EQ(pcm->bits, 16);
  EXPECT_EQ(Samples(*pcm), samples);
  EXPECT_EQ(bytes[4] | bytes[5] << 8 | bytes[6] << 16, static_cast<int>(bytes.size()) - 8);  // the RIFF size
}

TEST(SoundWritersTest, AuIsMuLawAndTheGameWidensItBack) {
  EXPECT_EQ(AuWriter::MuLaw(0), 0xFF);
  EXPECT_EQ(Velk::AuFile::MuLawToLinear(AuWriter::MuLaw(0)), 0);
  for (int v : {-32768, -1000, -5, 5, 1000, 32767}) {
    const int back = Velk::AuFile::MuLawToLinear(AuWriter::MuLaw(static_cast<int16_t>(v)));
    EXPECT_LE(std::abs(back - v), std::max(8, std::abs(v) / 16)) << v;  // G.711 keeps about 4 bits of mantissa
  }
  const SoundRecipe tick = Recipe("tick sounds\\fw\\tick.au 0.05 osc(noise, 3000, 0, 0.05, 1)");
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(AuWriter::Write(Synth::Render(tick), 1, 44100, AuWriter::kMuLaw, bytes, error));
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), ".snd");
  EXPECT_EQ(bytes[15], 1);  // big-endian encoding field
  Velk::MemorySoundSource source(bytes.data(), bytes.size());
  const auto pcm = Velk::AuFile::Read(source);
  ASSERT_TRUE(pcm);
  EXPECT_EQ(pcm->rate, 44100u);
  EXPECT_EQ(pcm->data.size(), 2205u * 2);
  EXPECT_FALSE(AuWriter::Write({0}, 1, 44100, 3, bytes, error));
}

TEST(SynthTest, ExactLengthPeakAtMinusThreeDecibelsAndSameBytesTwice) {
  for (const char* line : {"a a.wav 0.04 osc(square, 1800, 0, 0.04, 1)",
                           "b b.wav 0.6 osc(sine, 1320, 0, 0.3, 1) osc(sine, 1760, 0.15, 0.45, 1)",
                           "c c.wav 0.3 osc(noise, 2000=>300, 0, 0.3, 1)",
                           "d d.wav 0.5 osc(saw, 150, 0, 0.5, 1) tremolo=12 adsr=0.02,0.05,0.8,0.1"}) {
    const SoundRecipe r = Recipe(line);
    const std::vector<int16_t> s = Synth::Render(r);
    EXPECT_EQ(s.size(), static_cast<size_t>(std::llround(r.duration * 44100))) << line;
    EXPECT_NEAR(Peak(s), 23197, 1) << line;
    EXPECT_EQ(s, Synth::Render(r)) << line;
  }
}

TEST(SynthTest, LoopsStartAndEndAtRest) {
  for (const char* line : {"steps s.wav 0.5 osc(noise, 300, 0, 0.08, 1) osc(noise, 300, 0.25, 0.33, 1) loop=true",
                           "song m.ogg 8.0 song(G, 120) channels=2 loop=true"}) {
    const SoundRecipe r = Recipe(line);
    const std::vector<int16_t> s = Synth::Render(r);
    const int channels = r.channels;
    // The largest step between neighbouring samples anywhere in the sound.
    int step = 0;
    for (size_t i = channels; i < s.size(); ++i) step = std::max(step, std::abs(s[i] - s[i - channels]));
    for (int c = 0; c < channels; ++c) {
      EXPECT_EQ(s[c], 0) << line;
      EXPECT_LE(std::abs(s[s.size() - channels + c] - s[c]), step) << line;  // wraps like any other step
    }
  }
  EXPECT_EQ(Synth::Render(Recipe("song m.ogg 8.0 song(G, 120) channels=2")).size(), 8u * 44100 * 2);
}

}  // namespace
}  // namespace Content
