// A pref.dat the player may not read (mode 000): the game says that the saved progress is there and
// cannot be read, names the file, and leaves it as it was, a profile made afterwards too. Root reads
// any file, so a root test runs the game as the user "nobody", over a home given to that user.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "e2e/GameRun.h"
#include "e2e/PrefFile.h"

namespace E2e {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
constexpr int kUnreachable = 77;

void GiveToNobody(const fs::path& folder) {
  if (geteuid() != 0) return;
  ASSERT_EQ(chown(folder.c_str(), kNobody, kNobody), 0) << folder;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    ASSERT_EQ(lchown(entry.path().c_str(), kNobody, kNobody), 0) << entry.path();
}

// 0 when the phase passed with one box, and that box ends with `boxEnd`; else its transcript goes
// to the standard error. kUnreachable when the user cannot start the program where it lies.
int RunAsPlayer(GameRun& run, const std::string& phase, const std::string& boxEnd) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(100);
    if (access((run.ProgramFolder() / "e2e_tests").c_str(), X_OK) != 0) _exit(kUnreachable);
    const PhaseResult result = run.Run(phase);
    std::vector<std::string> boxes;
    std::copy_if(result.steps.begin(), result.steps.end(), std::back_inserter(boxes),
                 [](const std::string& step) { return step.starts_with("box "); });
    const bool told = boxes.size() == 1 && boxes[0].ends_with(boxEnd);
    if (!result.Passed() || !told) std::fprintf(stderr, "%s", result.Transcript().c_str());
    _exit(result.Passed() && told ? 0 : 1);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(UnreadablePref, IsToldAsUnreadableAndLeftAsItWas) {
  GameRun run("UnreadablePref.IsToldAsUnreadableAndLeftAsItWas");
  ASSERT_TRUE(run.Run("two_profiles").Passed());
  const std::string before = PrefFile(run.PrefPath()).Bytes();
  for (const fs::path& folder : {run.DataHome().parent_path(), run.OutFolder()}) GiveToNobody(folder);
  fs::permissions(run.PrefPath(), fs::perms::none);
  // The phase makes one more profile, which must not be written over the file.
  const int status = RunAsPlayer(run, "cut_pref",
                                 "Your saved progress could not be read, so the game starts afresh and will not keep "
                                 "this game's progress. The file is left untouched at " +
                                     run.PrefPath().string());
  if (status == kUnreachable) GTEST_SKIP() << "the user nobody cannot run the program from the build folder";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(fs::status(run.PrefPath()).permissions(), fs::perms::none);
  fs::permissions(run.PrefPath(), fs::perms::owner_read);  // for this test to read it when not root
  EXPECT_TRUE(PrefFile(run.PrefPath()).Bytes() == before) << "pref.dat changed";
  EXPECT_FALSE(fs::exists(run.PrefPath().string() + ".bad"));
}

}  // namespace
}  // namespace E2e
