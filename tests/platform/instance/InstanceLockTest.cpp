#include "platform/instance/InstanceLock.h"

#include "../ScopedEnv.h"
#include "../ScratchFolder.h"
#include "app/OtherUser.h"
#include "platform/base/LastError.h"
#include "platform/files/XdgFolders.h"
#include "platform/instance/FolderLock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>

namespace {

constexpr const wchar_t* kName = L"Pelune CafeMutex";

// Runs `body` in a child process and returns its exit status (-1 when it did not exit normally).
// The child leaves with _exit so nothing of this process runs twice.
int InChild(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

class InstanceLock : public ::testing::Test {
 protected:
  ScratchFolder dir;
  ScopedEnv runtime{"XDG_RUNTIME_DIR", dir.Path().c_str()};
};

TEST_F(InstanceLock, SecondCopyFindsTheLockAndTellsTheFirst) {
  HANDLE first = CreateMutexW(nullptr, TRUE, kName);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);

  int status = InChild([] {
    HANDLE second = CreateMutexW(nullptr, TRUE, kName);
    if (second == nullptr || GetLastError() != ERROR_ALREADY_EXISTS) return 1;
    Velk::SingleInstance::NotifyRunningCopies(0xC0DE, 5, -7);
    CloseHandle(second);
    return 0;
  });
  EXPECT_EQ(status, 0);

  std::vector<Velk::InstanceNotice> notices = Velk::SingleInstance::Poll();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].message, 0xC0DEu);
  EXPECT_EQ(notices[0].wParam, 5u);
  EXPECT_EQ(notices[0].lParam, -7);
  EXPECT_TRUE(Velk::SingleInstance::Poll().empty());

  // Once the first copy lets go, the next one runs.
  EXPECT_TRUE(CloseHandle(first));
  EXPECT_EQ(InChild([] {
              HANDLE next = CreateMutexW(nullptr, TRUE, kName);
              return next != nullptr && GetLastError() == ERROR_SUCCESS ? 0 : 1;
            }),
            0);
}

// A runtime folder that does not exist is passed over for /tmp, so the lock is still taken.
TEST(InstanceLockFallback, AMissingRuntimeFolderFallsBackToTmp) {
  ScopedEnv runtime{"XDG_RUNTIME_DIR", "/nonexistent/run/user"};
  EXPECT_EQ(Velk::GetRuntimeFolder(), "/tmp");
  const std::wstring name = L"PeluneFallbackTest" + std::to_wstring(getpid()) + L"Mutex";
  HANDLE first = CreateMutexW(nullptr, TRUE, name.c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(InChild([&name] {
              HANDLE second = CreateMutexW(nullptr, TRUE, name.c_str());
              return second != nullptr && GetLastError() == ERROR_ALREADY_EXISTS ? 0 : 1;
            }),
            0);
  EXPECT_TRUE(CloseHandle(first));
  // The files carry the user's id after the name, as every lock's do.
  const std::string base = "/tmp/" + std::string(name.begin(), name.end()) + "-" + std::to_string(getuid());
  EXPECT_TRUE(std::filesystem::remove(base + ".lock"));
  EXPECT_FALSE(std::filesystem::exists(base + ".sock"));
}

TEST_F(InstanceLock, HolderThatDiedLeavesNoLockBehind) {
  EXPECT_EQ(InChild([] {
              HANDLE held = CreateMutexW(nullptr, TRUE, kName);
              return held != nullptr && GetLastError() == ERROR_SUCCESS ? 0 : 1;  // exits holding it
            }),
            0);
  HANDLE mine = CreateMutexW(nullptr, TRUE, kName);
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  // The dead holder's socket was replaced, so notices reach the new holder.
  EXPECT_EQ(InChild([] {
              CreateMutexW(nullptr, TRUE, kName);
              Velk::SingleInstance::NotifyRunningCopies(1, 2, 3);
              return 0;
            }),
            0);
  EXPECT_EQ(Velk::SingleInstance::Poll().size(), 1u);
  CloseHandle(mine);
}

TEST_F(InstanceLock, SameProcessAndOtherNames) {
  HANDLE first = CreateMutexW(nullptr, TRUE, kName);
  HANDLE again = CreateMutexW(nullptr, TRUE, kName);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  HANDLE other = CreateMutexW(nullptr, TRUE, L"Other GameMutex");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  HANDLE unnamed = CreateMutexW(nullptr, TRUE, nullptr);
  EXPECT_NE(unnamed, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  for (HANDLE h : {first, again, other, unnamed}) EXPECT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(first));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(InstanceLock, NamesStayInsideTheRuntimeFolder) {
  HANDLE lock = CreateMutexW(nullptr, TRUE, L"../../x/..\\y");
  ASSERT_NE(lock, nullptr);
  std::string expected = "%002E.%002F..%002Fx%002F..%005Cy-" + std::to_string(getuid());
  EXPECT_TRUE(std::filesystem::exists(dir / (expected + ".lock")));
  EXPECT_TRUE(std::filesystem::exists(dir / (expected + ".sock")));
  CloseHandle(lock);
  EXPECT_FALSE(std::filesystem::exists(dir / (expected + ".sock")));
}

TEST_F(InstanceLock, NoticeWithoutAListenerIsDropped) {
  HANDLE first = CreateMutexW(nullptr, TRUE, kName);
  // A holder whose socket is gone: the second copy must neither hang nor fail.
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    if (entry.path().extension() == ".sock") std::filesystem::remove(entry.path());
  }
  EXPECT_EQ(InChild([] {
              CreateMutexW(nullptr, TRUE, kName);
              Velk::SingleInstance::NotifyRunningCopies(1, 0, 0);
              return GetLastError() == ERROR_ALREADY_EXISTS ? 0 : 1;
            }),
            0);
  EXPECT_TRUE(Velk::SingleInstance::Poll().empty());
  CloseHandle(first);
}

}  // namespace

