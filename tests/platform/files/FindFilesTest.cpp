#include "platform/files/FindFiles.h"

#include "../ScratchFolder.h"
#include "platform/base/LastError.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

namespace {

// Every name a search yields, in order.
std::vector<std::string> List(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(data.cFileName);
  } while (FindNextFileA(search, &data));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_TRUE(FindClose(search));
  return names;
}

TEST(FindFiles, PatternIgnoresCaseAndListsInOrder) {
  ScratchFolder dir;
  dir.Write("Shots/B.PNG", "1234");
  dir.Write("Shots/a.png", "");
  dir.Write("Shots/c.txt", "");
  dir.Write("Shots/README", "");
  EXPECT_EQ(List(dir.Path() + "\\shots\\*.png"), (std::vector<std::string>{"B.PNG", "a.png"}));
  EXPECT_EQ(List(dir.Path() + "\\shots\\?.?n?"), (std::vector<std::string>{"B.PNG", "a.png"}));
  // "*.*" also takes names without an extension, and the folder's own entries.
  EXPECT_EQ(List(dir.Path() + "/Shots/*.*"),
            (std::vector<std::string>{".", "..", "B.PNG", "README", "a.png", "c.txt"}));
  EXPECT_EQ(List(dir.Path() + "/Shots/readme"), (std::vector<std::string>{"README"}));
}

// The first entry a search yields for `pattern` (the search closed again).
WIN32_FIND_DATAA First(const std::string& pattern) {
  WIN32_FIND_DATAA data{};
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  EXPECT_NE(search, INVALID_HANDLE_VALUE) << pattern;
  FindClose(search);
  return data;
}

TEST(FindFiles, ReportsSizeKindAndTime) {
  ScratchFolder dir;
  dir.Write("f/file.bin", std::string(70000, 'x'));
  std::filesystem::create_directory(dir / "f/sub");
  std::filesystem::create_directory_symlink(dir / "f/sub", dir / "f/link");
  WIN32_FIND_DATAA file = First(dir / "f/file.bin");
  EXPECT_EQ(file.nFileSizeLow, 70000u);
  EXPECT_EQ(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  // Written just now: after 2020-01-01, which is 132223104000000000 in 100 ns steps since 1601.
  uint64_t written =
      (static_cast<uint64_t>(file.ftLastWriteTime.dwHighDateTime) << 32) | file.ftLastWriteTime.dwLowDateTime;
  EXPECT_GT(written, 132223104000000000ull);
  EXPECT_NE(First(dir / "f/SUB").dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  // A link to a folder is not a folder, so a tree walk deletes the link and never what it points to.
  EXPECT_EQ(First(dir / "f/link").dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT);
}

TEST(FindFiles, FailuresSayWhy) {
  ScratchFolder dir;
  dir.Write("x/a.txt", "");
  WIN32_FIND_DATAA data;
  EXPECT_EQ(FindFirstFileA((dir / "x/*.png").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(FindFirstFileA((dir / "missing/*.*").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(FindFirstFileA("", &data), INVALID_HANDLE_VALUE);
  // A handle that is not a live search is refused, not followed.
  int notASearch = 0;
  EXPECT_FALSE(FindNextFileA(&notASearch, &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
}

TEST(MatchFileName, WindowsWildcards) {
  EXPECT_TRUE(Velk::MatchFileName("*.dmo", "12.DMO"));
  EXPECT_FALSE(Velk::MatchFileName("*.dmo", "12.dmo.bak"));
  EXPECT_TRUE(Velk::MatchFileName("a?c", "ABC"));
  EXPECT_FALSE(Velk::MatchFileName("a?c", "ac"));
  EXPECT_TRUE(Velk::MatchFileName("*a*b*", "xxaxxbxx"));
  EXPECT_FALSE(Velk::MatchFileName("*a*b", "xxbxxa"));
  EXPECT_TRUE(Velk::MatchFileName("*.*", "noext"));
  EXPECT_TRUE(Velk::MatchFileName("crash.*", "crash"));
  EXPECT_FALSE(Velk::MatchFileName("", "a"));
  // A long run of stars over a long name stays quick.
  EXPECT_FALSE(Velk::MatchFileName(std::string(40, '*') + "b", std::string(250, 'a')));
}

}  // namespace
