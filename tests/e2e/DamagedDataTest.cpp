// The program itself (not the test's phases) started over damaged data as a player would start it:
// it ends within ten seconds with a non-zero status and a message that names the damaged file, and
// the home it found stays as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "app/ChildProcess.h"
#include "e2e/GameRun.h"
#include "e2e/PlayerUser.h"
#include "resources/PakFormat.h"

namespace E2e {
namespace {

namespace fs = std::filesystem;

constexpr int kLimitMs = 10000 * kPhaseSlowdown;

std::string TestName() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Replaces the archive's link with a file of its own, so the build's archive stays whole.
void WriteArchive(const fs::path& path, const std::string& bytes) {
  fs::remove(path);
  std::ofstream(path, std::ios::binary) << bytes;
}

uint32_t U32At(const std::string& plain, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(plain.at(at + i));
  return value;
}

struct Member {
  std::string name;
  size_t nameAt;  // where its name lies in the archive
  size_t first;   // where its bytes begin
  size_t size;
};

// The archive's directory: each member's name and where its bytes lie, [first, first + size).
std::vector<Member> Directory(const std::string& archive) {
  std::string plain = archive;
  PakUnscrambleBytes(reinterpret_cast<uint8_t*>(plain.data()), plain.size());
  std::vector<Member> members;
  size_t at = 8, offset = 0;
  while (!(static_cast<uint8_t>(plain.at(at)) & kPakEndOfDirectory)) {
    const size_t length = static_cast<uint8_t>(plain.at(at + 1));
    const size_t size = U32At(plain, at + 2 + length);
    members.push_back({plain.substr(at + 2, length), at + 2, offset, size});
    offset += size;
    at += 2 + length + 12;
  }
  for (Member& member : members) member.first += at + 1;
  return members;
}

std::pair<size_t, size_t> MemberRange(const std::string& archive, const std::string& member) {
  for (const Member& m : Directory(archive))
    if (m.name == member) return {m.first, m.size};
  return {std::string::npos, 0};
}

// The member's bytes, all zero.
void ZeroMember(std::string& archive, const std::string& member) {
  const auto [first, size] = MemberRange(archive, member);
  ASSERT_GT(size, 0u) << member;
  std::fill(archive.begin() + static_cast<std::ptrdiff_t>(first),
            archive.begin() + static_cast<std::ptrdiff_t>(first + size), static_cast<char>(PakScrambleByte(0)));
}

// The member's bytes replaced by `plain`, which must be as long.
void FillMember(std::string& archive, const std::string& member, const std::string& plain) {
  const auto [first, size] = MemberRange(archive, member);
  ASSERT_EQ(plain.size(), size) << member;
  for (size_t i = 0; i < size; ++i) archive[first + i] = static_cast<char>(PakScrambleByte(plain[i]));
}

// Gives a member a name of the same length, so that what asks for the old one finds nothing.
void RenameMember(std::string& archive, const std::string& from, const std::string& to) {
  ASSERT_EQ(from.size(), to.size());
  for (const Member& m : Directory(archive)) {
    if (m.name != from) continue;
    for (size_t i = 0; i < to.size(); ++i) archive[m.nameAt + i] = static_cast<char>(PakScrambleByte(to[i]));
    return;
  }
  FAIL() << from << " is not in the archive";
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

struct Outcome {
  std::optional<int> status;
  std::string errors;
};

class DamagedData : public ::testing::Test {
 public:
  DamagedData() : run(TestName()) {
    EXPECT_TRUE(run.Run("two_profiles").Passed());
    fs::copy_file(fs::path(PELUNE_RUNTIME_DIR) / "pelune", run.ProgramFolder() / "pelune");
    before = run.HomeFiles();
  }

  // The program from its folder, headless, over the test's home; its standard error kept.
  Outcome Start() {
    const std::map<std::string, std::string> env = {
        {"XDG_DATA_HOME", run.DataHome().string()},
        {"XDG_CONFIG_HOME", run.ConfigHome().string()},
        {"XDG_RUNTIME_DIR", (run.DataHome().parent_path() / "run").string()},
        {"VELK_BACKEND", "headless"},
        {"SDL_VIDEODRIVER", "dummy"},
        {"SDL_AUDIODRIVER", "dummy"},
    };
    Velk::Testing::ChildProcess child({(run.ProgramFolder() / "pelune").string()}, env, 2);
    Outcome outcome;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLimitMs);
    auto left = [&end] {
      return static_cast<int>(std::max<int64_t>(
          std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count(), 0));
    };
    while (std::optional<std::string> line = child.ReadLine(left())) outcome.errors += *line + "\n";
    if (std::optional<int> status = child.WaitForEnd(left()); status && WIFEXITED(*status)) {
      outcome.status = WEXITSTATUS(*status);
    }
    return outcome;
  }

  // Unchanged but for the mark a run leaves in the settings while it runs, which a start-up that
  // ends on a fatal error leaves set, as a crash would.
  void ExpectHomeUnchanged() {
    const std::map<std::string, std::string> after = run.HomeFiles();
    EXPECT_EQ(after.size(), before.size());
    for (const auto& [name, bytes] : before) {
      if (name.find("settings.ini") != std::string::npos) continue;
      EXPECT_TRUE(after.count(name) && after.at(name) == bytes) << name << " changed";
    }
  }

  GameRun run;
  std::map<std::string, std::string> before;
};

TEST_F(DamagedData, ATruncatedDataPakIsNamedAndTheProgramFails) {
  const fs::path pak = run.ProgramFolder() / "data.pak";
  const std::string whole = ReadBytes(pak);
  for (size_t cut : {size_t{0}, size_t{3}, size_t{9}, size_t{200}, whole.size() / 10, whole.size() / 3,
                     whole.size() / 2, whole.size() - 1000, whole.size() - 2, whole.size() - 1}) {
    WriteArchive(pak, whole.substr(0, cut));
    const Outcome outcome = Start();
    EXPECT_EQ(outcome.status, 1) << "cut at " << cut << "\n" << outcome.errors;
    EXPECT_NE(outcome.errors.find("[FATAL ERROR]"), std::string::npos) << outcome.errors;
    EXPECT_NE(outcome.errors.find("data.pak"), std::string::npos) << "cut at " << cut << "\n" << outcome.errors;
    ExpectHomeUnchanged();
  }
}

// The archive whole but for one member's bytes, all zero: the start stops with a message that names
// the member, and the home stays as it was.
void ExpectZeroedMemberStopsTheStart(DamagedData& test, const std::string& member) {
  const fs::path pak = test.run.ProgramFolder() / "data.pak";
  std::string bytes = ReadBytes(pak);
  ZeroMember(bytes, member);
  WriteArchive(pak, bytes);
  const Outcome outcome = test.Start();
  EXPECT_EQ(outcome.status, 1) << outcome.errors;
  EXPECT_NE(outcome.errors.find("[FATAL ERROR]"), std::string::npos) << outcome.errors;
  EXPECT_NE(outcome.errors.find(member), std::string::npos) << outcome.errors;
  test.ExpectHomeUnchanged();
}

TEST_F(DamagedData, AZeroedUiDocumentIsNamedAndTheProgramFails) {
  ExpectZeroedMemberStopsTheStart(*this, "cfg\\ui.xml");
}

// Without the music, the sounds and the characters' tables no day could be won: the start stops
// as for the UI document rather than run on in silence.
TEST_F(DamagedData, AZeroedConfigurationIsNamedAndTheProgramFails) {
  ExpectZeroedMemberStopsTheStart(*this, "cfg\\cfg.xml");
}

constexpr char kTextTable[] = "cfg\\loc.xml";

// The text table made a whole UTF-16 document of `entries`, padded with spaces to the member's size.
void FillTextTable(std::string& archive, const std::string& entries) {
  const size_t size = MemberRange(archive, kTextTable).second;
  ASSERT_EQ(size % 2, 0u);
  const std::string open = "<root>" + entries, close = "</root>";
  ASSERT_LE(open.size() + close.size(), (size - 2) / 2);
  std::string document = "\xFF\xFE";
  for (const char c : open + std::string((size - 2) / 2 - open.size() - close.size(), ' ') + close)
    document += {c, '\0'};
  FillMember(archive, kTextTable, document);
}

// Started beside `archive` as its loc.pak, the program names the text table, fails and leaves the
// home as it found it.
void ExpectTextTableStopsTheStart(DamagedData& test, const std::string& archive) {
  WriteArchive(test.run.ProgramFolder() / "loc.pak", archive);
  const Outcome outcome = test.Start();
  EXPECT_EQ(outcome.status, 1) << outcome.errors;
  EXPECT_NE(outcome.errors.find("[FATAL ERROR] This game file cannot be read; please reinstall the game: " +
                                std::string(kTextTable)),
            std::string::npos)
      << outcome.errors;
  EXPECT_TRUE(test.run.HomeFiles() == test.before);
}

// A home with nothing in it, as before a first start.
void EmptyTheHome(DamagedData& test) {
  for (const fs::path& home : {test.run.DataHome(), test.run.ConfigHome()}) {
    fs::remove_all(home);
    fs::create_directories(home);
  }
  test.before = test.run.HomeFiles();
}

// Without its texts the game would show no word: a cfg\loc.xml that does not parse stops the start
// before anything of the player's home is read or written (the settings too, byte for byte), and
// one that is missing, or holds no text at all, stops a first start before it makes a pref.dat or
// any folder for it.
TEST_F(DamagedData, AnUnreadableTextTableIsNamedAndNothingAtHomeChanges) {
  const std::string whole = ReadBytes(run.ProgramFolder() / "loc.pak");
  std::string zeroed = whole, missing = whole, empty = whole;
  ZeroMember(zeroed, kTextTable);
  FillTextTable(empty, "");
  RenameMember(missing, kTextTable, "cfg\\lox.xml");
  ExpectTextTableStopsTheStart(*this, zeroed);
  EmptyTheHome(*this);
  for (const std::string& archive : {missing, empty}) {
    ExpectTextTableStopsTheStart(*this, archive);
    EXPECT_TRUE(fs::is_empty(run.DataHome()));
  }
}

// Entries that all say nothing, one or many, are no table either: a first start would show no word
// and write hi-score tables of empty names.
TEST_F(DamagedData, ATableOfEmptyTextsIsNamedAndNothingAtHomeChanges) {
  const std::string whole = ReadBytes(run.ProgramFolder() / "loc.pak");
  EmptyTheHome(*this);
  const std::string one = "<loc id=\"app_title\" text=\"\"/>";
  for (const std::string& entries : {one, one + "<loc id=\"record_career_name_01\" text=\"\"/>"}) {
    std::string archive = whole;
    FillTextTable(archive, entries);
    ExpectTextTableStopsTheStart(*this, archive);
    EXPECT_TRUE(fs::is_empty(run.DataHome()));
  }
}

// The box steps of a phase.
std::string FlipByte(const fs::path& file, size_t at) {
  std::string bytes = ReadBytes(file);
  bytes.at(at) = static_cast<char>(bytes.at(at) ^ 0x40);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  return bytes;
}

// Ann's and Bob's pref.dat with a damaged version. A folder where its copy would go is stepped over
// like any earlier copy. In a folder the player may not write no copy can be made: the file is then
// never rewritten, not at the start and not by the profile made afterwards, and the one box says
// where it was left untouched.
TEST_F(DamagedData, APrefDatThatCannotBeCopiedIsLeftUntouched) {
  const fs::path inTheWay = run.PrefPath().string() + ".bad";
  fs::create_directory(inTheWay);
  const std::string damaged = FlipByte(run.PrefPath(), 16);
  PhaseResult result = run.Run("cut_pref");
  EXPECT_TRUE(result.Passed()) << result.Transcript();
  ASSERT_EQ(result.Boxes().size(), 1u) << result.Transcript();
  EXPECT_TRUE(result.Boxes()[0].ends_with(" kept as " + inTheWay.string() + ".1")) << result.Boxes()[0];
  EXPECT_TRUE(ReadBytes(inTheWay.string() + ".1") == damaged);
  EXPECT_TRUE(fs::is_directory(inTheWay) && fs::is_empty(inTheWay));

  PlayerUser player;
  if (!player.Unavailable().empty()) GTEST_SKIP() << player.Unavailable();
  GameRun shut(TestName(), player.Folder());
  ASSERT_TRUE(shut.Run("two_profiles").Passed());
  const std::string untouched = FlipByte(shut.PrefPath(), 16);
  for (const fs::path& folder : {shut.DataHome().parent_path(), shut.OutFolder()}) player.Give(folder);
  const fs::path folder = shut.PrefPath().parent_path();
  fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  result = player.Play(shut, "cut_pref");
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);  // for the clean-up
  EXPECT_TRUE(result.Passed()) << result.Transcript();
  EXPECT_TRUE(ReadBytes(shut.PrefPath()) == untouched) << "pref.dat was rewritten";
  const std::vector<std::string> boxes = result.Boxes();
  ASSERT_EQ(boxes.size(), 1u) << result.Transcript();
  EXPECT_TRUE(
      boxes[0].ends_with("could not be read, and no copy of it could be written, so the game starts afresh and "
                         "will not keep this game's progress. The file is left untouched at " +
                         shut.PrefPath().string()))
      << boxes[0];
}

// A second damage after a first: the first copy stays, the second is kept beside it, and the box
// names the new one.
TEST_F(DamagedData, ASecondDamageKeepsBothCopies) {
  const std::string bad = run.PrefPath().string() + ".bad";
  const std::string first = FlipByte(run.PrefPath(), 16);
  EXPECT_TRUE(run.Run("damaged_pref").Passed());
  const std::string second = FlipByte(run.PrefPath(), 3);
  const PhaseResult result = run.Run("damaged_pref");
  EXPECT_TRUE(result.Passed()) << result.Transcript();
  EXPECT_TRUE(ReadBytes(bad) == first);
  EXPECT_TRUE(ReadBytes(bad + ".1") == second);
  const std::vector<std::string> boxes = result.Boxes();
  ASSERT_EQ(boxes.size(), 1u) << result.Transcript();
  EXPECT_TRUE(boxes[0].ends_with(" kept as " + bad + ".1")) << boxes[0];
  EXPECT_EQ(ReadBytes(run.PrefPath()).size(), 5240u);
}

// A missing archive: the file the start could not find is named as before, and the archive with it.
TEST_F(DamagedData, AMissingArchiveIsNamedWithTheFileItHeld) {
  for (const auto& [archive, file] :
       {std::pair{"data.pak", "properties\\resources.xml"}, {"loc.pak", "cfg\\loc.xml"}}) {
    const fs::path path = run.ProgramFolder() / archive;
    const std::string bytes = ReadBytes(path);
    fs::remove(path);
    const Outcome outcome = Start();
    EXPECT_EQ(outcome.status, 1) << outcome.errors;
    EXPECT_NE(outcome.errors.find("[FATAL ERROR]"), std::string::npos) << outcome.errors;
    EXPECT_NE(outcome.errors.find(file), std::string::npos) << outcome.errors;
    EXPECT_NE(outcome.errors.find(std::string(archive) + " is missing; please reinstall the game"), std::string::npos)
        << outcome.errors;
    ExpectHomeUnchanged();
    WriteArchive(path, bytes);
  }
}

// Day 1 over an archive without the tables' and the boss's animations: the day loads and is drawn
// without them (its pictures then differ from the goldens, which ends the phase at its first
// checkpoint over the cafe), and each missing file is named once, however many frames draw its part.
TEST(MissingSceneFiles, DayOneGoesOnAndNamesEachMissingFileOnce) {
  GameRun run(TestName());
  const fs::path pak = run.ProgramFolder() / "data.pak";
  std::string bytes = ReadBytes(pak);
  RenameMember(bytes, "anm\\table.anm", "anm\\tablX.anm");
  RenameMember(bytes, "anm\\boss.anm", "anm\\bosX.anm");
  WriteArchive(pak, bytes);
  PhaseOptions options;
  fs::create_directories(run.OutFolder());
  options.errorsFile = run.OutFolder() / "errors.txt";
  const PhaseResult result = run.Run("first_note", options);
  EXPECT_TRUE(result.HasStep("ok the load screen gone at the hand-over")) << result.Transcript();
  const std::string errors = ReadBytes(options.errorsFile);
  for (const char* file : {"anm\\table.anm", "anm\\boss.anm"})
    EXPECT_EQ(Count(errors, std::string("scene: cannot read ") + file), 1u) << file << "\n" << errors;
}

// An archive that is a pipe is not waited on: it is named as a damaged one and the start ends (the
// optional mod.pak first, while data.pak is still there).
TEST_F(DamagedData, AnArchiveThatIsAPipeIsNamedAndTheProgramFails) {
  for (const char* archive : {"mod.pak", "data.pak"}) {
    const fs::path path = run.ProgramFolder() / archive;
    fs::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    const Outcome outcome = Start();
    EXPECT_EQ(outcome.status, 1) << archive << "\n" << outcome.errors;
    EXPECT_NE(outcome.errors.find("[FATAL ERROR]"), std::string::npos) << outcome.errors;
    EXPECT_NE(outcome.errors.find(archive), std::string::npos) << outcome.errors;
    ExpectHomeUnchanged();
    fs::remove(path);
  }
}

// settings.ini a pipe or a folder: the start does not wait on it, plays on the defaults and says so
// in one line. The pipe is set aside for a plain file; the folder is the user's and stays as it was.
TEST_F(DamagedData, SettingsThatAreNotAPlainFileAreNotWaitedOn) {
  const fs::path settings = run.ConfigHome() / "Drimak Games" / "Pelune Cafe" / "settings.ini";
  const std::string kept = settings.string() + ".bad";
  PhaseOptions options;
  options.limitMs = 60000 * kPhaseSlowdown;
  options.errorsFile = run.OutFolder() / "errors.txt";
  fs::create_directories(run.OutFolder());
  auto play = [&] {
    const PhaseResult result = run.Run("one_more_profile", options);
    EXPECT_TRUE(result.Passed()) << result.Transcript();
    return ReadBytes(options.errorsFile);
  };
  auto linesOnSettings = [](const std::string& errors) {
    std::istringstream in(errors);
    size_t count = 0;
    for (std::string line; std::getline(in, line);) count += line.find("settings") != std::string::npos;
    return count;
  };
  ASSERT_TRUE(fs::remove(settings));
  ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
  std::string errors = play();
  EXPECT_EQ(linesOnSettings(errors), 1u) << errors;
  EXPECT_NE(errors.find(settings.string() + " is not a plain file; kept aside as " + kept), std::string::npos)
      << errors;
  EXPECT_TRUE(fs::is_fifo(kept) && fs::is_regular_file(settings));

  fs::remove(kept);
  fs::remove(settings);
  fs::create_directories(settings / "inside");
  errors = play();
  EXPECT_EQ(linesOnSettings(errors), 1u) << errors;
  EXPECT_NE(errors.find("settings cannot be kept: " + settings.string() + " is a folder"), std::string::npos) << errors;
  EXPECT_TRUE(fs::is_empty(settings / "inside"));
  EXPECT_FALSE(fs::exists(kept));
}

}  // namespace
}  // namespace E2e
