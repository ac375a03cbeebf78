#include "e2e/PeluneOnScreen.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "app/ChildProcess.h"

namespace E2e {

namespace fs = std::filesystem;

namespace {

constexpr int kStopLimitMs = 10000;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The fields of a /proc stat line after the name, which may hold spaces and brackets itself: the
// first is the state (field 3 of the line).
std::vector<std::string> StatFields(const std::string& stat) {
  const size_t end = stat.rfind(')');
  std::vector<std::string> fields;
  if (end == std::string::npos) return fields;
  std::istringstream rest(stat.substr(end + 1));
  for (std::string field; rest >> field;) fields.push_back(field);
  return fields;
}

std::string TaskName(const std::string& stat) {
  const size_t open = stat.find('(');
  const size_t close = stat.rfind(')');
  return open == std::string::npos || close == std::string::npos ? "?" : stat.substr(open + 1, close - open - 1);
}

}  // namespace

PeluneOnScreen::PeluneOnScreen(const XvfbScreen& screen, const fs::path& home, bool windowed,
                               const std::map<std::string, std::string>& env, bool keepHome,
                               const fs::path& programFolder)
    : screen_(screen) {
  if (!keepHome) fs::remove_all(home);
  const fs::path config = home / "config";
  fs::create_directories(home / "data");
  fs::create_directories(home / "run");
  fs::permissions(home / "run", fs::perms::owner_all);
  if (windowed && !keepHome) {
    // The screen mode a player chose last time, where the game keeps its settings.
    fs::create_directories(config / "Drimak Games" / "Pelune Cafe");
    std::ofstream(config / "Drimak Games" / "Pelune Cafe" / "settings.ini") << "\"ScreenMode\"=dword:00000000\n";
  }
  std::map<std::string, std::string> all = env;
  all.insert({{"DISPLAY", screen.Name()},
              {"VELK_BACKEND", "sdl"},
              {"SDL_VIDEODRIVER", "x11"},
              {"SDL_AUDIODRIVER", "dummy"},
              {"XDG_CONFIG_HOME", config.string()},
              {"XDG_DATA_HOME", (home / "data").string()},
              {"XDG_RUNTIME_DIR", (home / "run").string()}});
  const std::string program =
      ((programFolder.empty() ? fs::path(PELUNE_RUNTIME_DIR) : programFolder) / "pelune").string();
  process_ = std::make_unique<Velk::Testing::ChildProcess>(std::vector<std::string>{program}, all, 2);
}

PeluneOnScreen::~PeluneOnScreen() { Stop(); }

pid_t PeluneOnScreen::Pid() const { return process_->Pid(); }

const std::string& PeluneOnScreen::Errors() {
  while (std::optional<std::string> line = process_->ReadLine(1)) errors_ += *line + "\n";
  return errors_;
}

int64_t PeluneOnScreen::CpuMs() const {
  // utime and stime, fields 14 and 15 of the line, in clock ticks.
  const std::vector<std::string> fields = StatFields(ReadText("/proc/" + std::to_string(Pid()) + "/stat"));
  if (fields.size() < 13 || fields[0] == "Z") return -1;
  const int64_t ticks = std::stoll(fields[11]) + std::stoll(fields[12]);
  return ticks * 1000 / sysconf(_SC_CLK_TCK);
}

std::string PeluneOnScreen::ThreadStates() const {
  std::string text;
  std::error_code ignored;
  const fs::path tasks = "/proc/" + std::to_string(Pid()) + "/task";
  for (const fs::directory_entry& task : fs::directory_iterator(tasks, ignored)) {
    const std::string stat = ReadText(task.path() / "stat");
    const std::vector<std::string> fields = StatFields(stat);
    text +=
        "  " + TaskName(stat) + " " + (fields.empty() ? "?" : fields[0]) + " " + ReadText(task.path() / "wchan") + "\n";
  }
  return text.empty() ? "  (ended)\n" : text;
}

std::optional<int> PeluneOnScreen::WaitForEnd(int limitMs) { return process_->WaitForEnd(limitMs); }

bool PeluneOnScreen::Stop() {
  if (process_->WaitForEnd(0)) return true;
  kill(Pid(), SIGTERM);
  // The error output is read meanwhile, so that a program with much to say is not held up by it.
  for (int waited = 0; waited < kStopLimitMs; waited += 50) {
    Errors();
    if (process_->WaitForEnd(50)) return true;
  }
  return false;
}

}  // namespace E2e
