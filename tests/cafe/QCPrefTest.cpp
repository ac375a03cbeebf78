#include "cafe/QCPref.h"

#include "app/AppTestSupport.h"
#include "app/ChildProcess.h"
#include "engine/LocTexts.h"
#include "engine/QCMusicManager.h"
#include "engine/QCSoundSystem.h"
#include "platform/clock/Clock.h"
#include "platform/files/AtomicFile.h"
#include "platform/modules/Modules.h"
#include "platform/msgbox/MessageBox.h"
#include "platform/process/FileSizeSignal.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// pref.dat built by hand, byte by byte.
const std::string kFormatId("\xc3\x65\xc5\xbb\x90\x46\xa6\x43\xb3\xd3\xfd\xdd\xae\x48\x89\xd9", 16);
constexpr size_t kHeader = 40;
constexpr size_t kTables = 5240;
constexpr size_t kRecord = 912;

std::string Le32(int32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
  return bytes;
}

int32_t Le32At(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes.at(offset + i));
  return static_cast<int32_t>(v);
}

std::string HeaderBytes(int32_t music, int32_t sound, char windowed, char mute, int32_t current) {
  return kFormatId + Le32(15) + Le32(music) + Le32(sound) + windowed + mute + std::string(2, '\0') + Le32(current) +
         Le32(0);
}

