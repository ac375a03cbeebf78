#include <chrono>
#include <filesystem>

#include "DisplayTestKit.h"
#include "graphics/D3DTester.h"
#include "platform/d3d/D3DSettings.h"
#include "../platform/ScopedEnv.h"
#include "../platform/ScratchFolder.h"

namespace Velk::Testing {
namespace {

class D3DTesterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Desktop(1024, 768, 32);
    DDrawSettings::Reset();
    D3DSettings::Reset();
  }
  void TearDown() override {
    if (mDD) mDD->Release();
    std::filesystem::current_path(mFolder);
    DDrawSettings::Reset();
    D3DSettings::Reset();
    ModuleTable::ShowAll();
  }

  static void Desktop(int w, int h, int bits) {
    auto backend = std::make_unique<HeadlessBackend>();
    DisplayInfo info = backend->Display();
    info.desktop = DisplayMode{w, h, bits, 60};
    backend->SetDisplay(info);
    Backend::Install(std::move(backend));
  }

  // Runs the whole test on a fresh DirectDraw object with the given limits (MB).
  void Run(DWORD minimum = 6, DWORD recommended = 14) {
    if (mDD) mDD->Release();
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDD), IID_IDirectDraw7, nullptr), DD_OK);
    mTester.Run(nullptr, mDD, minimum, recommended);
  }

  void InScratch() { std::filesystem::current_path(mScratch.Path()); }

  // A driver file last written in the given year.
  void Driver(int year) {
    const std::string path = mScratch / "driver.sys";
    mScratch.Write("driver.sys", "x");
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = 5;
    when.tm_mday = 1;
    const auto sys = std::chrono::system_clock::from_time_t(timegm(&when));
    std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(sys));
    DDrawSettings::Get().driver = path;
  }

  D3DTester mTester;
  IDirectDraw7* mDD = nullptr;
  ScratchFolder mScratch;
  std::filesystem::path mFolder = std::filesystem::current_path();
};

TEST_F(D3DTesterTest, TheSoftwareDevicePassesEveryPicture) {
  Run();
  EXPECT_EQ(mTester.mFailureReason, "");
  EXPECT_EQ(mTester.mWarning, "");
  EXPECT_TRUE(D3DTester::sUse32BitTextures);
  EXPECT_EQ(mTester.mD3DDevice, nullptr);  // everything released
}

TEST_F(D3DTesterTest, CardListsRefuseBeforeTheyAccept) {
  InScratch();
  mTester.mDriverYear = 2001;
  EXPECT_TRUE(mTester.IsCardSupported("GeForce by NviDIA"));
  EXPECT_TRUE(mTester.IsCardSupported("ATI Rage"));
  EXPECT_FALSE(mTester.IsCardSupported("Matrox Graphics"));
  mTester.mDriverYear = 2002;
  EXPECT_TRUE(mTester.IsCardSupported("Matrox Graphics"));

  mScratch.Write("vhw.dat", "\n   \n  super CARD  \r\n");
  EXPECT_TRUE(mTester.IsCardSupported("The Super Card 3000"));
  EXPECT_FALSE(mTester.IsCardSupported("GeForce by NVIDIA"));
  mScratch.Write("vhwb.dat", "\n  3000 \n");
  EXPECT_FALSE(mTester.IsCardSupported("The Super Card 3000"));
  EXPECT_TRUE(mTester.IsCardSupported("The Super Card 2000"));
}

TEST_F(D3DTesterTest, AnOldUnknownCardOnlyWarns) {
  InScratch();
  Driver(2001);
  DDrawSettings::Get().description = "Generic Display";
  Run();
  EXPECT_EQ(mTester.mDriverYear, 2001);
  EXPECT_EQ(mTester.mFailureReason, "");
  EXPECT_EQ(mTester.mWarning, "Unsupported video card: Generic Display");
}

