// The crash windows as the player sees them, drawn from the window layer's controls: the report
// window and the details window against pictures kept beside the tests, and the details window's
// edit box taking what is typed into it.

#include "app/CrashReportWindow.h"
#include "app/CrashSubmit.h"
#include "platform/backend/Backend.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/window/ControlPainter.h"
#include "resources/ImageLib.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace Velk {
namespace {

// Anti-aliased text may come out a little differently from another FreeType; the layout may not.
constexpr int kChannelTolerance = 48;
constexpr double kDifferingShare = 0.005;

const std::string kGoldenDir = std::string(TEST_DATA_DIR) + "/app/crash/";

int ChannelDistance(uint32_t a, uint32_t b) {
  int most = 0;
  for (int shift = 0; shift < 24; shift += 8)
    most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return most;
}

// The picture matches the golden of that name; otherwise it is kept in the build folder to look at.
void ExpectLooksLikeGolden(const ClientPicture& picture, const std::string& name) {
  auto image = ImageLib::Image::Create(picture.width, picture.height);
  for (size_t i = 0; i < picture.pixels.size(); ++i) image->GetBits()[i] = 0xFF000000u | picture.pixels[i];
  std::unique_ptr<ImageLib::Image> golden(ImageLib::GetPNGImage(kGoldenDir + name + ".png"));
  int differing = 0;
  if (golden && golden->GetWidth() == picture.width && golden->GetHeight() == picture.height) {
    for (size_t i = 0; i < picture.pixels.size(); ++i)
      if (ChannelDistance(golden->GetBits()[i], picture.pixels[i]) > kChannelTolerance) ++differing;
  }
  const bool same = golden && differing <= static_cast<int>(picture.pixels.size() * kDifferingShare);
  const std::string kept = std::string(TEST_BINARY_DIR) + "/" + name + ".png";
  if (!same) ImageLib::WritePNGImage(kept, image.get());
  EXPECT_TRUE(same) << name << ": " << differing << " pixels differ; the picture drawn is " << kept;
}

class CrashWindowsTest : public testing::Test {
 protected:
  void SetUp() override { Backend::Install(std::make_unique<HeadlessBackend>()); }
  void TearDown() override { Backend::Install(std::make_unique<HeadlessBackend>()); }
  HeadlessBackend& Headless() { return static_cast<HeadlessBackend&>(Backend::Get()); }
};

const char kReport[] =
    "Exception: Access Violation (code 0xc0000005) at address 5555555A1B2C in thread 3039\r\n"
    "Module: pelune\r\nLogical Address: 0001:0004CB2C\r\n\r\n"
    "5555555A1B2C Velk::VelkAppBase::DrawFrame()+1C\r\n5555555A0F00 Velk::VelkAppBase::StepTiming(bool)+80\r\n"
    "\r\nEAX:0000000000000000 EBX:00007FFFFFFFE3A8 ECX:0000000000000001 EDX:0000000000000010 "
    "ESI:00005555556E2F10 EDI:0000000000000000\r\n"
    "EIP:00005555555A1B2C ESP:00007FFFFFFFE200  EBP:00007FFFFFFFE280\r\n"
    "CS:0033 SS:002B DS:0000 ES:0000 FS:0000 GS:0000\r\nFlags:00010246\r\n\r\n"
    "Windows Ver: NT 6.1 Linux Build 6.1.0\r\nDDraw Ver: \r\nDSound Ver: \r\n\r\n"
    "Product: Pelune Cafe\r\nVersion: 1.0\r\nTime Loaded: 00:03:12\r\nFullscreen: No\r\nPrimary ThreadId: 3039\r\n";

TEST_F(CrashWindowsTest, TheReportWindowAndItsScrolledReport) {
  HWND window = CrashReportWindow::Create(kReport, false, true);
  ASSERT_NE(window, nullptr);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 300);
  ExpectLooksLikeGolden(ControlPainter::Paint(window), "report_window");
  // The report scrolled to its end by the keys.
  HWND report = GetDlgItem(window, 2);
  SetFocus(report);
  Headless().InjectKey(window, VK_END, true);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  ExpectLooksLikeGolden(ControlPainter::Paint(window), "report_window_end");
  DestroyWindow(window);
}

TEST_F(CrashWindowsTest, TheDetailsWindowTakesTheUsersWords) {
  HWND window = CrashSubmit::MakeDetailsWindow(true);
  ASSERT_NE(window, nullptr);
  HWND comment = GetDlgItem(window, 3);
  SetFocus(comment);
  Headless().InjectText(window, "It fell over when I opened the cafe.");
  Headless().InjectKey(window, VK_RETURN, true);
  Headless().InjectText(window, "Twice");
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_EQ(GetWindowTextLengthW(comment), 43);
  ExpectLooksLikeGolden(ControlPainter::Paint(window), "details_window");
  DestroyWindow(window);
}

}  // namespace
}  // namespace Velk
