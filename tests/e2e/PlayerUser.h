#pragma once
// The user the cases about a player's unreadable files run the program as. An ordinary user is
// that player: a file of mode 000 is kept from its owner too. Root reads every file and searches
// every folder, so for root the player is the user "nobody", over whose files root still acts
// while the program runs (chmod, read, signal). The player may not reach the build folder (a clone
// in root's home, of mode 700), so what the player runs lies in Folder(): a folder of the test's
// own under the temporary folder (or /tmp, when the player cannot reach that one), every parent
// searchable, removed with everything in it at the end.
//
//   PlayerUser player;
//   if (!player.Unavailable().empty()) GTEST_SKIP() << player.Unavailable();
//   GameRun run(name, player.Folder());             // a playthrough the player reaches,
//   player.Give(run.DataHome().parent_path());      // its home the player's,
//   PhaseResult result = player.Play(run, "phase"); // a phase played as the player;
//   std::string said = player.StartAndStop(home, As::Player, [&] { chmod... });
//   // or the program itself over a home, started, loaded and closed by SIGTERM

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ChildProcess.h"
#include "e2e/GameRun.h"
#include "platform/ScratchFolder.h"

namespace E2e {

// Whom StartAndStop runs the program as: the test's user, the player over a home made the player's,
// or the player over a home left as it is (one a group shares with the test's user).
enum class As { Test, Player, GroupMember };

class PlayerUser {
 public:
  // Throws when the player can reach neither the temporary folder nor /tmp.
  PlayerUser();
  ~PlayerUser();
  PlayerUser(const PlayerUser&) = delete;
  PlayerUser& operator=(const PlayerUser&) = delete;

  // Why this machine cannot run the program as another user, for a skip; empty when it can.
  const std::string& Unavailable() const { return unavailable_; }
  std::filesystem::path Folder() const { return scratch_.Path(); }
  // The built program, copied with its archives into Folder() (once).
  std::filesystem::path Pelune() const;
  // `path` and everything in it made the player's (an ordinary user's own already).
  void Give(const std::filesystem::path& path) const;
  // `argv` started as the player, as ChildProcess starts it.
  std::unique_ptr<Velk::Testing::ChildProcess> Start(const std::vector<std::string>& argv,
                                                     const std::map<std::string, std::string>& env,
                                                     int fdOut = 1) const;
  PhaseResult Play(GameRun& run, const std::string& phase, PhaseOptions options = {}) const;
  // What the program wrote to standard error over `home` (its data/, config/ and run/ folders, made
  // here and given to the player when it runs as the player), headless, from its start to its end on
  // SIGTERM once it has loaded; an end other than status 0 fails the test. `meanwhile` is done just
  // before the signal; `prefix` is what the program is started through (prlimit, unshare).
  std::string StartAndStop(const std::filesystem::path& home, As as = As::Test,
                           const std::function<void()>& meanwhile = {},
                           const std::vector<std::string>& prefix = {}) const;
  // The program started over `home` as StartAndStop starts it; `runtime` is its runtime folder
  // (home/run when empty), where a copy finds the copies of its own session.
  std::unique_ptr<Velk::Testing::ChildProcess> Launch(const std::filesystem::path& home, As as = As::Test,
                                                      const std::vector<std::string>& prefix = {},
                                                      const std::filesystem::path& runtime = {}) const;
  // What `game` said until it had loaded, or until it ended when it ends first.
  static std::string UntilLoaded(Velk::Testing::ChildProcess& game);
  // What `game` said from now until its end, which must be status 0 within the time limit.
  static std::string UntilEnd(Velk::Testing::ChildProcess& game);

 private:
  std::optional<Velk::Testing::UserId> user_;
  ScratchFolder scratch_;  // made after user_: its place is chosen for the player
  std::string unavailable_;
};

}  // namespace E2e