// A lock that cannot be made (a pipe in its place) guards nothing: the user is told so, once, with
// the lock's name and the reason.
TEST_F(InstanceLock, ALockThatCannotBeMadeIsNamed) {
  const std::string lock = dir / ("Pelune%0020CafeMutex-" + std::to_string(getuid()) + ".lock");
  ASSERT_EQ(mkfifo(lock.c_str(), 0600), 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(CreateMutexW(nullptr, TRUE, kName), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "the single-instance lock " + lock +
                " cannot be made (something that is not a plain file is in its place); another copy of the program is "
                "not kept from running at the same time\n");
}

// A folder of the user's is held for the whole run, against every other process, but never by a
// process the holder starts: once the holder ends, the folder is free though its child lives on.
// A lock that cannot be made (a folder or a symbolic link in its place) is named once, and the folder
// is then not guarded.
TEST_F(InstanceLock, AFolderIsHeldByOneProcessForItsRun) {
  using Velk::FolderLock;
  const std::string held = dir / "held", left = dir / "left", blocked = dir / "blocked", linked = dir / "linked";
  ASSERT_EQ(FolderLock::Take(held), FolderLock::Outcome::kHeld);
  EXPECT_EQ(FolderLock::Take(held), FolderLock::Outcome::kHeld);
  // Named apart in the child, whose copy of this process's memory knows the folder as held.
  EXPECT_EQ(InChild([&held] { return FolderLock::Take(held + "/.") == FolderLock::Outcome::kHeldElsewhere ? 0 : 1; }),
            0);
  EXPECT_EQ(InChild([&left] {
              if (FolderLock::Take(left) != FolderLock::Outcome::kHeld) return 1;
              if (fork() == 0) {
                usleep(2000000);
                _exit(0);
              }
              return 0;
            }),
            0);
  EXPECT_EQ(FolderLock::Take(left), FolderLock::Outcome::kHeld);
  std::filesystem::create_directories(blocked + "/running.lock");
  std::filesystem::create_directories(linked);
  std::filesystem::create_symlink(held + "/running.lock", linked + "/running.lock");
  testing::internal::CaptureStderr();
  for (const std::string& folder : {blocked, blocked, linked})
    EXPECT_EQ(FolderLock::Take(folder), FolderLock::Outcome::kNoLock);
  const std::string unguarded = " at the same time\n";
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "the lock " + blocked +
                "/running.lock cannot be made (something that is not a plain file is in its place); another copy of "
                "the program is not kept from using " +
                blocked + unguarded + "the lock " + linked +
                "/running.lock cannot be made (a symbolic link is in its place); another copy of the program is not "
                "kept from using " +
                linked + unguarded);
}

namespace {

using User = std::optional<Velk::Testing::UserId>;

// What FolderLock::Take answers `user` (this process's user when none) in a child process, which
// keeps holding what it took until `keep` is false and it is killed.
int TakenBy(const User& user, const std::string& folder, bool keep = false, pid_t* holder = nullptr) {
  int answer[2];
  if (pipe(answer) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    const char taken =
        user && !Velk::Testing::BecomeUser(*user) ? -1 : static_cast<char>(Velk::FolderLock::Take(folder));
    if (write(answer[1], &taken, 1) == 1 && keep) pause();
    _exit(0);
  }
  close(answer[1]);
  char taken = -1;
  if (read(answer[0], &taken, 1) != 1) taken = -1;
  close(answer[0]);
  if (keep) *holder = pid;
  if (!keep) waitpid(pid, nullptr, 0);
  return taken;
}

}  // namespace

// A member of a group that shares the home may only read the lock file another member made (as the
// program makes its files, 0644 less the umask): it still finds that holder, and, holding the folder
// for reading, keeps out a copy that writes and one that reads alike.
TEST_F(InstanceLock, ALockTheUserMayOnlyReadStillKeepsTheFolderToOneProcess) {
  constexpr int kHeld = static_cast<int>(Velk::FolderLock::Outcome::kHeld);
  constexpr int kHeldElsewhere = static_cast<int>(Velk::FolderLock::Outcome::kHeldElsewhere);
  const User nobody = geteuid() == 0 ? Velk::Testing::UserNamed("nobody") : std::nullopt;
  if (!nobody) GTEST_SKIP() << "only root starts a process as another user (nobody), who may then only read the lock";
  const ScratchFolder reached(Velk::Testing::TemporaryFolderFor(nobody));
  std::filesystem::permissions(reached.Path(), std::filesystem::perms::owner_all | std::filesystem::perms::others_exec);
  const std::string shared = reached / "shared";
  // Whatever the run's umask, the holder's folder and file are made as a home shared for reading.
  const mode_t runMask = umask(022);
  for (const User& holder : {User(), nobody}) {
    const char* held = holder ? "held by nobody, for reading" : "held by root";
    pid_t pid = 0;
    EXPECT_EQ(TakenBy(holder, shared, true, &pid), kHeld) << held;
    EXPECT_EQ(TakenBy(nobody, shared), kHeldElsewhere) << held;
    EXPECT_EQ(TakenBy(User(), shared), kHeldElsewhere) << held;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  umask(runMask);
  EXPECT_EQ(std::filesystem::status(Velk::FolderLock::PathIn(shared)).permissions(),
            static_cast<std::filesystem::perms>(0644));
}
