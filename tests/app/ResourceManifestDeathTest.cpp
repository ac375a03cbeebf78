// A resource manifest that cannot be read ends start-up with the fatal box and exit code 1.
#include "AppTestSupport.h"
#include "platform/ScopedCurrentFolder.h"
#include "resources/ResourceManager.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace Velk::Testing {
namespace {

using ResourceManifestDeathTest = AppTest;

TEST_F(ResourceManifestDeathTest, AnUnreadableManifestEndsStartUp) {
  scratch_.Write("damaged/properties/resources.xml", "<Resources id=\"Init\"/>");
  // The child runs the test again from the start rather than a fork of a process with threads.
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const char* folder : {"missing", "damaged"}) {
    std::filesystem::create_directories(scratch_ / folder);
    EXPECT_EXIT(
        {
          scratch_.RemoveAtExit();
          CountingApp& app = StartApp();
          std::filesystem::current_path(scratch_ / folder);
          app.LoadResourceManifest();
        },
        ::testing::ExitedWithCode(1),
        folder[0] == 'm'
            ? "\\[FATAL ERROR\\] Resource file not found: properties.resources.xml"
            : "\\[FATAL ERROR\\] Expecting ResourceManifest tag on Line 1 in File 'properties.resources.xml'");
  }
  GTEST_FLAG_SET(death_test_style, style);
}

// A demo to play that cannot be read ends start-up the same way.
TEST_F(ResourceManifestDeathTest, AnUnreadableDemoEndsStartUp) {
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        scratch_.RemoveAtExit();
        CountingApp& app = MakeApp();
        app.mIsWindowed = true;
        app.mEnforceSingleInstance = false;
        app.mDemo.mPlaying = true;
        app.mDemoFilePath = scratch_ / "none.dmo";
        app.Init();
      },
      ::testing::ExitedWithCode(1), "\\[FATAL ERROR\\]");
  GTEST_FLAG_SET(death_test_style, style);
}

TEST_F(ResourceManifestDeathTest, AReadableManifestLetsStartUpGoOn) {
  scratch_.Write("properties/resources.xml", "<ResourceManifest><Resources id=\"Init\"/></ResourceManifest>");
  CountingApp& app = StartApp();
  {
    const ScopedCurrentFolder inScratch(scratch_.Path());
    app.LoadResourceManifest();
  }
  EXPECT_FALSE(app.mResourceManager->HadError());
  EXPECT_TRUE(app.mResourceManager->LoadResources("Init"));
}

}  // namespace
}  // namespace Velk::Testing
