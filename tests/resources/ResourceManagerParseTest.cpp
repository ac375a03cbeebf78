#include <gtest/gtest.h>

#include "ResourceManagerTestSupport.h"
#include "resources/ResourceManager.h"
#include "resources/ResourceManagerException.h"

using namespace ResourceManagerTest;

namespace {

const char kManifest[] = "properties\\resources.xml";

class ResourceManagerParseTest : public testing::Test {
 protected:
  bool Parse(const std::string& text) {
    WriteText("properties/resources.xml", text);
    return mManager.ParseResourcesFile(kManifest);
  }
  std::string ParseError(const std::string& text) {
    EXPECT_FALSE(Parse(text));
    return mManager.GetErrorText();
  }
  // Requests an image by id and returns the path the application was asked for ("" when none).
  std::string RequestedPath(const std::string& id) {
    size_t before = mHost.mRequests.size();
    mManager.GetImage(id);
    return mHost.mRequests.size() > before ? mHost.mRequests.back() : "";
  }

  WorkingScratchFolder mFolder;
  TestHost mHost;
  Velk::ResourceManager mManager{&mHost};
};

std::string At(int line) { return " on Line " + std::to_string(line) + " in File 'properties\\resources.xml'"; }

TEST_F(ResourceManagerParseTest, GrammarErrorsNameTheLineAndFile) {
  struct Case {
    const char* text;
    std::string error;
  } cases[] = {
      {"", "Expecting ResourceManifest tag" + At(1)},
      {"<?xml version=\"1.0\"?>\n<Resources id=\"A\"/>", "Expecting ResourceManifest tag" + At(2)},
      {"<ResourceManifest>\n<Other/>", "Invalid Section 'Other'" + At(2)},
      {"<ResourceManifest>\n  stray   words\n<Resources id=\"A\"/>", "Element Not Expected 'stray words'" + At(3)},
      {"<ResourceManifest><Resources>", "No id specified." + At(1)},
      {"<ResourceManifest><Resources id=\"\">", "No id specified." + At(1)},
      {"<ResourceManifest><Resources id=\"A\">\n\n<Bogus/>", "Invalid Section 'Bogus'" + At(3)},
      {"<ResourceManifest><Resources id=\"A\">text<Image path=\"a\"/>", "Element Not Expected 'text'" + At(1)},
      {"<ResourceManifest><Resources id=\"A\"><Image path=\"a\"><Image path=\"b\"/></Image>",
       "Unexpected element found." + At(1)},
      {"<ResourceManifest><Resources id=\"A\"><Image path=\"a\">x</Image>", "Unexpected element found." + At(1)},
      {"<ResourceManifest><Resources id=\"A\"><Sound id=\"S\"/>", "No path specified." + At(1)},
      {"<ResourceManifest><Resources id=\"A\"><Font path=\"\"/>", "No path specified." + At(1)},
      {"<ResourceManifest><Resources id=\"A\"><Image path=\"a\"/>\n<Image id=\"a\" path=\"b\"/>",
       "Resource already defined." + At(2)},
      {"<ResourceManifest><Resources id=\"A\"><Image path=\"a\" anim=\"bounce\"/>", "Invalid animation type." + At(1)},
      {"<ResourceManifest><Resources id=\"A\"><Font path=\"!sys:Arial\"/>", "SysFont needs point size" + At(1)},
      {"<ResourceManifest><Resources id=\"A\"><Font path=\"!sys:Arial\" size=\"0\"/>",
       "SysFont needs point size" + At(1)},
      {"<ResourceManifest><Resources id=\"A\">\n</Other>", "End 'Other' Doesn't Match Start 'Resources'" + At(2)},
  };
  for (const Case& c : cases) {
    Velk::ResourceManager manager(&mHost);
    WriteText("properties/resources.xml", c.text);
    EXPECT_FALSE(manager.ParseResourcesFile(kManifest)) << c.text;
    EXPECT_EQ(manager.GetErrorText(), c.error) << c.text;
    EXPECT_TRUE(manager.HadError());
  }
}

TEST_F(ResourceManagerParseTest, MissingFileAndFirstErrorKept) {
  EXPECT_FALSE(mManager.ParseResourcesFile("none.xml"));
  EXPECT_EQ(mManager.GetErrorText(), "Resource file not found: none.xml in File 'none.xml'");

  // A getter's error does not replace the parse error, and the exception carries the first one.
  try {
    mManager.GetFontOrThrow("FONT_X");
    FAIL() << "no exception";
  } catch (const Velk::ResourceManagerException& e) {
    EXPECT_STREQ(e.what(), "Resource file not found: none.xml in File 'none.xml'");
  }
}

TEST_F(ResourceManagerParseTest, DefaultsAndIds) {
  ASSERT_TRUE(
      Parse("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- art -->\n<ResourceManifest>\n"
            "<Resources id=\"Init\">\n"
            "  <SetDefaults path=\"gfx\\\" idprefix=\"IMG_\\\"/>\n"
            "  <Image path=\"images/x.png\"/>\n"
            "  <Image id=\"GROUND\" path=\"ground\"/>\n"
            "  <Image id=\"P\" path=\"!program\"/>\n"
            "</Resources>\n"
            "<Resources id=\"Later\">\n"
            "  <Image path=\"sub.dir\\cels.tga\"/>\n"
            "  <SetDefaults path=\"\" idprefix=\"\"/>\n"
            "  <Image path=\"fonts\\page\"/>\n"
            "</Resources>\n"
            "</ResourceManifest>\n"));
  EXPECT_EQ(RequestedPath("IMG_x"), "gfx/images/x.png");
  EXPECT_EQ(RequestedPath("IMG_GROUND"), "gfx/ground");
  EXPECT_EQ(RequestedPath("IMG_cels"), "gfx/sub.dir\\cels.tga");  // defaults carry into later sections
  EXPECT_EQ(RequestedPath("page"), "fonts\\page");                // an empty default path adds nothing
  EXPECT_EQ(RequestedPath("IMG_P"), "");                          // from the program: never read
  EXPECT_EQ(RequestedPath("x"), "");
}

TEST_F(ResourceManagerParseTest, InputEndingInsideASectionKeepsWhatWasRead) {
  ASSERT_TRUE(Parse("<ResourceManifest><Resources id=\"A\"><Image path=\"a\"/>\n<Image path=\"b\"/>"));
  EXPECT_EQ(RequestedPath("a"), "a");
  EXPECT_EQ(RequestedPath("b"), "b");
}

TEST_F(ResourceManagerParseTest, RepeatedSectionsAppendToOneGroup) {
  ASSERT_TRUE(
      Parse("<ResourceManifest><Resources id=\"G\"><Image path=\"a\"/></Resources>"
            "<Resources id=\"H\"><Image path=\"b\"/></Resources>"
            "<Resources id=\"G\"><Image path=\"c\"/></Resources></ResourceManifest>"));
  WriteTga("a.tga", 1, 1, {0xFF000000});
  WriteTga("c.tga", 1, 1, {0xFF000000});
  EXPECT_TRUE(mManager.LoadResources("G"));
  EXPECT_EQ(mHost.mRequests, (std::vector<std::string>{"a", "c"}));
}

}  // namespace
