#include "platform/files/FileHandles.h"

#include "../ScratchFolder.h"
#include "platform/base/LastError.h"
#include "platform/instance/InstanceLock.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING) {
  return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Write(HANDLE file, const std::string& bytes) {
  DWORD done = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) && done == bytes.size();
}

std::string Read(HANDLE file, DWORD count) {
  std::string bytes(count, '\0');
  DWORD done = 0;
  if (!ReadFile(file, bytes.data(), count, &done, nullptr)) return "<failed>";
  bytes.resize(done);
  return bytes;
}

TEST(FileHandles, EditsReachTheDiskWholeAtClose) {
  ScratchFolder dir;
  std::string path = dir.Path() + "\\pref.dat";
  HANDLE file = Open(path, kReadWrite, 0, OPEN_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);    // made, not found
  EXPECT_FALSE(fs::exists(dir / "pref.dat"));  // by the close: a program ending before it leaves no empty file

  EXPECT_TRUE(Write(file, "header--tables--"));
  EXPECT_EQ(SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
  EXPECT_TRUE(Write(file, "HE"));
  EXPECT_EQ(SetFilePointer(file, 20, nullptr, FILE_BEGIN), 20u);  // past the end: the gap is zeros
  EXPECT_TRUE(Write(file, "z"));
  EXPECT_FALSE(fs::exists(dir / "pref.dat"));  // nothing on disk before the close

  DWORD high = 7;
  EXPECT_EQ(GetFileSize(file, &high), 21u);
  EXPECT_EQ(high, 0u);
  EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_END), 16u);
  EXPECT_TRUE(SetEndOfFile(file));
  EXPECT_EQ(SetFilePointer(file, -10, nullptr, FILE_CURRENT), 6u);
  EXPECT_EQ(Read(file, 4), "HEta");
  EXPECT_EQ(Read(file, 100), "bles--");
  EXPECT_EQ(Read(file, 100), "");  // at the end: success with nothing
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(Slurp(dir / "pref.dat"), "headerHEtables--");

  file = Open(path, kReadWrite, 0, OPEN_ALWAYS);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);
  EXPECT_TRUE(Write(file, std::string("\0\0", 2)));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(Slurp(dir / "pref.dat"), std::string("head\0\0HEtables--", 16));
}

TEST(FileHandles, PositionsAreCheckedAndWide) {
  ScratchFolder dir;
  HANDLE file = Open(dir / "f", kReadWrite, 0, OPEN_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 0u);  // a failed seek leaves the pointer

  LONG high = 1;  // 4 GiB + 3: beyond the memory image, so a write there fails but the seek holds
  EXPECT_EQ(SetFilePointer(file, 3, &high, FILE_BEGIN), 3u);
  EXPECT_EQ(high, 1);
  EXPECT_FALSE(Write(file, "x"));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  high = 0x7FFFFFFF;
  EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_CURRENT), INVALID_SET_FILE_POINTER);  // would overflow
  high = -1;  // -1 as a 64-bit distance from 4 GiB + 3
  EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_CURRENT), 2u);
  EXPECT_EQ(high, 1);
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(fs::file_size(dir / "f"), 0u);
}

TEST(FileHandles, ShareModesKeepOtherOpensOut) {
  ScratchFolder dir;
  std::string path = dir / "pref.dat";
  HANDLE exclusive = Open(path, kReadWrite, 0, OPEN_ALWAYS);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  for (DWORD access : {GENERIC_READ, kReadWrite}) {
    EXPECT_EQ(Open(dir.Path() + "/./pref.dat", access, FILE_SHARE_READ | FILE_SHARE_WRITE), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  }
  EXPECT_TRUE(Write(exclusive, "saved"));
  EXPECT_TRUE(CloseHandle(exclusive));

  HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ);
  HANDLE second = Open(path, GENERIC_READ, FILE_SHARE_READ);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  ASSERT_NE(second, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Open(dir.Path() + "/PREF.DAT", kReadWrite, FILE_SHARE_READ),
            INVALID_HANDLE_VALUE);  // the readers share no writing
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(Open(path, GENERIC_READ, 0), INVALID_HANDLE_VALUE);  // nor do they allow exclusivity
  EXPECT_EQ(Read(second, 10), "saved");
  DWORD done = 9;
  EXPECT_FALSE(WriteFile(reader, "x", 1, &done, nullptr));  // opened for reading only
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(done, 0u);
  EXPECT_FALSE(SetEndOfFile(reader));
  EXPECT_TRUE(CloseHandle(reader));
  EXPECT_TRUE(CloseHandle(second));
  HANDLE again = Open(path, kReadWrite, 0);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(again));
}