// 64 MB of video memory plus a 1024 x 768 x 32 desktop (3 MB) count as 67 MB.
TEST_F(D3DTesterTest, VideoMemoryCountsTheDesktop) {
  DDrawSettings::Get().videoMemoryTotal = 64u << 20;
  Run(67, 67);
  EXPECT_EQ(mTester.mFailureReason, "");
  EXPECT_EQ(mTester.mWarning, "");
  Run(64, 68);
  EXPECT_EQ(mTester.mWarning, "Low video memory.");
  Run(68, 68);
  EXPECT_EQ(mTester.mFailureReason, "Not enough video memory.");
}

TEST_F(D3DTesterTest, MissingTextureFormats) {
  D3DSettings::UseNoA8R8G8B8();
  Run();
  EXPECT_EQ(mTester.mFailureReason, "");
  EXPECT_EQ(mTester.mWarning, "A8R8G8B8 texture format not supported.");
  EXPECT_FALSE(D3DTester::sUse32BitTextures);
  D3DSettings::Get().formats &= ~static_cast<DWORD>(D3DSettings::kA4R4G4B4);
  Run();
  EXPECT_EQ(mTester.mFailureReason, "A4R4G4B4 and A8R8G8B8 texture formats not supported.");
}

TEST_F(D3DTesterTest, BrokenBlendingFailsWithTheTestsText) {
  struct Case {
    std::function<void(DWORD&, DWORD&)> fault;
    const char* failure;
    const char* warning;
  };
  // Draws with SRCALPHA / INVSRCALPHA come twice from the alpha blend test, twice from the modulated
  // test and once from the clip test.
  auto fromDraw = [](int first) {
    auto count = std::make_shared<int>(0);
    return [count, first](DWORD& src, DWORD& dst) {
      if (dst == D3DBLEND_INVSRCALPHA && ++*count >= first) src = D3DBLEND_ZERO, dst = D3DBLEND_ZERO;
    };
  };
  const Case cases[] = {
      {fromDraw(1), "Alpha blend Not Supported", ""},
      {[](DWORD& src, DWORD& dst) {
         if (src == D3DBLEND_ONE) dst = D3DBLEND_ZERO;
       },
       "Additive blend not supported.", ""},
      {[](DWORD& src, DWORD& dst) {
         if (src == D3DBLEND_SRCALPHA && dst == D3DBLEND_ONE) src = D3DBLEND_ZERO;
       },
       "AlphaAdd blend not supported.", ""},
      {fromDraw(3), "AlphaModulated blend not supported.", ""},
      {fromDraw(5), "", "Clip problem detected."},
  };
  for (const Case& c : cases) {
    D3DSettings::Get().blendFault = c.fault;
    Run();
    EXPECT_EQ(mTester.mFailureReason, c.failure);
    EXPECT_EQ(mTester.mWarning, c.warning);
  }
}

TEST_F(D3DTesterTest, DirectXFailuresNameTheCall) {
  DDrawFaults::Fail("CreateDevice", DDERR_INVALIDCAPS);
  Run();
  EXPECT_EQ(mTester.mFailureReason, "DXError - CreateDevice: DDERR_INVALIDCAPS");
  {
    ScopedEnv software("VELK_FORCE_SOFTWARE", "1");
    Run();
    EXPECT_EQ(mTester.mFailureReason.rfind("DXError - CreateDevice: ", 0), 0u) << mTester.mFailureReason;
  }
  DDrawFaults::Fail("Lock", DDERR_SURFACEBUSY);
  Run();
  EXPECT_EQ(mTester.mFailureReason, "DXError - Lock Texture: DDERR_SURFACEBUSY");
  ModuleTable::HideEntry("ddraw.dll", "DirectDrawCreateEx");
  mTester.Run(nullptr, nullptr, 6, 14);
  EXPECT_EQ(mTester.mFailureReason, "No DirectDrawCreateEx");
}

TEST_F(D3DTesterTest, TwentyFourBitDesktopsCannotBeTested) {
  DDrawSettings::Get().desktopBits = 24;
  Run();
  EXPECT_EQ(mTester.mFailureReason, "Can't test 24-bit mode.");
}

}  // namespace
}  // namespace Velk::Testing
