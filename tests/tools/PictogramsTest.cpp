// The pictograms: the font's hash is checked with a SHA-256 of our own (checked against the
// standard's examples), a mask names its products' pictures, and a picture drawn into a box stays
// in it, looks the same every time and differs from product to product.
#include <gtest/gtest.h>

#include <fstream>

#include "contentlib/Pictograms.h"
#include "contentlib/Sha256.h"
#include "resources/PakTestSupport.h"

namespace Content {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(Sha256Test, TheStandardsExamples) {
  EXPECT_EQ(Sha256::Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256::Hex(Bytes("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  // 56 bytes: the length no longer fits the first block, so the padding takes a second one.
  EXPECT_EQ(Sha256::Hex(Bytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha256::Hex(std::vector<uint8_t>(1000, 'a')),
            "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
}

TEST(PictogramsTest, AMaskNamesThePicturesOfItsProducts) {
  EXPECT_EQ(Pictograms::OfMask("1030"), (std::vector<std::string>{"coffee", "juice"}));
  EXPECT_EQ(Pictograms::OfMask("0205"), (std::vector<std::string>{"cake", "pizza"}));
  EXPECT_EQ(Pictograms::OfMask("0300"), std::vector<std::string>{"icecream"});
  EXPECT_TRUE(Pictograms::OfMask("0000").empty());
  EXPECT_TRUE(Pictograms::OfMask("0900").empty()) << "no product has that digit";
  EXPECT_TRUE(Pictograms::OfMask("1234").empty()) << "more than two products is no order";
}

TEST(PictogramsTest, AnotherFontIsRefusedWithItsHash) {
  WorkingScratchFolder folder;
  WriteBytes("other.ttf", Bytes("abc"));
  Pictograms pictograms;
  std::string error;
  EXPECT_FALSE(pictograms.Load("other.ttf", error));
  EXPECT_NE(error.find("SHA-256 ba7816bf"), std::string::npos) << error;
  EXPECT_NE(error.find(Pictograms::kFontSha256), std::string::npos) << error;
  EXPECT_FALSE(pictograms.Load("missing.ttf", error));
  EXPECT_NE(error.find("fonts-noto-color-emoji"), std::string::npos) << error;
}

TEST(PictogramsTest, APictureStaysInItsBoxTheSameEveryTime) {
  Pictograms pictograms;
  std::string error;
  ASSERT_TRUE(pictograms.Load(Pictograms::kFontPath, error)) << error;
  for (const auto& [name, code] : Pictograms::Names()) ASSERT_TRUE(pictograms.Has(name)) << name;
  auto draw = [&](const std::string& name) {
    Picture picture(40, 40);
    Canvas canvas(picture);
    pictograms.Draw(canvas, name, 10.5, 10.5, 20, 20);
    return picture;
  };
  const Picture cake = draw("cake");
  int covered = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      if ((cake.At(x, y) >> 24) == 0) continue;
      ++covered;
      ASSERT_TRUE(x >= 10 && x <= 30 && y >= 10 && y <= 30) << x << "," << y;
    }
  EXPECT_GT(covered, 150);
  EXPECT_EQ(draw("cake").pixels, cake.pixels);
  EXPECT_NE(draw("pizza").pixels, cake.pixels);
  EXPECT_TRUE(draw("no such picture").pixels == Picture(40, 40).pixels);
}

}  // namespace
}  // namespace Content
