#include "sound/DSoundManager.h"

#include "SoundTestSupport.h"

#include <filesystem>

namespace Velk {
namespace {

class DSoundManagerTest : public SoundFixture {
 protected:
  void WriteTone(const std::string& name, std::vector<int16_t> samples) {
    WriteBytes(name, WavBytes(Samples16(samples), 1, 16));
  }
};

TEST_F(DSoundManagerTest, HandsOutSlotsFromTheTopAndRemembersNames) {
  DSoundManager manager(Window(), false);
  ASSERT_TRUE(manager.IsInitialized());
  WriteTone("a.wav", {1, 2});
  WriteTone("b.wav", {3, 4});
  WriteTone("c.wav", {5, 6});
  EXPECT_EQ(manager.LoadSound("a"), 255);
  EXPECT_EQ(manager.LoadSound("b"), 254);
  EXPECT_EQ(manager.LoadSound("a"), 255) << "a known name is not loaded again";
  EXPECT_EQ(manager.LoadSound("c"), 253);
  EXPECT_EQ(manager.GetNumSounds(), 3);
  EXPECT_EQ(manager.GetFreeSoundId(), 0);

  manager.ReleaseSound(254);
  EXPECT_EQ(manager.GetNumSounds(), 2);
  EXPECT_EQ(manager.LoadSound("c"), 253);
  EXPECT_EQ(manager.LoadSound("b"), 254) << "the released slot is the highest free one again";

  // Slots emptied together keep their names and are filled again on the next request.
  manager.ReleaseSounds();
  EXPECT_EQ(manager.GetNumSounds(), 0);
  EXPECT_EQ(manager.GetSoundInstance(255), nullptr);
  EXPECT_EQ(manager.LoadSound("a"), 255);
  EXPECT_EQ(manager.GetNumSounds(), 1);
  EXPECT_NE(manager.GetSoundInstance(255), nullptr);
}

TEST_F(DSoundManagerTest, RejectsIdsOutsideTheSlots) {
  DSoundManager manager(Window(), false);
  for (int id : {-1, 256}) {
    EXPECT_FALSE(manager.SetBaseVolume(id, 0.5));
    EXPECT_FALSE(manager.SetBasePan(id, 100));
    EXPECT_FALSE(manager.LoadSoundAt(id, "a"));
    EXPECT_EQ(manager.GetSoundInstance(id), nullptr);
    manager.ReleaseSound(id);
  }
}

TEST_F(DSoundManagerTest, FailedLoadsLeaveTheSlotEmpty) {
  DSoundManager manager(Window(), false);
  std::vector<uint8_t> truncated = WavBytes(Samples16({1, 2, 3, 4}), 1, 16);
  truncated.resize(truncated.size() - 3);
  WriteBytes("cut.wav", truncated);
  WriteBytes("cut.ogg", {'O', 'g', 'g', 'S', 0, 0});
  WriteBytes("cut.au", {'.', 's', 'n', 'd', 0});
  EXPECT_FALSE(manager.LoadSoundAt(7, "cut"));
  EXPECT_EQ(manager.GetNumSounds(), 0);
  EXPECT_EQ(manager.LoadSound("missing"), -1);
  EXPECT_EQ(manager.GetNumSounds(), 0);

  // A device that refuses the buffer or its lock leaves nothing behind either.
  WriteTone("ok.wav", {1, 2});
  DSoundFaults::FailNext(DSoundCall::Lock, DSERR_INVALIDCALL);
  EXPECT_FALSE(manager.LoadSoundAt(3, "ok"));
  DSoundFaults::FailNext(DSoundCall::Unlock, DSERR_INVALIDCALL);
  EXPECT_FALSE(manager.LoadSoundAt(3, "ok"));
  EXPECT_EQ(manager.GetNumSounds(), 0);
  EXPECT_TRUE(manager.LoadSoundAt(3, "ok"));
  EXPECT_EQ(manager.GetNumSounds(), 1);
}

TEST_F(DSoundManagerTest, PlaysWaveVariantsThroughTheMixer) {
  DSoundManager manager(Window(), false);
  WriteBytes("mono8.wav", WavBytes({0x80, 0xC0, 0x40, 0x80}, 1, 8));
  WriteBytes("stereo16.wav", WavBytes(Samples16({1000, -1000, 2000, -2000}), 2, 16));
  const int mono = manager.LoadSound("mono8");
  const int stereo = manager.LoadSound("stereo16");
  ASSERT_GE(mono, 0);
  ASSERT_GE(stereo, 0);
  manager.GetSoundInstance(mono)->Play(false, true);
  EXPECT_EQ(Render(3), (std::vector<int16_t>{0, 0, 16384, 16384, -16384, -16384}));
  manager.GetSoundInstance(stereo)->Play(false, true);
  EXPECT_EQ(Render(2), (std::vector<int16_t>{1000, -1000, 2000, -2000}));
  manager.ReleaseChannels();
}

TEST_F(DSoundManagerTest, PlaysASilentLinearAuFileAsSilence) {
  DSoundManager manager(Window(), false);
  // ".snd", data offset 24, 4 bytes, encoding 2 (8-bit linear), 8000 Hz, mono; signed zeros.
  std::vector<uint8_t> au = {'.', 's', 'n', 'd', 0, 0, 0, 24, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0x1F, 0x40, 0, 0, 0, 1};
  au.resize(au.size() + 4, 0);
  WriteBytes("quiet.au", au);
  const int id = manager.LoadSound("quiet");
  ASSERT_GE(id, 0);
  manager.GetSoundInstance(id)->Play(false, true);
  EXPECT_EQ(Render(2), (std::vector<int16_t>{0, 0, 0, 0}));
  manager.ReleaseChannels();
}

TEST_F(DSoundManagerTest, AppliesVolumeLawPanAndManagerVolume) {
  EXPECT_EQ(DSoundInstance::VolumeToAttenuation(1.0), 0);
  EXPECT_EQ(DSoundInstance::VolumeToAttenuation(0.85), -146);
  EXPECT_EQ(DSoundInstance::VolumeToAttenuation(0.5), -605);
  EXPECT_EQ(DSoundInstance::VolumeToAttenuation(0.1), -1682);
  EXPECT_EQ(DSoundInstance::VolumeToAttenuation(0.0431), -2000);
  EXPECT_EQ(DSoundInstance::VolumeToAttenuation(0.04), -10000);
  EXPECT_EQ(DSoundInstance::VolumeToAttenuation(-5.0), -10000);

  DSoundManager manager(Window(), false);
  WriteTone("t.wav", std::vector<int16_t>(64, 20000));
  const int id = manager.LoadSound("t");
  SoundInstance* instance = manager.GetSoundInstance(id);
  ASSERT_NE(instance, nullptr);
  instance->Play(true, false);
  EXPECT_EQ(Render(1), (std::vector<int16_t>{20000, 20000}));
  manager.SetVolume(0.5);  // -605: 10^-0.3025 of full scale
  auto out = Render(1);
  EXPECT_NEAR(out[0], 9966, 1);

  manager.SetVolume(1.0);
  manager.SetBasePan(id, 8000);
  auto* panned = static_cast<DSoundInstance*>(manager.GetSoundInstance(id));
  panned->SetPan(5000);  // 13000 is past the right edge: clamped to full right
  LONG pan = 0;
  panned->GetBuffer()->GetPan(&pan);
  EXPECT_EQ(pan, DSBPAN_RIGHT);
  panned->SetPan(-3000);
  panned->GetBuffer()->GetPan(&pan);
  EXPECT_EQ(pan, 5000);
  manager.ReleaseChannels();
}

TEST_F(DSoundManagerTest, AdjustsPitchInSemitonesWithinTheDeviceRange) {
  DSoundManager manager(Window(), false);
  WriteTone("t.wav", {1, 2, 3, 4});
  auto* instance = static_cast<DSoundInstance*>(manager.GetSoundInstance(manager.LoadSound("t")));
  ASSERT_NE(instance, nullptr);
  // The semitone constant's twelfth power is a hair above 2, so -12 truncates to 22049.
  const std::pair<double, DWORD> cases[] = {{12, 88200}, {1, 46722}, {24, 100000}, {-120, 100}, {-12, 22049}};
  for (auto [semitones, frequency] : cases) {
    instance->AdjustPitch(semitones);
    DWORD actual = 0;
    instance->GetBuffer()->GetFrequency(&actual);
    EXPECT_EQ(actual, frequency) << semitones;
  }
  manager.ReleaseChannels();
}

TEST_F(DSoundManagerTest, RunsInstancesThroughPlayStopAndRelease) {
  DSoundManager manager(Window(), false);
  WriteTone("t.wav", {1, 2, 3, 4});
  const int id = manager.LoadSound("t");
  SoundInstance* instance = manager.GetSoundInstance(id);
  EXPECT_FALSE(instance->IsPlaying()) << "never played";
  EXPECT_TRUE(instance->Play(false, true));
  EXPECT_TRUE(instance->IsPlaying());
  instance->Stop();
  EXPECT_FALSE(instance->IsPlaying());
  EXPECT_FALSE(instance->IsReleased()) << "Stop clears auto-release";
  instance->Release();
  EXPECT_TRUE(instance->IsReleased());

  SoundInstance* looping = manager.GetSoundInstance(id);
  looping->Play(true, true);
  Render(100);
  EXPECT_FALSE(looping->IsReleased()) << "a looping sound keeps playing";
  manager.StopAllSounds();
  EXPECT_TRUE(looping->IsReleased()) << "stopping all keeps auto-release";

  SoundInstance* oneShot = manager.GetSoundInstance(id);
  oneShot->Play(false, true);
  Render(4);
  EXPECT_TRUE(oneShot->IsReleased());
  manager.ReleaseChannels();
}

TEST_F(DSoundManagerTest, RefusesThe33rdChannelAndReclaimsFinishedOnes) {
  DSoundManager manager(Window(), false);
  WriteTone("t.wav", {1, 2, 3, 4});
  const int id = manager.LoadSound("t");
  std::vector<SoundInstance*> playing;
  for (int i = 0; i < DSoundManager::kMaxChannels; ++i) {
    SoundInstance* instance = manager.GetSoundInstance(id);
    ASSERT_NE(instance, nullptr) << i;
    instance->Play(false, i != 5);
    playing.push_back(instance);
  }
  EXPECT_EQ(manager.GetSoundInstance(id), nullptr);
  Render(4);  // every one-shot has ended
  Clock::Advance(1001);
  EXPECT_NE(manager.GetSoundInstance(id), nullptr);
  for (int i = 0; i < 30; ++i) EXPECT_NE(manager.GetSoundInstance(id), nullptr) << i;
  EXPECT_EQ(manager.GetSoundInstance(id), nullptr) << "channel 5 was never auto-released";
  manager.ReleaseChannels();
}

TEST_F(DSoundManagerTest, RunsSilentWithoutADevice) {
  DSoundFaults::FailNext(DSoundCall::Create, DSERR_NODRIVER);
  DSoundManager manager(Window(), false);
  EXPECT_FALSE(manager.IsInitialized());
  EXPECT_EQ(manager.LoadSound("nothing"), 255);
  EXPECT_TRUE(manager.LoadSoundAt(3, "nothing"));
  EXPECT_EQ(manager.GetNumSounds(), 0);
  SoundInstance* instance = manager.GetSoundInstance(3);
  ASSERT_NE(instance, nullptr);
  EXPECT_FALSE(instance->Play(true, false));
  instance->SetVolume(0.3);
  instance->AdjustPitch(3);
  EXPECT_FALSE(instance->IsPlaying());

  DSoundManager noWindow(nullptr, false);
  EXPECT_FALSE(noWindow.IsInitialized());
}

// With FMOD the ".mp3" file is tried, and one that holds no whole frame is refused like any other.
TEST_F(DSoundManagerTest, WithFmodRefusesAnMp3WithoutAWholeFrame) {
  WriteTone("t.wav", {1, 2});
  WriteBytes("m.mp3", {0xFF, 0xFB, 0x90, 0x00});
  DSoundManager manager(Window(), true);
  EXPECT_TRUE(manager.IsInitialized());
  EXPECT_GE(manager.LoadSound("t"), 0);
  EXPECT_EQ(manager.LoadSound("m"), -1);
}

TEST_F(DSoundManagerTest, AFailedDuplicateGivesASilentInstance) {
  DSoundManager manager(Window(), false);
  WriteTone("t.wav", {1, 2});
  const int id = manager.LoadSound("t");
  DSoundFaults::FailNext(DSoundCall::DuplicateSoundBuffer, DSERR_OUTOFMEMORY);
  auto* instance = static_cast<DSoundInstance*>(manager.GetSoundInstance(id));
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(instance->GetBuffer(), nullptr);
  EXPECT_FALSE(instance->Play(false, false));
  manager.ReleaseChannels();
}

TEST_F(DSoundManagerTest, KeepsTheMasterVolumeIn16BitSteps) {
  DSoundManager manager(Window(), false);
  manager.SetMasterVolume(0.5);
  EXPECT_DOUBLE_EQ(manager.GetMasterVolume(), 32767 / 65535.0);
  manager.SetMasterVolume(2.0);
  EXPECT_DOUBLE_EQ(manager.GetMasterVolume(), 1.0);
}

}  // namespace
}  // namespace Velk
