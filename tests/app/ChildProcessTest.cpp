// The tests' own child processes: one that cannot be made fails the test that wanted it instead of
// standing as pid -1, which kill() takes for every process.
#include "app/ChildProcess.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <stdexcept>

namespace Velk::Testing {
namespace {

TEST(ChildProcess, OneThatCannotBeMadeThrows) {
  rlimit files{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &files), 0);
  rlimit none = files;
  none.rlim_cur = 0;  // no descriptor for the pipe
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
  bool thrown = false;
  try {
    ChildProcess child({"/bin/true"}, {});
  } catch (const std::runtime_error&) {
    thrown = true;
  }
  setrlimit(RLIMIT_NOFILE, &files);
  EXPECT_TRUE(thrown);
}

}  // namespace
}  // namespace Velk::Testing
