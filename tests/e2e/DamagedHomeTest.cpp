// The program itself, headless, over a home with something in the way (a settings file it cannot
// use or may not write, a pipe, a folder or a link where a lock goes, a file system that refuses
// mode changes), closed as a session end closes it once it has loaded: what it cannot read or may
// not write is left as it was for the whole run, what is no settings file is kept aside without
// taking an earlier copy's place, and each is named in one line; what refuses only a courtesy still
// takes the saves.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "e2e/PlayerUser.h"

namespace E2e {
namespace {

namespace fs = std::filesystem;

constexpr fs::perms kPrivate = fs::perms::owner_read | fs::perms::owner_write;
constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

class DamagedHome : public ::testing::Test {
 protected:
  DamagedHome() { fs::create_directories(settings.parent_path()); }

  // The lines of `errors` about the settings.
  static size_t SettingsLines(const std::string& errors) {
    size_t count = 0;
    for (size_t at = 0; (at = errors.find("\nsettings ", at)) != std::string::npos; ++at) ++count;
    return count + errors.starts_with("settings ");
  }

  PlayerUser player;
  const fs::path home = player.Folder() / "home";
  const fs::path settings = home / "config" / "Drimak Games" / "Pelune Cafe" / "settings.ini";
  const std::string mine =
      "\"MusicVolume\"=dword:00000021\n\"SfxVolume\"=dword:00000013\n\"ScreenMode\"=dword:00000000\n";
};

// A player's settings that the player may not read (mode 000) at the start, and may once the game
// runs (0600). The game plays on its defaults, names the file once with the reason, and writes
// nothing over it, at its exit either.
TEST_F(DamagedHome, ASettingsFileThatCannotBeReadIsLeftAsItIs) {
  if (!player.Unavailable().empty()) GTEST_SKIP() << player.Unavailable();
  std::ofstream(settings, std::ios::binary) << mine;
  fs::permissions(settings, fs::perms::none);
  const std::string errors = player.StartAndStop(home, As::Player, [&] { fs::permissions(settings, kPrivate); });
  EXPECT_EQ(SettingsLines(errors), 1u) << errors;
  const std::string line = "settings file " + settings.string() + " cannot be read (" + std::strerror(EACCES) +
                           "); it is left as it is, and the game runs on its defaults\n";
  EXPECT_NE(errors.find(line), std::string::npos) << errors;
  EXPECT_EQ(ReadWholeFile(settings), mine);
  EXPECT_EQ(fs::status(settings).permissions(), kPrivate);
  for (const fs::directory_entry& entry : fs::directory_iterator(settings.parent_path()))
    EXPECT_TRUE(entry.path() == settings || entry.path().filename() == "running.lock") << entry.path();
}

// A settings file the player made read-only, to keep its values: they are used, the file keeps its
// bytes, inode and mode through the start and the exit, and one line says that this run's settings
// are not kept.
TEST_F(DamagedHome, AReadOnlySettingsFileIsUsedAndLeftAsItIs) {
  if (!player.Unavailable().empty()) GTEST_SKIP() << player.Unavailable();
  std::ofstream(settings, std::ios::binary) << mine;
  fs::permissions(settings, kReadOnly);
  fs::create_hard_link(settings, home / "settings.before");
  const std::string errors = player.StartAndStop(home, As::Player);
  EXPECT_EQ(SettingsLines(errors), 1u) << errors;
  EXPECT_NE(errors.find("settings file " + settings.string() +
                        " is read-only; its values are used, and the settings of this run are not kept\n"),
            std::string::npos)
      << errors;
  EXPECT_TRUE(fs::equivalent(settings, home / "settings.before")) << "replaced";
  EXPECT_EQ(ReadWholeFile(settings), mine);
  EXPECT_EQ(fs::status(settings).permissions(), kReadOnly);
}

// A file system that refuses every change of mode (a FUSE mount that denies chmod, FAT-family and
// some network mounts): a second start still saves the progress and the settings, each file no
// more open than the player left it, and tells of no failure.
TEST_F(DamagedHome, AFileSystemThatRefusesModeChangesStillTakesTheSaves) {
  const fs::path pref = home / "data/Drimak Games/Pelune/pref.dat";
  player.StartAndStop(home);
  std::ofstream(settings, std::ios::binary | std::ios::app) << "\"InProgress\"=dword:00000001\n";
  for (const fs::path& file : {pref, settings}) {
    fs::permissions(file, kPrivate);
    fs::create_hard_link(file, home / (file.filename().string() + ".before"));
  }
  const char* sanitizer = std::getenv("ASAN_OPTIONS");
  // The sanitizer's runtime would refuse to come after a preloaded library.
  const std::string options = (sanitizer != nullptr ? std::string(sanitizer) + ":" : "") + "verify_asan_link_order=0";
  const std::string errors = player.StartAndStop(
      home, As::Test, {}, {"/usr/bin/env", "LD_PRELOAD=" REFUSE_MODE_CHANGES, "ASAN_OPTIONS=" + options});
  EXPECT_EQ(errors.find("could not save"), std::string::npos) << errors;
  EXPECT_EQ(SettingsLines(errors), 0u) << errors;
  for (const fs::path& file : {pref, settings}) {
    EXPECT_FALSE(fs::equivalent(file, home / (file.filename().string() + ".before"))) << file << " not written";
    EXPECT_EQ(fs::status(file).permissions(), kPrivate) << file;
  }
  EXPECT_NE(ReadWholeFile(settings).find("\"InProgress\"=dword:00000000\n"), std::string::npos);
}

// Two starts over damage: a pipe in the settings file's place, kept aside as settings.ini.bad, then
// a file that is no settings file, kept beside it as settings.ini.bad.1; the first copy stays.
TEST_F(DamagedHome, ASecondSettingsFileSetAsideKeepsTheFirstCopy) {
  const std::string junk = "no line here reads\n", kept = settings.string() + ".bad";
  ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
  for (const std::string& copy : {kept, kept + ".1"}) {
    const std::string errors = player.StartAndStop(home);
    EXPECT_EQ(SettingsLines(errors), 1u) << errors;
    EXPECT_NE(errors.find("; kept aside as " + copy + "\n"), std::string::npos) << errors;
    std::ofstream(settings, std::ios::binary | std::ios::trunc) << junk;
  }
  EXPECT_TRUE(fs::is_fifo(kept));
  EXPECT_EQ(ReadWholeFile(kept + ".1"), junk);
}

// A pipe where the single-instance lock goes, one where the lock of the player's data folder goes, a
// symbolic link where the settings folder's lock goes and a folder where pref.dat's own lock goes:
// nothing keeps a second copy from running, or from using the player's files, and the player is
// told each in one line; the game plays on. So it does where the data folder is set to a file's
// name, which is named as what is in the way.
TEST_F(DamagedHome, LocksThatCannotBeMadeAreNamed) {
  const fs::path lock = home / "run" / ("Pelune%0020CafeMutex-" + std::to_string(getuid()) + ".lock");
  const fs::path folder = home / "data" / "Drimak Games" / "Pelune";
  for (const fs::path& pipe : {lock, folder / "running.lock"}) {
    fs::create_directories(pipe.parent_path());
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  }
  fs::create_directories(folder / "pref.dat.lock");
  fs::create_symlink(home / "elsewhere", settings.parent_path() / "running.lock");
  const std::string errors = player.StartAndStop(home);
  const std::string notPlain = " cannot be made (something that is not a plain file is in its place); ";
  const std::string unguarded = " at the same time\n";
  for (const std::string& line :
       {"the single-instance lock " + lock.string() + notPlain + "another copy of the program is not kept from running",
        "the lock " + (folder / "running.lock").string() + notPlain +
            "another copy of the program is not kept from using " + folder.string() + unguarded,
        "the lock " + (settings.parent_path() / "running.lock").string() +
            " cannot be made (a symbolic link is in its place); another copy of the program is not kept from using " +
            settings.parent_path().string() + unguarded,
        "the lock " + (folder / "pref.dat.lock").string() + notPlain + "another program is not kept from using " +
            (folder / "pref.dat").string() + unguarded}) {
    EXPECT_EQ(errors.find(line), errors.rfind(line)) << errors;
    EXPECT_NE(errors.find(line), std::string::npos) << errors;
  }
  EXPECT_EQ(fs::file_size(folder / "pref.dat"), 5240u);
  EXPECT_FALSE(fs::exists(home / "elsewhere"));
  // A data folder set to a file's name: no lock, no folder can be made there, and the file is named.
  const fs::path file = home / "a file";
  std::ofstream(file) << mine;
  const std::string said = player.StartAndStop(home, As::Test, {}, {"/usr/bin/env", "XDG_DATA_HOME=" + file.string()});
  const std::string line = "pref.dat: could not make the folder " + (file / "Drimak Games").string() + " (the file " +
                           file.string() + " is in the way); nothing will be saved\n";
  EXPECT_EQ(said.find(line), said.rfind(line)) << said;
  EXPECT_NE(said.find(line), std::string::npos) << said;
  EXPECT_EQ(ReadWholeFile(file), mine);
}

}  // namespace
}  // namespace E2e
