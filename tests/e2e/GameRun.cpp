#include "e2e/GameRun.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/ChildProcess.h"
#include "e2e/PlayerModes.h"

namespace E2e {

namespace fs = std::filesystem;

namespace {

// A hard link where the file system allows one (the test program is large) and the build's file
// already has `modes`; otherwise a copy given them, so that a phase run as the player reaches it.
void LinkOrCopy(const fs::path& from, const fs::path& to, fs::perms modes) {
  const bool open = (fs::status(from).permissions() & modes) == modes;
  std::error_code error;
  if (open) fs::create_hard_link(from, to, error);
  if (open && !error) return;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  fs::permissions(to, modes);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

bool PhaseResult::HasStep(const std::string& step) const {
  for (const std::string& s : steps) {
    if (s == step) return true;
  }
  return false;
}

std::vector<std::string> PhaseResult::Boxes() const {
  std::vector<std::string> boxes;
  for (const std::string& step : steps)
    if (step.starts_with("box ")) boxes.push_back(step);
  return boxes;
}

std::string PhaseResult::Transcript() const {
  std::string text;
  for (const std::string& s : steps) text += "  step " + s + "\n";
  if (!failure.empty()) text += "  FAIL " + failure + "\n";
  if (timedOut) text += "  (stopped: no end within the limit)\n";
  if (signal != 0) text += "  (ended by signal " + std::to_string(signal) + ")\n";
  if (exitCode) text += "  (exit status " + std::to_string(*exitCode) + ")\n";
  return text;
}

GameRun::GameRun(const std::string& testName, const fs::path& parent) : root_(parent / testName) {
  fs::remove_all(root_);
  for (const fs::path& folder : {ProgramFolder(), OutFolder(), DataHome(), ConfigHome(), root_ / "home" / "run"}) {
    fs::create_directories(folder);
  }
  fs::permissions(root_ / "home" / "run", fs::perms::owner_all);
  for (const fs::path& folder : {root_, ProgramFolder()}) fs::permissions(folder, kSearchable);
  LinkOrCopy(fs::read_symlink("/proc/self/exe"), ProgramFolder() / "e2e_tests", kRunnable);
  for (const char* archive : {"loc.pak", "data.pak"})
    LinkOrCopy(fs::path(PELUNE_RUNTIME_DIR) / archive, ProgramFolder() / archive, kReadable);
}

std::unique_ptr<Velk::Testing::ChildProcess> GameRun::Start(const std::string& phase,
                                                            const PhaseOptions& options) const {
  std::vector<std::string> argv = {(ProgramFolder() / "e2e_tests").string(), "--phase", phase, "--out",
                                   OutFolder().string()};
  const bool window = !options.display.empty();
  // Goldens are the headless frames; a real window is only compared with them.
  if (std::getenv("E2E_UPDATE_GOLDENS") != nullptr && !window) argv.push_back("--update-goldens");
  std::map<std::string, std::string> env = options.env;
  if (window) env["DISPLAY"] = options.display;
  env.insert({
      {"XDG_DATA_HOME", DataHome().string()},
      {"XDG_CONFIG_HOME", ConfigHome().string()},
      {"XDG_RUNTIME_DIR", (root_ / "home" / "run").string()},
      {"VELK_BACKEND", window ? "sdl" : "headless"},
      {"SDL_VIDEODRIVER", window ? "x11" : "dummy"},
      {"SDL_AUDIODRIVER", "dummy"},
  });
  return std::make_unique<Velk::Testing::ChildProcess>(argv, env, 1, "", options.errorsFile.string(), options.user);
}

PhaseResult GameRun::Run(const std::string& phase, const PhaseOptions& options) {
  const std::unique_ptr<Velk::Testing::ChildProcess> process = Start(phase, options);
  Velk::Testing::ChildProcess& child = *process;
  PhaseResult result;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.limitMs);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
    std::optional<std::string> line = child.ReadLine(static_cast<int>(std::max<int64_t>(left, 0)));
    if (!line) break;
    if (line->rfind("step ", 0) == 0) {
      result.steps.push_back(line->substr(5));
      if (!options.killAfterStep.empty() && result.steps.back() == options.killAfterStep) {
        kill(child.Pid(), SIGKILL);
        break;
      }
    } else if (line->rfind("FAIL ", 0) == 0) {
      result.failure = line->substr(5);
    }
  }
  std::optional<int> status = child.WaitForEnd(5000);
  if (!status) {
    result.timedOut = true;
    return result;  // the child's destructor kills it
  }
  if (WIFEXITED(*status)) result.exitCode = WEXITSTATUS(*status);
  if (WIFSIGNALED(*status)) result.signal = WTERMSIG(*status);
  return result;
}

std::map<std::string, std::string> GameRun::HomeFiles() const {
  std::map<std::string, std::string> files;
  for (const fs::path& home : {DataHome(), ConfigHome()}) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(home)) {
      if (entry.is_regular_file()) files[fs::relative(entry.path(), root_).string()] = ReadFile(entry.path());
    }
  }
  return files;
}

}  // namespace E2e
