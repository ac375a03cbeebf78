#include "e2e/PlayerUser.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "e2e/PlayerModes.h"

namespace E2e {

namespace fs = std::filesystem;

namespace {

constexpr int kLimitMs = 20000 * Velk::Testing::kChildSlowdown;

}  // namespace

PlayerUser::PlayerUser()
    : user_(geteuid() == 0 ? Velk::Testing::UserNamed("nobody") : std::nullopt),
      scratch_(Velk::Testing::TemporaryFolderFor(user_)) {
  if (scratch_.Path().empty()) throw std::runtime_error("no scratch folder for the player");
  if (geteuid() != 0) return;
  if (!user_) {
    unavailable_ = "root reads every file, and there is no user nobody to run the program as";
    return;
  }
  fs::permissions(Folder(), kSearchable);
  const Velk::Testing::Reach reach = Velk::Testing::Reaches(*user_, Folder());
  if (reach == Velk::Testing::Reach::No) throw std::runtime_error("the user nobody cannot reach " + Folder().string());
  if (reach == Velk::Testing::Reach::CannotSwitch) unavailable_ = "root may not become the user nobody here";
}

// A folder the test made unsearchable is opened again first, so that it can be removed.
PlayerUser::~PlayerUser() {
  std::error_code ignored;
  for (auto entry = fs::recursive_directory_iterator(Folder(), ignored); entry != fs::end(entry);
       entry.increment(ignored)) {
    if (entry->is_directory(ignored) && !entry->is_symlink(ignored))
      fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
}

fs::path PlayerUser::Pelune() const {
  const fs::path folder = Folder() / "program";
  if (fs::create_directory(folder)) {
    fs::permissions(folder, kSearchable);
    for (const char* file : {"pelune", "loc.pak", "data.pak"}) {
      fs::copy_file(fs::path(PELUNE_RUNTIME_DIR) / file, folder / file);
      fs::permissions(folder / file, file == std::string("pelune") ? kRunnable : kReadable);
    }
  }
  return folder / "pelune";
}

void PlayerUser::Give(const fs::path& path) const {
  if (!user_) return;
  const auto give = [this](const fs::path& one) {
    if (lchown(one.c_str(), user_->uid, user_->gid) != 0) throw std::runtime_error("cannot give " + one.string());
  };
  give(path);
  if (fs::is_directory(path))
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path)) give(entry.path());
}

std::unique_ptr<Velk::Testing::ChildProcess> PlayerUser::Start(const std::vector<std::string>& argv,
                                                               const std::map<std::string, std::string>& env,
                                                               int fdOut) const {
  return std::make_unique<Velk::Testing::ChildProcess>(argv, env, fdOut, "", "", user_);
}

PhaseResult PlayerUser::Play(GameRun& run, const std::string& phase, PhaseOptions options) const {
  options.user = user_;
  return run.Run(phase, options);
}

std::unique_ptr<Velk::Testing::ChildProcess> PlayerUser::Launch(const fs::path& home, As as,
                                                                const std::vector<std::string>& prefix,
                                                                const fs::path& runtime) const {
  for (const char* folder : {"data", "config", "run"}) fs::create_directories(home / folder);
  fs::permissions(home / "run", fs::perms::owner_all);
  if (as == As::Player) Give(home);
  std::vector<std::string> argv = prefix;
  argv.push_back(as == As::Test ? (fs::path(PELUNE_RUNTIME_DIR) / "pelune").string() : Pelune().string());
  const std::map<std::string, std::string> env = {
      {"XDG_DATA_HOME", (home / "data").string()},
      {"XDG_CONFIG_HOME", (home / "config").string()},
      {"XDG_RUNTIME_DIR", (runtime.empty() ? home / "run" : runtime).string()},
      {"VELK_BACKEND", "headless"},
      {"SDL_VIDEODRIVER", "dummy"},
      {"SDL_AUDIODRIVER", "dummy"}};
  return as == As::Test ? std::make_unique<Velk::Testing::ChildProcess>(argv, env, 2) : Start(argv, env, 2);
}

std::string PlayerUser::UntilLoaded(Velk::Testing::ChildProcess& game) {
  std::string said;
  std::optional<std::string> line;
  while (said.find("Resource Loading Time") == std::string::npos && (line = game.ReadLine(kLimitMs)))
    said += *line + "\n";
  return said;
}

std::string PlayerUser::UntilEnd(Velk::Testing::ChildProcess& game) {
  const std::optional<int> status = game.WaitForEnd(kLimitMs);
  std::string said;
  std::optional<std::string> line;
  while ((line = game.ReadLine(kLimitMs))) said += *line + "\n";
  EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << said;
  return said;
}

std::string PlayerUser::StartAndStop(const fs::path& home, As as, const std::function<void()>& meanwhile,
                                     const std::vector<std::string>& prefix) const {
  const std::unique_ptr<Velk::Testing::ChildProcess> game = Launch(home, as, prefix);
  std::string said = UntilLoaded(*game);
  if (meanwhile) meanwhile();
  kill(game->Pid(), SIGTERM);
  return said + UntilEnd(*game);
}

}  // namespace E2e
