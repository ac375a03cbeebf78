#include <gtest/gtest.h>

#include "graphics/MemoryImage.h"
#include "graphics/SharedImageHandle.h"

namespace Velk {
namespace {

// Counts its destruction so that ownership can be checked.
struct CountedImage : MemoryImage {
  explicit CountedImage(int* deaths) : MemoryImage(nullptr), mDeaths(deaths) {}
  ~CountedImage() override { ++*mDeaths; }
  int* mDeaths;
};

TEST(SharedImageHandleTest, SharedRecordsAreCountedAndTheLastReleaseAsksForACleanUp) {
  SharedImage shared;
  MemoryImage image(nullptr);
  shared.mImage = &image;
  gCleanupSharedImages = false;
  {
    SharedImageHandle a(&shared);
    SharedImageHandle b(a);
    EXPECT_EQ(shared.mRefCount, 2);
    SharedImageHandle& same = a;
    a = same;  // keeps its reference
    EXPECT_EQ(a.GetImage(), &image);
    b.Release();
    EXPECT_EQ(shared.mRefCount, 1);
    EXPECT_FALSE(gCleanupSharedImages);
  }
  EXPECT_EQ(shared.mRefCount, 0);
  EXPECT_TRUE(gCleanupSharedImages);

  SharedImageHandle empty;
  empty = static_cast<SharedImage*>(nullptr);
  EXPECT_EQ(empty.GetImage(), nullptr);
}

TEST(SharedImageHandleTest, OnlyTheOwnerDeletesItsPrivateImage) {
  int deaths = 0;
  auto* image = new CountedImage(&deaths);
  SharedImageHandle owner;
  owner = image;
  {
    SharedImageHandle copy(owner);
    EXPECT_EQ(copy.GetImage(), image);
    EXPECT_EQ(copy.GetSharedImage(), nullptr);
  }
  EXPECT_EQ(deaths, 0);
  owner = image;  // the same image again stays alive
  EXPECT_EQ(deaths, 0);
  owner.Release();
  EXPECT_EQ(deaths, 1);
  EXPECT_EQ(owner.GetImage(), nullptr);
}

}  // namespace
}  // namespace Velk
