#include "sound/AuFile.h"
#include "platform/audio/OggFile.h"
#include "platform/audio/WaveFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace Velk {
namespace {

using Bytes = std::vector<uint8_t>;

void Add(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
void Add16(Bytes& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Add32(Bytes& b, uint32_t v) {
  Add16(b, v & 0xFFFF);
  Add16(b, v >> 16);
}
void Add32BE(Bytes& b, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back((v >> shift) & 0xFF);
}

void AddChunk(Bytes& b, const std::string& id, const Bytes& body, bool pad) {
  Add(b, id);
  Add32(b, static_cast<uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (pad && body.size() % 2) b.push_back(0);
}

Bytes Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  Bytes f;
  Add16(f, tag);
  Add16(f, channels);
  Add32(f, rate);
  Add32(f, rate * channels * bits / 8);
  Add16(f, channels * bits / 8);
  Add16(f, bits);
  return f;
}

Bytes Riff(const Bytes& chunks) {
  Bytes b;
  Add(b, "RIFF");
  Add32(b, static_cast<uint32_t>(chunks.size() + 4));
  Add(b, "WAVE");
  b.insert(b.end(), chunks.begin(), chunks.end());
  return b;
}

const WaveFile::DependencyCheck kNoDependency = [](const std::string&, uint64_t) { return false; };

std::optional<PcmSound> ReadWave(const Bytes& bytes, const WaveFile::DependencyCheck& check = kNoDependency) {
  MemorySoundSource source(bytes.data(), bytes.size());
  return WaveFile::Read(source, check);
}

TEST(WaveFile, ReadsPcmAfterOtherChunksPaddedOrNot) {
  const Bytes samples = {0x10, 0x80, 0xF0, 0x7F};
  for (bool pad : {false, true}) {
    Bytes chunks;
    AddChunk(chunks, "LIST", {'a', 'b', 'c'}, pad);  // odd-sized
    AddChunk(chunks, "fmt ", Fmt(1, 2, 11025, 8), pad);
    AddChunk(chunks, "junk", {1}, pad);
    AddChunk(chunks, "data", samples, pad);
    const auto sound = ReadWave(Riff(chunks));
    ASSERT_TRUE(sound) << "padded " << pad;
    EXPECT_EQ(sound->channels, 2);
    EXPECT_EQ(sound->rate, 11025u);
    EXPECT_EQ(sound->bits, 8);
    EXPECT_EQ(sound->data, samples);
  }
}

TEST(WaveFile, DefaultsWithoutFormatChunk) {
  Bytes chunks;
  AddChunk(chunks, "data", {1, 2, 3, 4}, false);
  const auto sound = ReadWave(Riff(chunks));
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->channels, 1);
  EXPECT_EQ(sound->rate, 22050u);
  EXPECT_EQ(sound->bits, 16);
}

TEST(WaveFile, RefusesNonPcmTruncatedAndForeignFiles) {
  Bytes floatFmt;
  AddChunk(floatFmt, "fmt ", Fmt(3, 1, 44100, 32), false);
  AddChunk(floatFmt, "data", Bytes(8), false);
  EXPECT_FALSE(ReadWave(Riff(floatFmt)));

  Bytes full;
  AddChunk(full, "fmt ", Fmt(1, 1, 44100, 16), false);
  AddChunk(full, "data", Bytes(100, 7), false);
  Bytes riff = Riff(full);
  ASSERT_TRUE(ReadWave(riff));
  for (size_t cut : {riff.size() - 1, size_t{44}, size_t{30}, size_t{12}, size_t{5}, size_t{0}}) {
    EXPECT_FALSE(ReadWave(Bytes(riff.begin(), riff.begin() + cut))) << "cut at " << cut;
  }
  Bytes noData;
  AddChunk(noData, "fmt ", Fmt(1, 1, 44100, 16), false);
  EXPECT_FALSE(ReadWave(Riff(noData)));
  Bytes notWave = riff;
  notWave[8] = 'A';
  EXPECT_FALSE(ReadWave(notWave));
  Bytes hugeChunk;
  AddChunk(hugeChunk, "fmt ", Fmt(1, 1, 44100, 16), false);
  Add(hugeChunk, "LIST");
  Add32(hugeChunk, 0xFFFFFFF0u);
  EXPECT_FALSE(ReadWave(Riff(hugeChunk)));
}

// The cache layout byte by byte, for a 9-character source name.
TEST(WaveFile, CacheFileLayout) {
  PcmSound sound;
  sound.channels = 2;
  sound.rate = 22050;
  sound.bits = 16;
  sound.data = {1, 2, 3, 4, 5, 6, 7, 8};
  const Bytes file = WaveFile::BuildCache(sound, "snd/a.ogg", 0x0102030405060708ull);
  ASSERT_EQ(file.size(), 71u + 9 + 8);
  Bytes expected;
  Add(expected, "RIFF");
  Add32(expected, 8 + 36);
  Add(expected, "WAVEfmt ");
  Add32(expected, 16);
  Add16(expected, 1);
  Add16(expected, 2);
  Add32(expected, 22050);
  Add32(expected, 88200);
  Add16(expected, 4);
  Add16(expected, 16);
  Add(expected, "dep ");
  Add32(expected, 19);
  Add16(expected, 9);
  Add(expected, "snd/a.ogg");
  Add32(expected, 0x05060708);
  Add32(expected, 0x01020304);
  Add(expected, "xor ");
  Add32(expected, 1);
  const uint8_t key = file[62 + 9];
  expected.push_back(key);
  Add(expected, "data");
  Add32(expected, 8);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 71 + 9), expected);
  EXPECT_NE(Bytes(file.begin() + 80, file.end()), sound.data) << "samples are scrambled on disk";