TEST(FileHandles, AnotherProcessIsKeptOutWhileAnExclusiveHandleIsOpen) {
  ScratchFolder dir;
  std::string path = dir / "pref.dat";
  HANDLE held = Open(path, kReadWrite, 0, OPEN_ALWAYS);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  auto childOpens = [&](DWORD access, DWORD share) {
    pid_t child = fork();
    if (child == 0) {
      HANDLE mine = Open(path, access, share);
      _exit(mine == INVALID_HANDLE_VALUE ? static_cast<int>(GetLastError()) : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(childOpens(GENERIC_READ, FILE_SHARE_READ), static_cast<int>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(CloseHandle(held));
  EXPECT_EQ(childOpens(kReadWrite, 0), 0);

  // Kept out by another program's lock, which this process's table knows nothing of: said apart.
  const int lock = open((path + ".lock").c_str(), O_RDWR);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  EXPECT_EQ(Open(path, GENERIC_READ, FILE_SHARE_READ), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_LOCK_VIOLATION);
  close(lock);
}

TEST(FileHandles, OpenFailuresSayWhy) {
  ScratchFolder dir;
  fs::create_directory(dir / "folder");
  EXPECT_EQ(Open(dir / "missing", kReadWrite, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open(dir / "no/such/file", kReadWrite, 0, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  // Named as what is in the file's place, not as a file that may not be opened.
  for (DWORD access : {kReadWrite, DWORD{GENERIC_READ}}) {
    EXPECT_EQ(Open(dir / "folder", access, 0, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
  }
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);  // refused at once, not waited on
  EXPECT_EQ(Open(dir / "pipe", GENERIC_READ, FILE_SHARE_READ), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
  EXPECT_EQ(Open(dir / "f", kReadWrite, 0, 2 /* CREATE_ALWAYS: not offered */), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(fs::exists(dir / "missing"));
  // A failed open holds nothing: the same name opens at once afterwards.
  HANDLE made = Open(dir / "missing", kReadWrite, 0, OPEN_ALWAYS);
  EXPECT_NE(made, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(made));
  EXPECT_TRUE(fs::exists(dir / "missing"));  // made by the close though nothing was written
}

TEST(FileHandles, StaleAndForeignHandlesAreRefused) {
  ScratchFolder dir;
  HANDLE file = Open(dir / "f", kReadWrite, 0, OPEN_ALWAYS);
  ASSERT_TRUE(CloseHandle(file));
  char buffer[4];
  DWORD done = 0;
  EXPECT_FALSE(ReadFile(file, buffer, 4, &done, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
  EXPECT_FALSE(ReadFile(mutex, buffer, 4, &done, nullptr));
  EXPECT_EQ(GetFileSize(mutex, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(CloseHandle(mutex));
}

TEST(FileHandles, AFailedWriteBackKeepsTheOldFileAndIsReported) {
  ScratchFolder dir;
  dir.Write("Game/pref.dat", "old");
  HANDLE file = Open(dir / "Game/pref.dat", kReadWrite, 0);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Write(file, "new contents"));
  // The write-back's temporary file cannot be made where a folder of that name stands.
  fs::rename(dir / "Game", dir / "Moved");
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_NE(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(Slurp(dir / "Moved/pref.dat"), "old");
}

}  // namespace
