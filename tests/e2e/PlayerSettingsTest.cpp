// The program itself over a player's settings it must neither take nor spoil, closed as a session
// end closes it once it has loaded: a file it could not read at the start stays as it is for the
// whole run, though it becomes readable meanwhile; a read-only file it writes stays read-only.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "app/ChildProcess.h"
#include "e2e/GameRun.h"
#include "e2e/PlayerUser.h"

namespace E2e {
namespace {

namespace fs = std::filesystem;

constexpr int kLimitMs = 20000 * Velk::Testing::kChildSlowdown;
constexpr fs::perms kPrivate = fs::perms::owner_read | fs::perms::owner_write;
constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

class PlayerSettings : public ::testing::Test {
 protected:
  PlayerSettings() {
    fs::create_directories(settings.parent_path());
    std::ofstream(settings, std::ios::binary) << mine;
    player.Give(home);
  }

  // The program's standard error as it ran as the player: `meanwhile` is done once it has loaded,
  // then SIGTERM ends it (status 0).
  std::string Play(const std::function<void()>& meanwhile) {
    auto game = player.Start({player.Pelune()},
                             {{"XDG_DATA_HOME", run.DataHome().string()},
                              {"XDG_CONFIG_HOME", run.ConfigHome().string()},
                              {"XDG_RUNTIME_DIR", (home / "run").string()},
                              {"VELK_BACKEND", "headless"},
                              {"SDL_VIDEODRIVER", "dummy"},
                              {"SDL_AUDIODRIVER", "dummy"}},
                             2);
    std::string errors;
    for (std::optional<std::string> line;
         errors.find("Resource Loading Time") == std::string::npos && (line = game->ReadLine(kLimitMs));)
      errors += *line + "\n";
    meanwhile();
    kill(game->Pid(), SIGTERM);
    const std::optional<int> status = game->WaitForEnd(kLimitMs);
    for (std::optional<std::string> line; (line = game->ReadLine(kLimitMs));) errors += *line + "\n";
    EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << errors;
    return errors;
  }

  std::string Settings() const {
    std::ifstream in(settings, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  PlayerUser player;
  GameRun run{::testing::UnitTest::GetInstance()->current_test_info()->name(), player.Folder()};
  const fs::path home = run.DataHome().parent_path();
  const fs::path settings = run.ConfigHome() / "Drimak Games" / "Pelune Cafe" / "settings.ini";
  const std::string mine =
      "\"MusicVolume\"=dword:00000021\n\"SfxVolume\"=dword:00000013\n\"ScreenMode\"=dword:00000000\n";
};

// Mode 000 at the start, 0600 while the game runs: its exit writes nothing over the player's values,
// and the file is named once.
TEST_F(PlayerSettings, AFileUnreadableAtTheStartIsLeftForTheRun) {
  if (!player.Unavailable().empty()) GTEST_SKIP() << player.Unavailable();
  fs::permissions(settings, fs::perms::none);
  const std::string errors = Play([&] { fs::permissions(settings, kPrivate); });
  const std::string line = "settings file " + settings.string() + " cannot be read (" + std::strerror(EACCES) +
                           "); it is left as it is, and the game runs on its defaults\n";
  EXPECT_NE(errors.find(line), std::string::npos) << errors;
  EXPECT_EQ(errors.find("settings", errors.find(line) + line.size()), std::string::npos) << errors;
  EXPECT_EQ(Settings(), mine);
  EXPECT_EQ(fs::status(settings).permissions(), kPrivate);
  EXPECT_EQ(std::distance(fs::directory_iterator(settings.parent_path()), fs::directory_iterator()), 1);
}

// The game writes its settings whole at the exit; a file the player made read-only stays so.
TEST_F(PlayerSettings, AReadOnlyFileKeepsItsMode) {
  if (!player.Unavailable().empty()) GTEST_SKIP() << player.Unavailable();
  fs::permissions(settings, kReadOnly);
  const fs::file_time_type before = fs::last_write_time(settings) - std::chrono::seconds(10);
  fs::last_write_time(settings, before);
  Play([] {});
  EXPECT_NE(fs::last_write_time(settings), before) << "written";
  EXPECT_EQ(fs::status(settings).permissions(), kReadOnly);
  EXPECT_NE(Settings().find("\"SfxVolume\"=dword:00000013\n"), std::string::npos) << Settings();
}

}  // namespace
}  // namespace E2e
