// The playthrough's test program. Run plainly it is a GoogleTest program whose tests start copies of
// itself, one per phase of play: "e2e_tests --phase NAME --out FOLDER" plays that phase.
// With E2E_CRASH_CATCHER set, a phase catches fatal signals as the program does.
// "e2e_tests --update-goldens" runs the tests and rewrites tests/e2e/golden/ from the frames seen,
// for when the art changes on purpose; the diff of the text files shows what changed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/CrashCatcher.h"
#include "e2e/Phases.h"

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--phase") == 0) {
    if (std::getenv("E2E_CRASH_CATCHER") != nullptr) Velk::CrashCatcher::Install();
    E2e::PlaythroughOptions options;
    options.goldenFolder = E2E_GOLDEN_DIR;
    // The memory road draws the same screens a little differently: it has goldens of its own.
    const char* software = std::getenv("VELK_FORCE_SOFTWARE");
    if (software != nullptr && std::strcmp(software, "1") == 0) options.goldenFolder += "/memory_road";
    for (int i = 3; i < argc; ++i) {
      if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) options.outFolder = argv[++i];
      if (std::strcmp(argv[i], "--update-goldens") == 0) options.updateGoldens = true;
    }
    return E2e::RunPhase(argv[2], options);
  }
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--update-goldens") == 0) setenv("E2E_UPDATE_GOLDENS", "1", 1);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
