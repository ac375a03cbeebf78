// The tests' own child processes: one that cannot be made fails the test that wanted it instead of
// standing as pid -1, which kill() takes for every process; one whose program cannot run says so,
// with the error's number, and ends with status 127.
#include "app/ChildProcess.h"
#include "platform/ScratchFolder.h"

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

TEST(ChildProcess, AProgramThatCannotRunIsNamedWithTheErrorsNumber) {
  ScratchFolder scratch;
  scratch.Write("plain", "no program");  // no execute bit: EACCES, for root too
  const std::string plain = scratch / "plain";
  const std::string errors = scratch / "errors.txt";
  ChildProcess child({plain}, {}, 1, "", errors);
  const std::optional<int> status = child.WaitForEnd(10000 * kChildSlowdown);
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 127) << *status;
  EXPECT_EQ(ReadWholeFile(errors), "cannot run " + plain + ": errno " + std::to_string(EACCES) + "\n");
}

}  // namespace
}  // namespace Velk::Testing