  std::string seenName;
  uint64_t seenTime = 0;
  const auto back = ReadWave(file, [&](const std::string& name, uint64_t time) {
    seenName = name;
    seenTime = time;
    return true;
  });
  ASSERT_TRUE(back);
  EXPECT_EQ(seenName, "snd/a.ogg");
  EXPECT_EQ(seenTime, 0x0102030405060708ull);
  EXPECT_EQ(back->data, sound.data);
  EXPECT_EQ(back->channels, 2);
  EXPECT_FALSE(ReadWave(file, kNoDependency)) << "a changed source makes the copy stale";

  bool asked = false;
  const Bytes longName = WaveFile::BuildCache(sound, std::string(256, 'n'), 0);
  EXPECT_FALSE(ReadWave(longName, [&](const std::string&, uint64_t) { return asked = true; }));
  EXPECT_FALSE(asked) << "a name over 255 bytes never validates";
}

Bytes Au(uint32_t encoding, const Bytes& data, uint32_t offset = 24, uint32_t channels = 1) {
  Bytes b;
  Add(b, ".snd");
  Add32BE(b, offset);
  Add32BE(b, static_cast<uint32_t>(data.size()));
  Add32BE(b, encoding);
  Add32BE(b, 8000);
  Add32BE(b, channels);
  b.resize(offset, 0);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

std::optional<PcmSound> ReadAu(const Bytes& bytes) {
  MemorySoundSource source(bytes.data(), bytes.size());
  return AuFile::Read(source);
}

TEST(AuFile, DecodesMuLawThroughTheSegmentTable) {
  // code -> 4 * sign * magnitude, worked out per segment of c = code | 0x80.
  const std::pair<uint8_t, int16_t> cases[] = {
      {0xFF, 0},    {0x7F, 0},    {0xF0, 120},   {0x70, -120},  {0xE0, 368},   {0xD0, 864},    {0xC0, 1856},
      {0xB0, 3840}, {0xA0, 7808}, {0x90, 15744}, {0x81, 30592}, {0x80, 31616}, {0x00, -31616}, {0x01, -30592}};
  for (auto [code, value] : cases) EXPECT_EQ(AuFile::MuLawToLinear(code), value) << int(code);

  const auto sound = ReadAu(Au(1, {0x80, 0xFF}, 32));
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->bits, 16);
  EXPECT_EQ(sound->rate, 8000u);
  EXPECT_EQ(sound->data, (Bytes{0x80, 0x7B, 0, 0}));  // 31616 = 0x7B80
}