// `units` UTF-16 units, then zeros up to the field's 128.
std::string NameBytes(const std::wstring& units) {
  std::string bytes;
  for (size_t i = 0; i < 128; ++i) {
    unsigned unit = i < units.size() ? static_cast<unsigned>(units[i]) : 0;
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

std::string EntryBytes(const std::wstring& name, int32_t score) { return NameBytes(name) + Le32(score); }

std::string TableBytes(const std::vector<std::pair<std::wstring, int>>& entries) {
  std::string bytes;
  for (size_t i = 0; i < 10; ++i)
    bytes += i < entries.size() ? EntryBytes(entries[i].first, entries[i].second) : EntryBytes(L"", 0);
  return bytes;
}

// The user "nobody" when the tests run as root, for whom no file is read-only; nothing otherwise.
std::optional<Velk::Testing::UserId> OtherUser() {
  return geteuid() == 0 ? Velk::Testing::UserNamed("nobody") : std::nullopt;
}

// Runs `body` in a child process, as OtherUser() when this one is root, and answers its exit status
// (-1 when it did not exit).
int InChildAsOtherUser(const std::function<int()>& body) {
  const std::optional<Velk::Testing::UserId> other = OtherUser();
  pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && !(other && Velk::Testing::BecomeUser(*other))) _exit(100);
    _exit(body());
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// A record whose every byte after the name depends on `seed`, so records tell apart byte for byte.
std::string RecordBytes(const std::wstring& name, int seed) {
  std::string bytes = NameBytes(name);
  for (size_t i = 256; i < kRecord; ++i) bytes += static_cast<char>((i * 7 + seed * 31) & 0xFF);
  return bytes;
}

std::string RecordName(const std::string& file, int index) {
  std::wstring name;
  for (size_t at = kTables + kRecord * index; at < kTables + kRecord * index + 256; at += 2) {
    wchar_t unit = static_cast<uint8_t>(file[at]) | static_cast<uint8_t>(file[at + 1]) << 8;
    if (unit == 0) break;
    name += unit;
  }
  return std::string(name.begin(), name.end());
}

const std::string kSurvival = TableBytes({{L"Mia \xd83d\xde00", 900}, {L"Jo", 300}});
const std::string kCareer = TableBytes({{L"Z\u00fc", 5000}});

class QCPrefTest : public ::testing::Test {
 protected:
  QCPrefTest() : data_("XDG_DATA_HOME", (scratch_ / "share").c_str()) {
    std::string loc = "<root>";
    for (int i = 1; i <= 10; ++i) {
      char n[3];
      std::snprintf(n, sizeof n, "%02d", i);
      loc += "<loc id=\"record_survival_name_" + std::string(n) + "\" text=\"Surv " + n + "\"/>";
      loc +=
          "<loc id=\"record_survival_value_" + std::string(n) + "\" text=\"" + std::to_string(1100 - 100 * i) + "\"/>";
      loc += "<loc id=\"record_career_name_" + std::string(n) + "\" text=\"Car " + n + "\"/>";
    }
    loc += "<loc id=\"record_career_value_01\" text=\"7000\"/><loc id=\"record_career_value_02\" text=\"-3\"/>";
    loc += "<loc id=\"record_career_value_03\" text=\"lots\"/><loc id=\"record_career_value_04\" text=\"0x20\"/>";
    pak_.Put("cfg\\loc.xml", Utf16File(loc + "</root>"));
    CurrentLocTexts().LoadLocTable();
  }

  std::string Path() const { return scratch_ / "share/Drimak Games/Pelune/pref.dat"; }
  void Store(const std::string& bytes) const { scratch_.Write("share/Drimak Games/Pelune/pref.dat", bytes); }
  std::string Stored() const {
    std::ifstream in(Path(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  // A file with valid tables and the given records.
  void StoreFile(int32_t current, const std::vector<std::string>& records, int32_t music = 60, int32_t sound = 60,
                 char mute = 0) const {
    std::string bytes = HeaderBytes(music, sound, 0, mute, current) + kSurvival + kCareer;
    for (const std::string& record : records) bytes += record;
    Store(bytes);
  }

  ScratchFolder scratch_{Velk::Testing::TemporaryFolderFor(OtherUser())};  // reached by OtherUser() too
  ScopedEnv data_;
  MemoryPak pak_;
};

TEST_F(QCPrefTest, AFirstStartWritesTheHeaderAndTheDefaultTables) {
  QCPref pref;
  EXPECT_EQ(pref.GetPath(), scratch_.Path() + "/share/Drimak Games/Pelune/pref.dat");
  EXPECT_FALSE(fs::exists(scratch_ / "share/Drimak Games"));  // made by the first save, not before
  ASSERT_TRUE(pref.Load());
  std::string file = Stored();
  ASSERT_EQ(file.size(), 5240u);
  EXPECT_EQ(file.substr(0, kHeader), HeaderBytes(60, 60, 0, 0, -1));
  for (int i = 0; i < 10; ++i) {
    char n[3];
    std::snprintf(n, sizeof n, "%02d", i + 1);
    std::wstring survival = L"Surv " + std::wstring(n, n + 2);
    std::wstring career = L"Car " + std::wstring(n, n + 2);
    EXPECT_EQ(file.substr(kHeader + 260 * i, 260), EntryBytes(survival, 1000 - 100 * i)) << i;
    // Not a decimal number ("lots", "0x20", missing): 0.
    int careerScore = i == 0 ? 7000 : i == 1 ? -3 : 0;
    EXPECT_EQ(file.substr(2640 + 260 * i, 260), EntryBytes(career, careerScore)) << i;
  }
  EXPECT_FALSE(pref.mLoaded);
  EXPECT_EQ(std::wstring(pref.GetProfile()->mName), L"unknown");
  EXPECT_EQ(pref.GetProfile()->mCurrentDay, 1);

  ASSERT_TRUE(pref.CreateProfile(L"Ann", nullptr, nullptr));
  file = Stored();
  ASSERT_EQ(file.size(), 6152u);
  EXPECT_EQ(Le32At(file, 32), 0);
  EXPECT_EQ(RecordName(file, 0), "Ann");
  EXPECT_EQ(Le32At(file, kTables + 292), 1);  // current day
}

TEST_F(QCPrefTest, LoadAndSaveRoundTripByteForByte) {
  std::wstring wide = L"\u00c5sa \xd83c\xdf70";  // outside the basic plane too
  StoreFile(1, {RecordBytes(L"Bo", 1), RecordBytes(wide, 2), RecordBytes(L"Cy", 3)}, 30, 45);
  std::string before = Stored();
  QCPref pref;
  ASSERT_TRUE(pref.Load());
  EXPECT_EQ(Stored(), before);  // Load saves once; nothing changed
  EXPECT_TRUE(pref.mLoaded);
  EXPECT_EQ(std::wstring(pref.GetProfile()->mName), wide);
  EXPECT_EQ(std::wstring(pref.GetHiScoreTable(true)[0].mName), L"Mia \xd83d\xde00");
  EXPECT_EQ(pref.GetHiScoreTable(false)[0].mScore, 5000);
  EXPECT_EQ(GetMusicVolume(), 30);
  EXPECT_EQ(SoundState().soundVolume.load(), 45);
  pref.Save();
  EXPECT_EQ(Stored(), before);
}

TEST_F(QCPrefTest, ForeignOldAndShortFilesStartAfresh) {
  std::string foreign = HeaderBytes(10, 10, 0, 0, 0);
  foreign[0] = 'X';
  std::string older = HeaderBytes(10, 10, 0, 0, 0);
  older[16] = 14;
  std::string rest = kSurvival + kCareer + RecordBytes(L"Old", 1);
  std::string shortFile = HeaderBytes(10, 10, 0, 0, 0).substr(0, 39);
  for (const std::string& bytes : {foreign + rest, older + rest, shortFile}) {
    Store(bytes);
    QCPref pref;
    pref.Load();
    std::string file = Stored();
    ASSERT_EQ(file.size(), 5240u);
    EXPECT_EQ(file.substr(0, kHeader), HeaderBytes(60, 60, 0, 0, -1));
    EXPECT_EQ(file.substr(kHeader, 260), EntryBytes(L"Surv 01", 1000));
    EXPECT_FALSE(pref.mLoaded);
  }
}

TEST_F(QCPrefTest, DamagedNamesAreTerminatedAndShortTablesTakeTheDefaults) {
  // Every name field full of 'x', no terminator anywhere.
  std::string full;
  for (int i = 0; i < 128; ++i) full += std::string("x\0", 2);
  std::string table;
  for (int i = 0; i < 10; ++i) table += full + Le32(10 - i);
  Store(HeaderBytes(60, 60, 0, 0, 0) + table + table + full + std::string(kRecord - 256, '\0'));
  {
    QCPref pref;
    pref.Load();
    EXPECT_EQ(std::wstring(pref.GetProfile()->mName), std::wstring(127, L'x'));
    EXPECT_EQ(std::wstring(pref.GetHiScoreTable(true)[9].mName), std::wstring(127, L'x'));
    EXPECT_EQ(std::wstring(pref.GetHiScoreTable(false)[0].mName), std::wstring(127, L'x'));
  }
  // A valid header alone: no table can be read whole.
  Store(HeaderBytes(60, 60, 0, 0, -1));
  QCPref pref;
  pref.Load();
  EXPECT_EQ(std::wstring(pref.GetHiScoreTable(true)[0].mName), L"Surv 01");
  EXPECT_EQ(std::wstring(pref.GetHiScoreTable(false)[0].mName), L"Car 01");
  EXPECT_EQ(Stored().size(), 5240u);
  // Half a career table: the survival table is the file's, the career table the defaults.
  Store(HeaderBytes(60, 60, 0, 0, -1) + kSurvival + kCareer.substr(0, 1000));
  QCPref half;
  half.Load();
  EXPECT_EQ(std::wstring(half.GetHiScoreTable(true)[1].mName), L"Jo");
  EXPECT_EQ(std::wstring(half.GetHiScoreTable(false)[0].mName), L"Car 01");
}

TEST_F(QCPrefTest, AnAppendSkipsAPartialRecordLeftAtTheEnd) {
  StoreFile(0, {RecordBytes(L"A", 1), std::string(100, '\x55')});
  QCPref pref;
  pref.Load();
  ASSERT_TRUE(pref.CreateProfile(L"B", nullptr, nullptr));
  std::string file = Stored();
  ASSERT_EQ(file.size(), kTables + 2 * kRecord);
  EXPECT_EQ(file.substr(kTables, kRecord), RecordBytes(L"A", 1));
  EXPECT_EQ(RecordName(file, 1), "B");
  EXPECT_EQ(pref.mHeader.mCurrentProfile, 1);

  std::vector<QCProfile> all;
  Store(file + std::string(500, '\x01'));
  pref.ReadAllProfiles(all);
  ASSERT_EQ(all.size(), 2u);  // whole records only
  EXPECT_EQ(std::wstring(all[0].mName), L"A");
  EXPECT_EQ(std::wstring(all[1].mName), L"B");
}

TEST_F(QCPrefTest, TheInitialiserFillsTheNewProfileBeforeItIsWritten) {
  QCPref pref;
  pref.Load();
  auto initialiser = [](QCProfile* profile, void* argument) { profile->mCurrentDay = *static_cast<int*>(argument); };
  int day = 12;
  pref.CreateProfile(L"", initialiser, &day);
  std::string file = Stored();
  EXPECT_EQ(RecordName(file, 0), "unknown");
  EXPECT_EQ(Le32At(file, kTables + 292), 12);
}

TEST_F(QCPrefTest, DeletingMovesTheCurrentIndexWithItsProfile) {
  const std::vector<std::string> three = {RecordBytes(L"A", 1), RecordBytes(L"B", 2), RecordBytes(L"C", 3)};
  {
    // The current profile goes: the first one becomes current, and the file's first record is
    // still the first profile's (the reload's nested saves must not write over it).
    StoreFile(2, three);
    QCPref pref;
    pref.Load();
    ASSERT_TRUE(pref.DeleteProfile(2));
    std::string file = Stored();
    ASSERT_EQ(file.size(), kTables + 2 * kRecord);
    EXPECT_EQ(Le32At(file, 32), 0);
    EXPECT_EQ(file.substr(kTables, 2 * kRecord), three[0] + three[1]);
    EXPECT_EQ(std::wstring(pref.GetProfile()->mName), L"A");
  }
  {
    StoreFile(2, three);  // an earlier one goes: the index follows
    QCPref pref;
    pref.Load();
    ASSERT_TRUE(pref.DeleteProfile(0));
    std::string file = Stored();
    EXPECT_EQ(Le32At(file, 32), 1);
    EXPECT_EQ(file.substr(kTables), three[1] + three[2]);
    EXPECT_EQ(std::wstring(pref.GetProfile()->mName), L"C");
  }
  {
    StoreFile(0, three);  // a later one goes: nothing else changes
    QCPref pref;
    pref.Load();
    ASSERT_TRUE(pref.DeleteProfile(1));
    EXPECT_EQ(Stored(), HeaderBytes(60, 60, 0, 0, 0) + kSurvival + kCareer + three[0] + three[2]);
    EXPECT_FALSE(pref.DeleteProfile(2));
    EXPECT_FALSE(pref.DeleteProfile(-1));
    EXPECT_EQ(Stored().size(), kTables + 2 * kRecord);
  }
}

TEST_F(QCPrefTest, DeletingTheLastProfileIsNotUndoneByTheNextSave) {
  StoreFile(0, {RecordBytes(L"Solo", 1)});
  QCPref pref;
  pref.Load();
  ASSERT_TRUE(pref.DeleteProfile(0));
  pref.Save();
  std::string file = Stored();
  EXPECT_EQ(file.size(), 5240u);
  EXPECT_EQ(Le32At(file, 32), -1);
  EXPECT_FALSE(pref.mLoaded);
  EXPECT_EQ(std::wstring(pref.GetProfile()->mName), L"unknown");
}

// A current index that names no record (a flipped byte, or worse) loads the first record, so the
// session is played on a profile that is saved.
TEST_F(QCPrefTest, AStoredIndexThatNamesNoRecordLoadsTheFirst) {
  for (int32_t damaged : {5, 2, 65280, 1000000, -7}) {
    StoreFile(damaged, {RecordBytes(L"A", 1), RecordBytes(L"B", 2)});
    QCPref pref;
    pref.Load();
    EXPECT_TRUE(pref.mLoaded) << damaged;
    EXPECT_EQ(pref.mHeader.mCurrentProfile, 0) << damaged;
    EXPECT_EQ(std::wstring(pref.GetProfile()->mName), L"A") << damaged;
    EXPECT_EQ(Le32At(Stored(), 32), 0) << damaged;
  }
  StoreFile(5, {RecordBytes(L"A", 1), RecordBytes(L"B", 2)});
  QCPref pref;
  pref.Load();
  EXPECT_FALSE(pref.LoadProfile(nullptr, 2));
  EXPECT_FALSE(pref.LoadProfile(nullptr, -1));

  // A profile chosen from the file belongs to it: its progress is saved in its place.
  ASSERT_TRUE(pref.LoadProfile(nullptr, 1));
  EXPECT_EQ(pref.mHeader.mCurrentProfile, 1);
  pref.GetProfile()->mCurrentDay = 33;
  pref.Save();
  std::string file = Stored();
  EXPECT_EQ(Le32At(file, 32), 1);
  EXPECT_EQ(Le32At(file, kTables + kRecord + 292), 33);
  EXPECT_EQ(file.size(), kTables + 2 * kRecord);
}

TEST_F(QCPrefTest, MuteSilencesBothAndStoredVolumesAreClampedWhenApplied) {
  StoreFile(-1, {}, 80, 70, 1);
  QCPref muted;
  muted.Load();
  EXPECT_EQ(GetMusicVolume(), 0);
  EXPECT_EQ(SoundState().soundVolume.load(), 0);

  StoreFile(-1, {}, 250, -4);
  QCPref odd;
  odd.Load();
  EXPECT_EQ(GetMusicVolume(), 100);
  EXPECT_EQ(SoundState().soundVolume.load(), 0);
  EXPECT_EQ(Le32At(Stored(), 20), 250);  // the stored values stay as they were
  EXPECT_EQ(Le32At(Stored(), 24), -4);
}

TEST_F(QCPrefTest, ProgressResetKeepsTheName) {
  QCPref pref;
  pref.Load();
  pref.CreateProfile(L"Kim", nullptr, nullptr);
  QCProfile& p = *pref.GetProfile();
  p.mScreenValue = 5;
  p.mUpgrades[3] = 1;
  p.mCurrentDay = 20;
  p.mBestMoney[19] = 400;
  p.mScreenCounters[2] = 9;
  p.mExpert[19] = 1;
  p.mAchievements[19][4] = 1;
  pref.ResetProfileProgress();
  EXPECT_EQ(std::wstring(p.mName), L"Kim");
  EXPECT_EQ(p.mScreenValue, 5);
  EXPECT_EQ(p.mCurrentDay, 1);
  EXPECT_EQ(p.mUpgrades[3] + p.mBestMoney[19] + p.mScreenCounters[2] + p.mExpert[19] + p.mAchievements[19][4], 0);
  pref.ResetProfile(std::wstring(200, L'q').c_str());
  EXPECT_EQ(p.mScreenValue, 0);
  EXPECT_EQ(std::wstring(p.mName), std::wstring(127, L'q'));
}

struct Entry {
  const wchar_t* name;
  int score;
};

class HiScoreTest : public ::testing::Test {
 protected:
  void Fill(std::initializer_list<Entry> entries) {
    QCHiScoreTable& table = pref_.GetHiScoreTable(true);
    table = QCHiScoreTable{};
    int i = 0;
    for (const Entry& e : entries) {
      SetPrefName(table[i].mName, e.name);
      table[i++].mScore = e.score;
    }
  }
  std::string Table() {
    std::string out;
    for (const QCHiScoreEntry& e : pref_.GetHiScoreTable(true)) {
      if (e.mScore == 0 && e.mName[0] == 0) continue;
      out += std::string(e.mName, e.mName + std::wcslen(e.mName)) + ":" + std::to_string(e.mScore) + " ";
    }
    return out;
  }

  ScratchFolder scratch_;
  ScopedEnv data_{"XDG_DATA_HOME", scratch_.Path().c_str()};
  QCPref pref_;
};

TEST_F(HiScoreTest, ANewScoreRanksAboveEqualOnesAndPushesTheRestDown) {
  Fill({{L"A", 100}, {L"B", 50}, {L"C", 50}, {L"D", 10}});
  EXPECT_EQ(pref_.AddHiScore(true, L"E", 50), 1);
  EXPECT_EQ(Table(), "A:100 E:50 B:50 C:50 D:10 ");
  EXPECT_EQ(pref_.AddHiScore(true, L"F", 0), 10);
  EXPECT_EQ(pref_.AddHiScore(true, L"F", -5), 10);
  EXPECT_EQ(pref_.GetHiScoreTable(false)[0].mScore, 0);  // the other table is untouched
}

TEST_F(HiScoreTest, APlayerKeepsOneEntry) {
  Fill({{L"A", 100}, {L"B", 90}, {L"C", 80}, {L"D", 30}, {L"E", 28}, {L"F", 25}, {L"P", 20}, {L"G", 15}});
  EXPECT_EQ(pref_.AddHiScore(true, L"P", 40), 3);
  EXPECT_EQ(Table(), "A:100 B:90 C:80 P:40 D:30 E:28 F:25 G:15 ");
  // A better score at the player's own rank replaces it in place.
  EXPECT_EQ(pref_.AddHiScore(true, L"P", 45), 3);
  EXPECT_EQ(Table(), "A:100 B:90 C:80 P:45 D:30 E:28 F:25 G:15 ");
  // A lower score than the player's own entry changes nothing.
  Fill({{L"A", 100}, {L"B", 50}, {L"C", 20}});
  EXPECT_EQ(pref_.AddHiScore(true, L"A", 40), 10);
  EXPECT_EQ(Table(), "A:100 B:50 C:20 ");
  // Names compare unit for unit: case counts.
  EXPECT_EQ(pref_.AddHiScore(true, L"a", 40), 2);
  EXPECT_EQ(Table(), "A:100 B:50 a:40 C:20 ");
}

TEST_F(HiScoreTest, AFullTableDropsItsLastEntry) {
  Fill({{L"A", 100},
        {L"B", 90},
        {L"C", 80},
        {L"D", 70},
        {L"E", 60},
        {L"F", 50},
        {L"G", 40},
        {L"H", 30},
        {L"I", 20},
        {L"J", 10}});
  EXPECT_EQ(pref_.AddHiScore(true, L"K", 9), 10);
  EXPECT_EQ(pref_.AddHiScore(true, L"K", 10), 9);  // equal to the tenth: it enters
  EXPECT_EQ(Table(), "A:100 B:90 C:80 D:70 E:60 F:50 G:40 H:30 I:20 K:10 ");
  EXPECT_EQ(pref_.AddHiScore(true, L"L", 95), 1);
  EXPECT_EQ(Table(), "A:100 L:95 B:90 C:80 D:70 E:60 F:50 G:40 H:30 I:20 ");
  // A long name is stored cut, and found again under the same cut.
  std::wstring longName(200, L'z');
  EXPECT_EQ(pref_.AddHiScore(true, longName.c_str(), 85), 3);
  EXPECT_EQ(pref_.AddHiScore(true, longName.c_str(), 87), 3);
  EXPECT_EQ(std::wcslen(pref_.GetHiScoreTable(true)[3].mName), 127u);
  EXPECT_EQ(pref_.GetHiScoreTable(true)[4].mScore, 80);
}

class QCPrefAppTest : public Velk::Testing::AppTest {};

TEST_F(QCPrefAppTest, TheStoredScreenModeIsAskedForBeforeTheWindowExists) {
  Velk::Testing::CountingApp& app = MakeApp();
  app.mIsWindowed = false;
  ScratchFolder files;
  files.Write("Drimak Games/Pelune/pref.dat", HeaderBytes(60, 60, 1, 0, -1) + std::string(5200, '\0'));
  ScopedEnv data("XDG_DATA_HOME", files.Path().c_str());
  QCPref pref;
  pref.Load();
  EXPECT_EQ(app.screenSwitches, 1);
  EXPECT_TRUE(app.lastSwitchWindowed);
  EXPECT_EQ(app.mHWnd, nullptr);

  // Saving takes the mode the application is in, not the stored one.
  app.mIsWindowed = false;
  pref.Save();
  EXPECT_EQ(pref.mHeader.mWindowed, 0);
  QCPref again;
  again.Load();
  EXPECT_EQ(app.screenSwitches, 1);  // the same mode: no switch
}

TEST_F(QCPrefTest, WithoutItsFolderTheGameRunsOnWithoutSaving) {
  // The data folder is a file: nothing can be made below it.
  scratch_.Write("blocked", "x");
  ScopedEnv data("XDG_DATA_HOME", (scratch_ / "blocked").c_str());
  testing::internal::CaptureStderr();
  QCPref pref;
  EXPECT_TRUE(pref.Load());
  EXPECT_EQ(pref.GetPath().find("pref.dat"), std::string::npos);
  EXPECT_TRUE(pref.CreateProfile(L"Nobody", nullptr, nullptr));
  EXPECT_TRUE(pref.Save());
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("(the folder could not be made); kept in memory"), std::string::npos) << log;
  EXPECT_EQ(log.find("kept in memory"), log.rfind("kept in memory")) << "told at every save, not once: " << log;
  EXPECT_FALSE(pref.DeleteProfile(0));
  EXPECT_EQ(std::wstring(pref.GetHiScoreTable(true)[0].mName), L"Surv 01");
}

TEST_F(QCPrefTest, WithoutTheShellModuleTheDataFolderIsStillTheBase) {
  Velk::ModuleTable::Hide("shfolder.dll");
  fs::create_directories(scratch_ / "share");
  QCPref pref;
  Velk::ModuleTable::Hide("shfolder.dll", false);
  EXPECT_EQ(pref.GetPath(), scratch_.Path() + "/share/Drimak Games/Pelune/pref.dat");
  pref.Load();
  EXPECT_EQ(Stored().size(), 5240u);

  // The fallback does not make the data folder itself: without it nothing is saved.
  ScopedEnv missing("XDG_DATA_HOME", (scratch_ / "nowhere").c_str());
  Velk::ModuleTable::HideEntry("shfolder.dll", "SHGetFolderPathA");
  QCPref lost;
  Velk::ModuleTable::ShowAll();
  lost.Load();
  EXPECT_EQ(lost.GetPath().find("pref.dat"), std::string::npos);
  EXPECT_FALSE(fs::exists(scratch_ / "nowhere"));
}

// Damaged files the fuzzer found worth keeping: each loads, goes through every operation and is
// saved as whole records.
TEST_F(QCPrefTest, KeptDamagedFilesEndAsWholeRecords) {
  int replayed = 0;
  for (const auto& kept : fs::directory_iterator(std::string(TEST_DATA_DIR) + "/cafe/pref")) {
    std::ifstream in(kept.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    Store(bytes.str());
    QCPref pref;
    pref.Load();
    std::vector<QCProfile> all;
    pref.ReadAllProfiles(all);
    for (int index = -1; index <= 3; ++index) pref.LoadProfile(nullptr, index);
    pref.AddHiScore(true, L"Kept", 123);
    pref.DeleteProfile(0);
    pref.Save();
    size_t size = Stored().size();
    EXPECT_GE(size, kTables) << kept.path();
    EXPECT_EQ((size - kTables) % kRecord, 0u) << kept.path();
    EXPECT_EQ(pref.GetProfile()->mName[127], L'\0');
    ++replayed;
  }
  EXPECT_EQ(replayed, 7);
}

class PrefDamageTest : public QCPrefTest {
 protected:
  // The folders up to the scratch folder: others may enter them but make nothing in them.
  void KeepOtherUsersFromWritingTheFolders() const {
    for (std::string folder = Path(); folder != scratch_.Path();) {
      folder = fs::path(folder).parent_path();
      fs::permissions(folder, fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
    }
  }

  PrefDamageTest() {
    Velk::SetMessageBoxHook([this](const std::wstring& text, const std::wstring&, UINT) {
      boxes.push_back(text);
      return IDOK;
    });
  }
  ~PrefDamageTest() override { Velk::SetMessageBoxHook(nullptr); }
  std::vector<std::wstring> boxes;
};

bool Mentions(const std::wstring& text, const std::string& what) {
  return text.find(std::wstring(what.begin(), what.end())) != std::wstring::npos;
}

// One damaged byte in the header: the old file is kept as pref.dat.bad and the player told once
// where; the fresh start itself stays.
TEST_F(PrefDamageTest, ADamagedHeaderIsKeptAsideAndThePlayerTold) {
  for (size_t at : {size_t{3}, size_t{16}}) {
    fs::remove(Path() + ".bad");  // each damage on its own: a second one would keep its copy beside
    boxes.clear();
    StoreFile(0, {RecordBytes(L"A", 1)});
    std::string damaged = Stored();
    damaged[at] = static_cast<char>(damaged[at] ^ 0x40);
    Store(damaged);
    QCPref pref;
    pref.Load();
    EXPECT_FALSE(pref.mLoaded);
    EXPECT_EQ(Stored().size(), kTables) << at;
    std::ifstream kept(Path() + ".bad", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), damaged) << at;
    ASSERT_EQ(boxes.size(), 1u) << at;
    EXPECT_TRUE(Mentions(boxes[0], Path() + ".bad")) << at;
    EXPECT_FALSE(fs::exists(Path() + ".bad.lock")) << at;
    // Once the fresh file stands, the saves add to it: both profiles made afterwards are kept.
    pref.CreateProfile(L"B", nullptr, nullptr);
    pref.CreateProfile(L"C", nullptr, nullptr);
    EXPECT_EQ(Stored().size(), kTables + 2 * kRecord) << at;
  }
  // Nothing to keep from an empty file, and nothing to say.
  boxes.clear();
  fs::remove(Path() + ".bad");
  Store("");
  QCPref pref;
  pref.Load();
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(fs::exists(Path() + ".bad"));
}

// The only profile cut short (its name whole): the next save drops it, so the old file is kept as
// pref.dat.bad and the player told once, as for a damaged header.
TEST_F(PrefDamageTest, ACutShortRecordIsKeptAsideAndThePlayerTold) {
  StoreFile(0, {RecordBytes(L"A", 1).substr(0, 460)});
  const std::string cut = Stored();
  QCPref pref;
  pref.Load();
  EXPECT_FALSE(pref.mLoaded);
  EXPECT_EQ(Stored().size(), kTables);
  std::ifstream kept(Path() + ".bad", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), cut);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(Mentions(boxes[0], Path() + ".bad"));
  EXPECT_FALSE(fs::exists(Path() + ".bad.lock"));

  // Whole records only from now on: nothing more to keep or to say.
  QCPref again;
  again.Load();
  EXPECT_EQ(boxes.size(), 1u);
  std::ifstream keptStill(Path() + ".bad", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(keptStill), {}), cut);
}

// A folder where pref.dat should be: the game plays on, and the player is told once per session
// that progress cannot be saved, with the file's name.
TEST_F(PrefDamageTest, AnUnwritableFileIsReportedOnceASession) {
  fs::create_directories(Path());
  QCPref pref;
  pref.Load();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(Mentions(boxes[0], Path()));
  pref.CreateProfile(L"Ann", nullptr, nullptr);
  pref.Save();
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(fs::is_directory(Path()));
  EXPECT_EQ(std::wstring(pref.GetProfile()->mName), L"Ann");
}

// A pref.dat this user may only read (as another user when the tests run as root): its profile
// is loaded, and the first save says that nothing can be saved.
TEST_F(PrefDamageTest, AReadOnlyFileIsLoadedAndTheFailedSaveReported) {
  StoreFile(0, {RecordBytes(L"A", 1)});
  const std::string before = Stored();
  fs::permissions(Path(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  KeepOtherUsersFromWritingTheFolders();
  const int status = InChildAsOtherUser([this] {
    QCPref pref;
    pref.Load();
    if (!pref.mLoaded || std::wstring(pref.GetProfile()->mName) != L"A") return 1;
    pref.Save();
    return boxes.size() == 1 && Mentions(boxes[0], Path()) ? 0 : 2;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Stored(), before);
}

// No copy can be written beside a damaged file (a folder nobody may write to, as with a full disk;
// root, who may, runs the body as another user): the file stays byte for byte as it was for the
// whole run, the game plays on the defaults, and the one box names the file left untouched.
TEST_F(PrefDamageTest, AFileThatCannotBeCopiedIsLeftUntouchedAllRun) {
  StoreFile(0, {RecordBytes(L"A", 1), RecordBytes(L"B", 2).substr(0, 300)});
  const std::string before = Stored();
  fs::permissions(Path(), fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec & ~fs::perms::others_exec);
  KeepOtherUsersFromWritingTheFolders();
  const fs::path folder = fs::path(Path()).parent_path();
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
  const std::string path = Path();
  const int status = InChildAsOtherUser([this, &path] {
    QCPref pref;
    pref.Load();
    if (pref.mLoaded || std::wstring(pref.GetProfile()->mName) != L"unknown") return 1;
    pref.CreateProfile(L"Ann", nullptr, nullptr);
    std::vector<QCProfile> profiles;
    pref.ReadAllProfiles(profiles);
    if (!profiles.empty()) return 2;
    return boxes.size() == 1 &&
                   boxes[0].ends_with(L"will not keep this game's progress. The file is left untouched at " +
                                      std::wstring(path.begin(), path.end()))
               ? 0
               : 3;
  });
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);  // for the clean-up
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Stored(), before);
  EXPECT_FALSE(fs::exists(Path() + ".bad"));
}

// pref.dat's lock held by another program: for a moment at
// the start, it is waited for and the progress read; over a day's save, the file is that program's
// for the rest of the run, told once, and neither read nor written.
TEST_F(PrefDamageTest, AFileLockedByAnotherProgramIsWaitedForThenLeftAsItIs) {
  StoreFile(1, {RecordBytes(L"A", 1), RecordBytes(L"B", 2)});
  const std::string before = Stored();
  const int lock = open((Path() + ".lock").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  std::thread release([lock] {
    usleep(100000);
    flock(lock, LOCK_UN);
  });
  QCPref pref;
  pref.Load();
  release.join();
  EXPECT_EQ(std::wstring(pref.GetProfile()->mName), L"B");
  EXPECT_TRUE(boxes.empty());

  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  Velk::Clock::UseManual();  // the wait passes at once
  pref.GetProfile()->mCurrentDay = 7;
  pref.Save();
  Velk::Clock::UseReal();
  close(lock);
  std::vector<QCProfile> profiles;
  pref.ReadAllProfiles(profiles);
  EXPECT_TRUE(profiles.empty());
  EXPECT_FALSE(pref.DeleteProfile(0));
  pref.Save();
  EXPECT_EQ(Stored(), before);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].starts_with(L"Another program is using your saved progress")) << boxes[0];
}

std::string gWatchedFile;
std::vector<uintmax_t> gSizesSeen;

// A start over a damaged header, watched at every piece of every write, where a program killed
// would leave pref.dat as it stands: the damaged file or the fresh one, never an empty one.
TEST_F(PrefDamageTest, ADamagedHeaderIsReplacedInOneCommit) {
  StoreFile(0, {RecordBytes(L"A", 1)});
  std::string damaged = Stored();
  damaged[3] = static_cast<char>(damaged[3] ^ 0x40);
  Store(damaged);
  gWatchedFile = Path();
  Velk::SetAtomicWriteProbe([](size_t) {
    std::error_code ignored;
    gSizesSeen.push_back(fs::file_size(gWatchedFile, ignored));
  });
  QCPref pref;
  pref.Load();
  Velk::SetAtomicWriteProbe(nullptr);
  EXPECT_EQ(Stored().size(), kTables);
  ASSERT_FALSE(gSizesSeen.empty());
  for (uintmax_t size : gSizesSeen) EXPECT_TRUE(size == damaged.size() || size == kTables) << size;
}

size_t gCopySize = 0;

// No room left on the disk for this process's writes, the test's own output too, until the limit
// is set back.
void FillTheDisk() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = 0;
  setrlimit(RLIMIT_FSIZE, &limit);
}

// No room left on the disk from the moment the copy of the damaged file is whole.
void DiskFullAfterTheCopy(size_t written) {
  if (written == gCopySize) FillTheDisk();
}

// The fresh start's commit fails: until one succeeds, the damaged file on disk holds no profile to
// read, to choose or to write into.
TEST_F(PrefDamageTest, UntilTheFreshStartIsCommittedTheDamagedFileHoldsNoProfile) {
  StoreFile(0, {RecordBytes(L"A", 1), RecordBytes(L"B", 2)});
  std::string damaged = Stored();
  damaged[3] = static_cast<char>(damaged[3] ^ 0x40);
  Store(damaged);
  rlimit room{};
  getrlimit(RLIMIT_FSIZE, &room);
  Velk::FileSizeSignal::Ignore();  // as the program's start does
  gCopySize = damaged.size();
  Velk::SetAtomicWriteProbe(DiskFullAfterTheCopy);
  QCPref pref;
  pref.Load();
  Velk::SetAtomicWriteProbe(nullptr);
  setrlimit(RLIMIT_FSIZE, &room);
  std::vector<QCProfile> profiles;
  pref.ReadAllProfiles(profiles);
  EXPECT_TRUE(profiles.empty());
  FillTheDisk();
  const bool loaded = pref.LoadProfile(nullptr, 1);
  setrlimit(RLIMIT_FSIZE, &room);
  EXPECT_FALSE(loaded);
  FillTheDisk();
  pref.CreateProfile(L"Ann", nullptr, nullptr);
  setrlimit(RLIMIT_FSIZE, &room);
  EXPECT_FALSE(pref.SaveProfile(nullptr));
  EXPECT_EQ(Stored(), damaged);
}

// A file cut inside its last record: the log names the record.
TEST_F(QCPrefTest, ACutShortRecordIsNamedInTheLog) {
  StoreFile(0, {RecordBytes(L"A", 1), RecordBytes(L"B", 2).substr(0, 300)});
  testing::internal::CaptureStderr();
  QCPref pref;
  pref.Load();
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("profile record 2 (counted from 1) is cut short at 300 of 912 bytes"), std::string::npos) << log;
  EXPECT_EQ(Stored().size(), kTables + kRecord);
}

// A save killed at any moment leaves pref.dat whole: the contents before it or after it.
TEST_F(QCPrefTest, AKilledSaveLeavesTheOldOrTheNewFile) {
  QCPref pref;
  pref.Load();
  pref.CreateProfile(L"Runner", nullptr, nullptr);
  pref.mHeader.mMusicVolume = 11;
  pref.Save();
  const std::string first = Stored();
  pref.mHeader.mMusicVolume = 22;
  pref.Save();
  const std::string second = Stored();
  ASSERT_NE(first, second);

  std::mt19937 random(12345);
  for (int run = 0; run < 20; ++run) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipeFds[0]);
      for (int i = 0;; ++i) {
        pref.mHeader.mMusicVolume = i % 2 == 0 ? 11 : 22;
        pref.Save();
        char tick = 1;
        if (write(pipeFds[1], &tick, 1) != 1) _exit(1);
      }
    }
    close(pipeFds[1]);
    int saves = 1 + static_cast<int>(random() % 5);
    char tick;
    for (int i = 0; i < saves; ++i) ASSERT_EQ(read(pipeFds[0], &tick, 1), 1);
    usleep(random() % 2000);  // somewhere inside a later save
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(pipeFds[0]);
    std::string now = Stored();
    EXPECT_TRUE(now == first || now == second) << "run " << run << ": " << now.size() << " bytes";
  }
}

}  // namespace
