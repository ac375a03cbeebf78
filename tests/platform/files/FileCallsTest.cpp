#include "platform/files/FileCalls.h"

#include "../ScopedEnv.h"
#include "../ScratchFolder.h"
#include "platform/base/LastError.h"
#include "platform/files/FindFiles.h"
#include "platform/files/ShellFolders.h"
#include "platform/files/XdgFolders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

TEST(FileCalls, DeleteFileTakesWindowsNamesAndRefusesFolders) {
  ScratchFolder dir;
  dir.Write("Demos/7.dmo", "x");
  EXPECT_TRUE(DeleteFileA((dir.Path() + "\\demos\\7.DMO").c_str()));
  EXPECT_FALSE(fs::exists(dir / "Demos/7.dmo"));
  EXPECT_FALSE(DeleteFileA((dir / "Demos/7.dmo").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(DeleteFileA((dir / "Demos").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(fs::is_directory(dir / "Demos"));
}

TEST(FileCalls, FoldersAreMadeAndRemoved) {
  ScratchFolder dir;
  EXPECT_EQ(_mkdir((dir.Path() + "\\Shots").c_str()), 0);
  EXPECT_EQ(_mkdir((dir.Path() + "\\shots").c_str()), -1);  // the same folder in another case
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(_mkdir((dir.Path() + "\\no\\deeper").c_str()), -1);
  EXPECT_EQ(errno, ENOENT);

  EXPECT_TRUE(CreateDirectoryA((dir.Path() + "\\SHOTS\\sub").c_str(), nullptr));
  EXPECT_TRUE(fs::is_directory(dir / "Shots/sub"));
  EXPECT_FALSE(CreateDirectoryA((dir / "Shots/sub").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectoryA((dir / "a/b").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  EXPECT_EQ(_rmdir((dir / "shots").c_str()), -1);  // not empty
  EXPECT_EQ(_rmdir((dir.Path() + "\\shots\\SUB").c_str()), 0);
  EXPECT_EQ(_rmdir((dir / "shots").c_str()), 0);
  EXPECT_FALSE(fs::exists(dir / "Shots"));
}

TEST(FileCalls, CurrentFolderRoundTrip) {
  ScratchFolder dir;
  fs::create_directory(dir / "Game");
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_TRUE(SetCurrentDirectoryA((dir.Path() + "\\game").c_str()));
  std::string expected = fs::canonical(dir / "Game").string();
  char tiny[4];
  DWORD needed = GetCurrentDirectoryA(sizeof tiny, tiny);
  char buffer[4096];
  DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  ASSERT_EQ(chdir(old), 0);
  EXPECT_EQ(needed, expected.size() + 1);
  EXPECT_EQ(length, expected.size());
  EXPECT_EQ(std::string(buffer), expected);
  EXPECT_FALSE(SetCurrentDirectoryA((dir / "missing").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(ShellFolders, DataFolderFollowsTheEnvironment) {
  ScratchFolder dir;
  ScopedEnv data("XDG_DATA_HOME", (dir / "share").c_str());
  char path[MAX_PATH];
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, path), S_FALSE);
  EXPECT_EQ(std::string(path), dir / "share");
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_DEFAULT, path), S_OK);
  EXPECT_TRUE(fs::is_directory(dir / "share"));
  EXPECT_EQ(SHGetFolderPathA(nullptr, 0x0005, nullptr, 0, path), E_INVALIDARG);

  ScopedEnv tooLong("XDG_DATA_HOME", ("/" + std::string(300, 'x')).c_str());
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, path), E_FAIL);
}

TEST(ShellFolders, TheWindowsFolderIsTheDataFolder) {
  ScopedEnv data("XDG_DATA_HOME", "/data/home");
  char tiny[4] = "abc";
  EXPECT_EQ(GetWindowsDirectoryA(tiny, sizeof tiny), 11u);
  EXPECT_STREQ(tiny, "abc");  // too small: nothing copied
  char path[MAX_PATH];
  EXPECT_EQ(GetWindowsDirectoryA(path, sizeof path), 10u);
  EXPECT_STREQ(path, "/data/home");
}

TEST(XdgFolders, DefaultsUnderHomeAndRelativeValuesIgnored) {
  ScopedEnv home("HOME", "/home/someone");
  ScopedEnv config("XDG_CONFIG_HOME", "relative/config");
  ScopedEnv data("XDG_DATA_HOME", nullptr);
  ScopedEnv runtime("XDG_RUNTIME_DIR", "");
  EXPECT_EQ(Velk::GetConfigHome(), "/home/someone/.config");
  EXPECT_EQ(Velk::GetDataHome(), "/home/someone/.local/share");
  EXPECT_EQ(Velk::GetRuntimeFolder(), "/tmp");
}

}  // namespace
