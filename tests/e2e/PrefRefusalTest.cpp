// The program itself, headless, over a home where pref.dat cannot be used as it stands: held by a
// second process or by another copy of the game (of this user, or of another who shares the home
// through a group), too large, under a file-size limit, on a read-only file system, in a folder the
// player may not search. Each start is closed by SIGTERM once loaded. The player's file is never
// written over, and each refusal is told once, with its reason.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "e2e/PlayerUser.h"

namespace E2e {
namespace {

namespace fs = std::filesystem;

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// A file written anew (to a temporary name, then renamed) has another inode, whatever its bytes.
ino_t FileId(const fs::path& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class PrefRefusal : public ::testing::Test {
 protected:
  // A first start's pref.dat, whose best survival score is then made 999,999.
  std::string StoreTopScore() {
    player.StartAndStop(home);
    std::string bytes = ReadWholeFile(pref);
    bytes.replace(40 + 256, 4, std::string("\x3f\x42\x0f\x00", 4));
    std::ofstream(pref, std::ios::binary | std::ios::trunc) << bytes;
    return bytes;
  }

  // The first copy over the home, started and loaded; what it said.
  std::string StartFirst() {
    first = player.Launch(home);
    std::string said = PlayerUser::UntilLoaded(*first);
    playing = ReadWholeFile(settings);
    prefFile = FileId(pref);
    settingsFile = FileId(settings);
    return said;
  }

  // A second copy started while the first plays: told in a line and a box that the first holds
  // `held` (nothing said when that is empty), it ends with status 0 having loaded nothing, and
  // pref.dat (still `mine`) and settings.ini keep their bytes and their inodes.
  void ExpectTheSecondToLeaveTheFilesAlone(std::unique_ptr<Velk::Testing::ChildProcess> second, const std::string& mine,
                                           const fs::path& held) {
    const std::string told = PlayerUser::UntilEnd(*second);
    const size_t lines = held.empty() ? 0u : 1u;
    EXPECT_EQ(Count(told,
                    "Pelune Cafe is already running for this player, perhaps in another session or on another "
                    "machine (it holds " +
                        (held / "running.lock").string() + "); close it first"),
              lines)
        << told;
    EXPECT_EQ(Count(told, "] Pelune Cafe is already running for this player"), lines) << told;
    EXPECT_EQ(Count(told, "Resource Loading Time") + Count(told, "cannot be made"), 0u) << told;
    EXPECT_TRUE(ReadWholeFile(pref) == mine && FileId(pref) == prefFile) << "pref.dat was rewritten";
    EXPECT_TRUE(ReadWholeFile(settings) == playing && FileId(settings) == settingsFile) << ReadWholeFile(settings);
  }

  // The first copy closed by SIGTERM: it writes its settings and keeps the player's progress.
  void StopFirst(std::string said, const std::string& mine) {
    kill(first->Pid(), SIGTERM);
    said += PlayerUser::UntilEnd(*first);
    EXPECT_TRUE(ReadWholeFile(pref) == mine);
    EXPECT_NE(ReadWholeFile(settings).find("\"InProgress\"=dword:00000000\n"), std::string::npos) << said;
  }

  PlayerUser player;
  const fs::path home = player.Folder() / "home";
  const fs::path pref = home / "data/Drimak Games/Pelune/pref.dat";
  const fs::path settings = home / "config/Drimak Games/Pelune Cafe/settings.ini";
  std::unique_ptr<Velk::Testing::ChildProcess> first;
  std::string playing;
  ino_t prefFile = 0, settingsFile = 0;
};

// pref.dat's lock held through the start by another program: the file is that program's, told once
// and never written.
TEST_F(PrefRefusal, AFileHeldByAnotherProgramIsLeftAsItIs) {
  const std::string mine = StoreTopScore();
  const int lock = open((pref.string() + ".lock").c_str(), O_RDWR);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  const std::string said = player.StartAndStop(home);
  close(lock);
  EXPECT_TRUE(ReadWholeFile(pref) == mine) << "pref.dat was rewritten";
  EXPECT_EQ(Count(said, " is in use by another program; it is left untouched"), 1u) << said;
  EXPECT_EQ(Count(said, "] Another program is using your saved progress"), 1u) << said;
  EXPECT_EQ(Count(said, "pref.dat: could not save"), 0u) << said;
}

// A second copy of the game over the same home while the first plays: one started in another
// session (another runtime folder) is told and ends, one in the same session ends quietly, one that
// shares only the data folder (settings and runtime folders of its own) is told of that folder's
// lock, and none reads or writes the player's files; the first plays on and saves as its own.
TEST_F(PrefRefusal, ASecondCopyLeavesTheFirstCopysFilesAlone) {
  const std::string mine = StoreTopScore();
  std::string said = StartFirst();
  const fs::path own = home / "own config", elsewhere = home / "elsewhere";
  fs::create_directories(elsewhere);
  const struct {
    fs::path runtime;
    std::vector<std::string> prefix;
    fs::path held;  // the folder the second copy is told is held; none when it ends quietly
  } seconds[] = {{elsewhere, {}, settings.parent_path()},
                 {home / "run", {}, {}},
                 {elsewhere, {"/usr/bin/env", "XDG_CONFIG_HOME=" + own.string()}, pref.parent_path()}};
  for (const auto& second : seconds) {
    ExpectTheSecondToLeaveTheFilesAlone(player.Launch(home, As::Test, second.prefix, second.runtime), mine,
                                        second.held);
  }
  StopFirst(said, mine);
}

// Two users who share a home through a group (its folders 2770, umask 007): the second may only read
// the lock files the first user's copy made, yet its copy finds that copy, is told and ends, and the
// first's files stay as they are.
TEST_F(PrefRefusal, AGroupMembersCopyLeavesTheFirstUsersFilesAlone) {
  if (geteuid() != 0) GTEST_SKIP() << "two users on one home: only root starts a copy as the second, nobody";
  if (!player.Unavailable().empty()) GTEST_SKIP() << player.Unavailable();
  const gid_t group = Velk::Testing::UserNamed("nobody")->gid;
  for (const fs::path& folder : {home, home / "data", home / "config"}) {
    fs::create_directories(folder);
    ASSERT_EQ(chown(folder.c_str(), 0, group), 0);
    fs::permissions(folder, static_cast<fs::perms>(02770));
  }
  const mode_t mask = umask(007);
  const std::string mine = StoreTopScore();
  std::string said = StartFirst();
  umask(mask);
  const fs::path runtime = player.Folder() / "nobody's run";
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  player.Give(runtime);
  ExpectTheSecondToLeaveTheFilesAlone(player.Launch(home, As::GroupMember, {}, runtime), mine, settings.parent_path());
  StopFirst(said, mine);
}

// A file-size limit below pref.dat's size: the save fails, is told once, and leaves nothing.
TEST_F(PrefRefusal, AFileSizeLimitFailsTheSaveWhichIsTold) {
  const std::string said = player.StartAndStop(home, As::Test, {}, {"/usr/bin/prlimit", "--fsize=4096"});
  EXPECT_EQ(Count(said, "pref.dat: could not save " + pref.string() + " (file too large); kept in memory"), 1u) << said;
  EXPECT_EQ(Count(said, "] Your progress cannot be saved"), 1u) << said;
  for (const fs::directory_entry& entry : fs::directory_iterator(pref.parent_path()))
    EXPECT_FALSE(entry.path().string().ends_with(".tmp")) << entry.path();
}

// 300 MB is more than a file the game reads: the reason is named, and the box says what was tried.
TEST_F(PrefRefusal, AFileTooLargeIsToldAsUnreadableForItsSize) {
  fs::create_directories(pref.parent_path());
  std::ofstream(pref).close();
  fs::resize_file(pref, 300u << 20);
  const std::string said = player.StartAndStop(home);
  EXPECT_EQ(Count(said, pref.string() + " is there but cannot be read (file too large); it is left untouched"), 1u)
      << said;
  EXPECT_EQ(Count(said,
                  "] Your saved progress could not be read, so the game starts afresh and will not keep this "
                  "game's progress. The file is left untouched at " +
                      pref.string()),
            1u)
      << said;
  EXPECT_EQ(fs::file_size(pref), 300u << 20);
}

// The home mounted read-only, in a mount namespace of the run's own: the progress is read, and the
// failed saves are told once as what they are.
TEST_F(PrefRefusal, AReadOnlyFileSystemIsNamedAsSuch) {
  const std::string flags = geteuid() == 0 ? "-m" : "-Urm";
  if (std::system(("/usr/bin/unshare " + flags + " /bin/true").c_str()) != 0)
    GTEST_SKIP() << "unshare " << flags << " fails";
  const std::string mine = StoreTopScore();
  const std::vector<std::string> prefix = {
      "/usr/bin/unshare",
      flags,
      "/bin/sh",
      "-c",
      "mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" && exec \"$@\"",
      home / "data"};
  const std::string said = player.StartAndStop(home, As::Test, {}, prefix);
  EXPECT_EQ(Count(said, "pref.dat: could not save " + pref.string() + " (read-only file system); kept in memory"), 1u)
      << said;
  EXPECT_EQ(Count(said, "access denied"), 0u) << said;
  EXPECT_TRUE(ReadWholeFile(pref) == mine);
}

// pref.dat's folder, or the data folder above it, that the player may not search: the progress there
// cannot be read, and the folder is named as such, neither as one that could not be made nor as a
// file that cannot be written.
TEST_F(PrefRefusal, AFolderThatCannotBeSearchedIsToldAsUnreadable) {
  if (!player.Unavailable().empty()) GTEST_SKIP() << player.Unavailable();
  const std::string mine = StoreTopScore();
  for (const fs::path& shut : {pref.parent_path(), pref.parent_path().parent_path()}) {
    fs::permissions(shut, fs::perms::owner_read | fs::perms::owner_write);
    const std::string said = player.StartAndStop(home, As::Player);
    fs::permissions(shut, fs::perms::owner_all);
    EXPECT_EQ(Count(said, "pref.dat: the folder " + shut.string() +
                              " cannot be opened (access denied); it is left "
                              "untouched and nothing is saved"),
              1u)
        << said;
    EXPECT_EQ(Count(said,
                    "] Your saved progress could not be read, since its folder cannot be opened, so the game "
                    "starts afresh and will not keep this game's progress. Nothing is changed in the folder " +
                        shut.string()),
              1u)
        << said;
    EXPECT_EQ(Count(said, "could not make") + Count(said, "cannot be written"), 0u) << said;
    EXPECT_TRUE(ReadWholeFile(pref) == mine);
  }
}

}  // namespace
}  // namespace E2e
