#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "common/Folders.h"

namespace fs = std::filesystem;

namespace {

class FoldersTest : public testing::Test {
 protected:
  void SetUp() override {
    mRoot = fs::temp_directory_path() / ("folders_test_" + std::to_string(getpid()));
    fs::remove_all(mRoot);
    fs::create_directories(mRoot);
  }
  void TearDown() override { fs::remove_all(mRoot); }
  static void Touch(const fs::path& p) { std::ofstream(p) << "x"; }

  fs::path mRoot;
};

TEST_F(FoldersTest, MakeDirsCreatesEveryLevelWithEitherSeparator) {
  Velk::MakeDirs(mRoot.string() + "\\one/two\\three");
  EXPECT_TRUE(fs::is_directory(mRoot / "one" / "two" / "three"));
  Velk::MakeDirs(mRoot.string() + "/one/two/");  // existing folders are fine
  EXPECT_TRUE(fs::is_directory(mRoot / "one" / "two"));
}

TEST_F(FoldersTest, DeleteTreeRemovesEverythingButNeverFollowsLinks) {
  fs::path outside = mRoot / "outside";
  fs::create_directories(outside);
  Touch(outside / "keep.txt");

  fs::path tree = mRoot / "tree";
  fs::create_directories(tree / "sub" / "deeper");
  Touch(tree / "a.txt");
  Touch(tree / "sub" / "b.txt");
  Touch(tree / "sub" / "deeper" / "c.txt");
  fs::create_directory_symlink(outside, tree / "sub" / "link");
  fs::create_symlink(outside / "keep.txt", tree / "filelink");

  Velk::DeleteTree(tree.string() + "\\");
  EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
  EXPECT_TRUE(fs::exists(outside / "keep.txt"));

  Velk::DeleteTree("/");  // too short: refused
  EXPECT_TRUE(fs::exists(outside));
}

}  // namespace
