#include "e2e/PeluneOnScreen.h"

#include <fstream>

#include "app/ChildProcess.h"

namespace E2e {

namespace fs = std::filesystem;

namespace {

constexpr int kStopLimitMs = 10000;

}  // namespace

PeluneOnScreen::PeluneOnScreen(const XvfbScreen& screen, const fs::path& home, bool windowed,
                               const std::map<std::string, std::string>& env, bool keepHome)
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
  const std::string program = std::string(PELUNE_RUNTIME_DIR) + "/pelune";
  process_ = std::make_unique<Velk::Testing::ChildProcess>(std::vector<std::string>{program}, all, 2);
}

PeluneOnScreen::~PeluneOnScreen() { Stop(); }

pid_t PeluneOnScreen::Pid() const { return process_->Pid(); }

const std::string& PeluneOnScreen::Errors() {
  while (std::optional<std::string> line = process_->ReadLine(1)) errors_ += *line + "\n";
  return errors_;
}

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
