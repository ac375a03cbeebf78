// The program itself, headless, over a home with something in the way (a settings file it cannot
// use, a pipe where its lock goes), closed as a session end closes it once it has loaded: what it
// cannot read is left as it was, what is no settings file is kept aside without taking an earlier
// copy's place, and each is named in one line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/ChildProcess.h"
#include "e2e/PlayerUser.h"

namespace E2e {
namespace {

namespace fs = std::filesystem;

constexpr int kLimitMs = 20000 * Velk::Testing::kChildSlowdown;

class DamagedHome : public ::testing::Test {
 protected:
  DamagedHome() {
    fs::create_directories(settings.parent_path());
    fs::create_directories(home / "data");
    fs::create_directories(home / "run");
    fs::permissions(home / "run", fs::perms::owner_all);
  }

  // What the program wrote to standard error, from its start to its end (status 0) on SIGTERM after
  // its loading thread finished; run as the player when `asPlayer`, else as the test.
  std::string StartAndStop(bool asPlayer = false) {
    const std::map<std::string, std::string> env = {{"XDG_DATA_HOME", (home / "data").string()},
                                                    {"XDG_CONFIG_HOME", (home / "config").string()},
                                                    {"XDG_RUNTIME_DIR", (home / "run").string()},
                                                    {"VELK_BACKEND", "headless"},
                                                    {"SDL_VIDEODRIVER", "dummy"},
                                                    {"SDL_AUDIODRIVER", "dummy"}};
    const std::string pelune = (fs::path(PELUNE_RUNTIME_DIR) / "pelune").string();
    const std::unique_ptr<Velk::Testing::ChildProcess> child =
        asPlayer ? player.Start({player.Pelune()}, env, 2)
                 : std::make_unique<Velk::Testing::ChildProcess>(std::vector<std::string>{pelune}, env, 2);
    std::string errors;
    std::optional<std::string> line;
    while (errors.find("Resource Loading Time") == std::string::npos && (line = child->ReadLine(kLimitMs)))
      errors += *line + "\n";
    kill(child->Pid(), SIGTERM);
    const std::optional<int> status = child->WaitForEnd(kLimitMs);
    while ((line = child->ReadLine(kLimitMs))) errors += *line + "\n";
    EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << errors;
    return errors;
  }

  // The lines of `errors` about the settings.
  static size_t SettingsLines(const std::string& errors) {
    size_t count = 0;
    for (size_t at = 0; (at = errors.find("\nsettings ", at)) != std::string::npos; ++at) ++count;
    return count + errors.starts_with("settings ");
  }

  PlayerUser player;
  const fs::path home = player.Folder() / "home";
  const fs::path settings = home / "config" / "Drimak Games" / "Pelune Cafe" / "settings.ini";
};

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A player's settings that the player may not read (mode 000). The game plays on its defaults,
// names the file once with the reason, and writes nothing over it.
TEST_F(DamagedHome, ASettingsFileThatCannotBeReadIsLeftAsItIs) {
  if (!player.Unavailable().empty()) GTEST_SKIP() << player.Unavailable();
  const std::string mine = "\"MusicVolume\"=dword:00000021\n\"ScreenMode\"=dword:00000000\n";
  std::ofstream(settings, std::ios::binary) << mine;
  player.Give(home);
  fs::permissions(settings, fs::perms::none);
  const std::string errors = StartAndStop(true);
  EXPECT_EQ(SettingsLines(errors), 1u) << errors;
  const std::string line = "settings file " + settings.string() + " cannot be read (" + std::strerror(EACCES) +
                           "); it is left as it is, and the game runs on its defaults\n";
  EXPECT_NE(errors.find(line), std::string::npos) << errors;
  fs::permissions(settings, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(ReadBytes(settings), mine);
  EXPECT_EQ(std::distance(fs::directory_iterator(settings.parent_path()), fs::directory_iterator()), 1);
}

// Two starts over damage: a pipe in the settings file's place, kept aside as settings.ini.bad, then
// a file that is no settings file, kept beside it as settings.ini.bad.1; the first copy stays.
TEST_F(DamagedHome, ASecondSettingsFileSetAsideKeepsTheFirstCopy) {
  const std::string junk = "no line here reads\n", kept = settings.string() + ".bad";
  ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
  for (const std::string& copy : {kept, kept + ".1"}) {
    const std::string errors = StartAndStop();
    EXPECT_EQ(SettingsLines(errors), 1u) << errors;
    EXPECT_NE(errors.find("; kept aside as " + copy + "\n"), std::string::npos) << errors;
    std::ofstream(settings, std::ios::binary | std::ios::trunc) << junk;
  }
  EXPECT_TRUE(fs::is_fifo(kept));
  EXPECT_EQ(ReadBytes(kept + ".1"), junk);
}

// A pipe where the single-instance lock goes: nothing keeps a second copy from running, and the
// player is told so in one line.
TEST_F(DamagedHome, AnInstanceLockThatCannotBeMadeIsNamed) {
  const fs::path lock = home / "run" / ("Pelune%0020CafeMutex-" + std::to_string(getuid()) + ".lock");
  ASSERT_EQ(mkfifo(lock.c_str(), 0600), 0);
  const std::string errors = StartAndStop();
  EXPECT_NE(errors.find("the single-instance lock " + lock.string() +
                        " cannot be made (something that is not a "
                        "plain file is in its place); another copy of the program is not kept from running"),
            std::string::npos)
      << errors;
}

}  // namespace
}  // namespace E2e
