#include "common/Path.h"

#include <gtest/gtest.h>

namespace {

TEST(Path, SplittingAcceptsBothSeparators) {
  EXPECT_EQ(Velk::GetFileName("a/b\\c.d.png"), "c.d.png");
  EXPECT_EQ(Velk::GetFileName("a\\b/c"), "c");
  EXPECT_EQ(Velk::GetFileName("plain"), "plain");
  EXPECT_EQ(Velk::PathFileName("a/b\\c.d.png", true), "c.d");
  EXPECT_EQ(Velk::PathFileName("a/b\\c.d.png", false), "c.d.png");
  EXPECT_EQ(Velk::PathFileName("x.y/noext", true), "noext");  // a dot in a folder is not an extension
  EXPECT_EQ(Velk::PathFileName("name.txt", true), "name");
  EXPECT_EQ(Velk::PathDirectory("a/b\\c.png", false), "a/b");
  EXPECT_EQ(Velk::PathDirectory("a\\b/c.png", true), "a\\b/");
  EXPECT_EQ(Velk::PathDirectory("c.png", true), "");
}

TEST(Path, TrailingSlashes) {
  EXPECT_EQ(Velk::StripTrailingSlash("a/b/"), "a/b");
  EXPECT_EQ(Velk::StripTrailingSlash("a\\"), "a");
  EXPECT_EQ(Velk::StripTrailingSlash("a"), "a");
  EXPECT_EQ(Velk::StripTrailingSlash(""), "");
  EXPECT_EQ(Velk::EnsureTrailingSlash("a/", true), "a/");
  EXPECT_EQ(Velk::EnsureTrailingSlash("a", true), "a\\");
  EXPECT_EQ(Velk::EnsureTrailingSlash("a", false), "a/");
  EXPECT_EQ(Velk::EnsureTrailingSlash("", false), "");
}

TEST(Path, ResolveJoinsAndFoldsParentSegments) {
  EXPECT_EQ(Velk::ResolvePath("img.png", "fonts/big"), "fonts/big/img.png");
  EXPECT_EQ(Velk::ResolvePath("../img.png", "fonts/big"), "fonts/img.png");
  EXPECT_EQ(Velk::ResolvePath("sub/img.png", "fonts\\big"), "fonts\\big\\sub\\img.png");
  EXPECT_EQ(Velk::ResolvePath("../../../img.png", "a/b"), "../img.png");
  EXPECT_EQ(Velk::ResolvePath("../../x", "a/.."), "a/../../../x");
  EXPECT_EQ(Velk::ResolvePath("./s//img.png", "a"), "a/s/img.png");
  EXPECT_EQ(Velk::ResolvePath("../img.png", "c:\\data\\fonts"), "c:\\data\\img.png");
  EXPECT_EQ(Velk::ResolvePath("d:/abs.png", "base"), "d:/abs.png");
  // A descriptor without a folder resolves next to itself, not at the root.
  EXPECT_EQ(Velk::ResolvePath("img.png", ""), "img.png");
  EXPECT_EQ(Velk::ResolvePath("../img.png", ""), "../img.png");
}

}  // namespace
