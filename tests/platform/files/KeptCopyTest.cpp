#include "platform/files/KeptCopy.h"

#include "../ScratchFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// Whatever stands at a name, a folder too, is stepped over: the copy is never made into it.
TEST(KeptCopy, TheFirstFreeNameAndAMoveThatNeverReplaces) {
  ScratchFolder dir;
  const std::string file = dir / "pref.dat";
  fs::create_directories(file + ".bad/inside");
  ASSERT_EQ(mkfifo((file + ".bad.1").c_str(), 0600), 0);
  fs::create_symlink("nowhere", file + ".bad.2");
  EXPECT_EQ(Velk::KeptCopyName(file), file + ".bad.3");

  // Without the no-replace rename a link and an unlink do the move, and it still replaces nothing;
  // other refusals (a read-only filesystem) are told as they are.
  for (int refusal : {EINVAL, ENOSYS, EROFS}) {
    dir.Write("pref.dat", "mine");
    Velk::RefuseNoReplaceRename(refusal);
    EXPECT_FALSE(Velk::MoveToKeptCopy(file, file + ".bad.2"));
    EXPECT_EQ(errno, refusal == EROFS ? EROFS : EEXIST);
    const bool moved = Velk::MoveToKeptCopy(file, file + ".bad.3");
    Velk::RefuseNoReplaceRename(0);
    EXPECT_EQ(moved, refusal != EROFS) << refusal;
    EXPECT_EQ(ReadWholeFile(file + ".bad.3"), moved ? "mine" : "") << refusal;
    EXPECT_EQ(fs::exists(file), !moved) << refusal;
    fs::remove(file + ".bad.3");
  }
  EXPECT_TRUE(fs::is_symlink(file + ".bad.2"));
}

}  // namespace
