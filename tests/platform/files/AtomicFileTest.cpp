#include "platform/files/AtomicFile.h"

#include "../ScratchFolder.h"
#include "platform/files/RegularFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// A file the user made read-only, or private, stays so when it is replaced.
TEST(AtomicFile, AReplacedFileKeepsItsMode) {
  ScratchFolder dir;
  const std::string file = dir / "settings.ini";
  for (fs::perms mode : {fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                         fs::perms::owner_read | fs::perms::owner_write}) {
    dir.Write("settings.ini", "old");
    fs::permissions(file, mode);
    ASSERT_TRUE(Velk::WriteFileAtomically(file, "new"));
    EXPECT_EQ(fs::status(file).permissions(), mode);
    EXPECT_EQ(ReadWholeFile(file), "new");
  }
  // Read back with too small a limit: too large, not out of memory.
  std::string bytes;
  EXPECT_FALSE(Velk::ReadRegularFile(file, 2, bytes));
  EXPECT_EQ(errno, EFBIG);
}

}  // namespace
