#include "engine/XmlRef.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// Stands for a DOM object: only the releases are counted.
struct Counted {
  int* releases;
  void Release() { ++*releases; }
};

TEST(XmlRef, EachReferenceIsReleasedExactlyOnce) {
  int a = 0, b = 0, c = 0;
  Counted first{&a}, second{&b}, third{&c};
  {
    XmlRef<Counted> held(&first);
    XmlRef<Counted> moved(std::move(held));
    EXPECT_FALSE(held);
    EXPECT_EQ(moved.Get(), &first);
    moved = XmlRef<Counted>(&second);
    EXPECT_EQ(a, 1) << "assigning over a holder releases what it held";
    *moved.Out() = &third;
    EXPECT_EQ(b, 1) << "a holder handed to a DOM call as out-parameter lets go of what it held";
    EXPECT_EQ(moved.Detach(), &third);
    EXPECT_FALSE(moved);
  }
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(c, 0) << "a detached reference belongs to the caller";
  {
    XmlRef<Counted> empty;
    XmlRef<Counted> last(&third);
  }
  EXPECT_EQ(c, 1);
}

}  // namespace
