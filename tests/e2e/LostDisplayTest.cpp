// The X server ends under the game while it draws (the player logs out with it open): the program
// itself full screen and in a window as soon as it draws, and the playthrough's real window at the
// first start's name dialog and in day 1. The game ends by itself within a few seconds, not by a
// signal (status 1), with its settings written and the mark of a clean end.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "e2e/FindProgram.h"
#include "e2e/GameRun.h"
#include "e2e/PeluneOnScreen.h"
#include "e2e/Polling.h"
#include "e2e/XvfbScreen.h"

namespace E2e {
namespace {

namespace fs = std::filesystem;

// Well inside the case's own limit (150 s): day 1 runs after about 15 s on an idle machine.
constexpr int kShowLimitMs = 60000 * kPhaseSlowdown;
constexpr int kStepLimitMs = 90000 * kPhaseSlowdown;
// Far above what the program takes, for a loaded machine; its own last resort is 2 s.
constexpr int kEndLimitMs = 10000 * kPhaseSlowdown;

struct LostDisplayCase {
  const char* name;
  bool windowed;
  // The playthrough's step after which the server ends; none for the program as it starts.
  const char* step;
};

const LostDisplayCase kCases[] = {{"FullScreen", false, nullptr},
                                  {"Window", true, nullptr},
                                  {"NameDialog", false, "checkpoint name_dialog"},
                                  {"Day", false, "ok day 1 running"}};

// CTest lists the case by its name rather than its bytes.
void PrintTo(const LostDisplayCase& c, std::ostream* os) { *os << c.name; }

// Something other than black shows in the window: the program presents its frames there.
bool Draws(const XvfbScreen& screen, const PeluneOnScreen& game) {
  const std::optional<ScreenRect> window = game.Window();
  if (!window) return false;
  const Frame picture = screen.Grab(*window);
  for (uint32_t pixel : picture.pixels) {
    if ((pixel & 0xFFFFFF) != 0) return true;
  }
  return false;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class LostDisplayTest : public testing::TestWithParam<LostDisplayCase> {
 protected:
  // Ended within the limit by itself with status 1, its settings of the run written.
  template <class Program>
  void ExpectTheEnd(Program& program, const fs::path& configHome) {
    const std::optional<int> status = program.WaitForEnd(kEndLimitMs);
    ASSERT_TRUE(status) << "still running " << kEndLimitMs << " ms after the display went";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1) << "status " << *status;
    const std::string settings = ReadText(configHome / "Drimak Games" / "Pelune Cafe" / "settings.ini");
    EXPECT_NE(settings.find("\"InProgress\"=dword:00000000"), std::string::npos) << settings;
    const char* mode = GetParam().windowed ? "\"ScreenMode\"=dword:00000000" : "\"ScreenMode\"=dword:00000001";
    EXPECT_NE(settings.find(mode), std::string::npos) << settings;
  }
};

TEST_P(LostDisplayTest, TheGameEndsPromptlyWithItsSettingsWritten) {
  const LostDisplayCase& c = GetParam();
  if (!FindProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  // A window as large as the screen would be made full screen.
  XvfbScreen screen(c.windowed ? 1024 : 800, c.windowed ? 768 : 600);
  ASSERT_EQ(screen.Failure(), "");
  if (!c.step) {
    const fs::path home = fs::path(E2E_OUTPUT_DIR) / "LostDisplay" / c.name;
    PeluneOnScreen game(screen, home, c.windowed);
    ASSERT_TRUE(WaitUntil([&] { return Draws(screen, game); }, kShowLimitMs)) << game.Errors();
    screen.End();
    ExpectTheEnd(game, home / "config");
    return;
  }
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the playthrough in a real window is minutes away under the thread sanitizer";
#endif
  GameRun run(std::string("LostDisplay/") + c.name);
  PhaseOptions options;
  options.display = screen.Name();
  options.errorsFile = run.OutFolder() / "errors.txt";
  const std::unique_ptr<Velk::Testing::ChildProcess> game = run.Start("first_note", options);
  ASSERT_TRUE(game->WaitForLine(std::string("step ") + c.step, kStepLimitMs)) << ReadText(options.errorsFile);
  screen.End();
  ExpectTheEnd(*game, run.ConfigHome());
}

INSTANTIATE_TEST_SUITE_P(Moments, LostDisplayTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<LostDisplayCase>& info) { return info.param.name; });

}  // namespace
}  // namespace E2e