TEST(AuFile, TurnsSignedLinear8IntoUnsignedAndRefusesTheRest) {
  // Signed -128, 0, 127 in the file; 8-bit PCM is unsigned around 128.
  const auto sound = ReadAu(Au(2, {0x80, 0x00, 0x7F}, 24, 2));
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->bits, 8);
  EXPECT_EQ(sound->channels, 2);
  EXPECT_EQ(sound->data, (Bytes{0, 128, 255}));

  EXPECT_FALSE(ReadAu(Au(3, {0, 0})));
  Bytes truncated = Au(1, Bytes(10));
  truncated.pop_back();
  EXPECT_FALSE(ReadAu(truncated));
  Bytes badMagic = Au(1, Bytes(2));
  badMagic[0] = 'x';
  EXPECT_FALSE(ReadAu(badMagic));
  Bytes farOffset = Au(1, Bytes(2));
  farOffset[7] = 0xF0;  // data offset past the end
  EXPECT_FALSE(ReadAu(farOffset));
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// tone.ogg: 2205 stereo frames at 22050 Hz, a 441 Hz sine of amplitude 16000 on the left, silence
// on the right.
TEST(OggFile, DecodesAWholeStream) {
  const Bytes ogg = ReadFile(TEST_DATA_DIR "/sound/tone.ogg");
  ASSERT_FALSE(ogg.empty());
  MemorySoundSource source(ogg.data(), ogg.size());
  const auto sound = OggFile::Read(source);
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->channels, 2);
  EXPECT_EQ(sound->rate, 22050u);
  EXPECT_EQ(sound->bits, 16);
  ASSERT_EQ(sound->data.size(), 2205u * 4);
  double left = 0, right = 0;
  for (size_t i = 0; i < 2205; ++i) {
    const auto l = static_cast<int16_t>(sound->data[4 * i] | (sound->data[4 * i + 1] << 8));
    const auto r = static_cast<int16_t>(sound->data[4 * i + 2] | (sound->data[4 * i + 3] << 8));
    left += double(l) * l;
    right += double(r) * r;
  }
  EXPECT_NEAR(std::sqrt(left / 2205), 16000 / std::sqrt(2.0), 1000);
  EXPECT_LT(std::sqrt(right / 2205), 500);
}

TEST(OggFile, RefusesBrokenStreams) {
  const Bytes ogg = ReadFile(TEST_DATA_DIR "/sound/tone.ogg");
  for (size_t cut : {ogg.size() / 2, size_t{200}, size_t{0}}) {
    Bytes part(ogg.begin(), ogg.begin() + cut);
    MemorySoundSource source(part.data(), part.size());
    EXPECT_FALSE(OggFile::Read(source)) << "cut at " << cut;
  }
  const Bytes wave = Riff({});
  MemorySoundSource source(wave.data(), wave.size());
  EXPECT_FALSE(OggFile::Read(source));
}

// Inputs kept from fuzzing: the seeds read, and nothing reads past its input.
TEST(SoundFiles, ReplayKeptFuzzInputs) {
  const std::string folder = TEST_DATA_DIR "/sound/fuzz/";
  for (const char* seed : {"plain.wav", "cache.wav"}) {
    EXPECT_TRUE(ReadWave(ReadFile(folder + seed), [](const std::string&, uint64_t) { return true; })) << seed;
  }
  for (const char* seed : {"mulaw.au", "linear.au"}) EXPECT_TRUE(ReadAu(ReadFile(folder + seed))) << seed;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const Bytes bytes = ReadFile(entry.path().string());
    const auto wave = ReadWave(bytes, [](const std::string&, uint64_t) { return true; });
    if (wave) {
      EXPECT_LE(wave->data.size(), bytes.size());
    }
    const auto au = ReadAu(bytes);
    if (au) {
      EXPECT_LE(au->data.size(), 2 * bytes.size());
    }
  }
}

}  // namespace
}  // namespace Velk
