#include "platform/clipboard/Clipboard.h"
#include "platform/cursor/Cursor.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/metrics/ScreenSaver.h"
#include "platform/metrics/SystemMetrics.h"
#include "platform/msgbox/MessageBox.h"
#include "platform/shell/Shell.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Services : public ::testing::Test {
 protected:
  void SetUp() override {
    auto backend = std::make_unique<Velk::HeadlessBackend>();
    headless = backend.get();
    Velk::Backend::Install(std::move(backend));
  }
  void TearDown() override { Velk::SetMessageBoxHook(nullptr); }

  Velk::HeadlessBackend* headless = nullptr;
};

TEST_F(Services, MessageBoxesWithoutAHookGiveTheSafeAnswer) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxW(nullptr, L"Fatal", L"Error", MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "Use 3-D?", "Question", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Connection Failed", "Error", MB_RETRYCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OKCANCEL), IDCANCEL);
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("[Error] Fatal"), std::string::npos);
  EXPECT_NE(log.find("[Question] Use 3-D?"), std::string::npos);
}

TEST_F(Services, MessageBoxHookSeesTheBoxAndAnswers) {
  std::wstring seenText, seenCaption;
  UINT seenType = 0;
  Velk::SetMessageBoxHook([&](const std::wstring& text, const std::wstring& caption, UINT type) {
    seenText = text;
    seenCaption = caption;
    seenType = type;
    return IDYES;
  });
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "Caf\xE9", "Q", MB_YESNO | MB_ICONQUESTION), IDYES);
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(seenText, L"Caf\u00E9");
  EXPECT_EQ(seenCaption, L"Q");
  EXPECT_EQ(seenType, MB_YESNO | MB_ICONQUESTION);
  EXPECT_NE(log.find("Caf\xC3\xA9"), std::string::npos);  // logged as UTF-8
}

TEST_F(Services, ClipboardKeepsNarrowText) {
  EXPECT_EQ(Velk::Clipboard::GetText(), "");
  ASSERT_TRUE(Velk::Clipboard::SetText("Caf\xE9 au lait"));
  EXPECT_EQ(Velk::Clipboard::GetText(), "Caf\xE9 au lait");
  // Text that another program placed may hold characters the narrow text cannot.
  headless->SetClipboardText(
      "\xE2\x82\xAC"
      "5");
  EXPECT_EQ(Velk::Clipboard::GetText(), "?5");
}

TEST_F(Services, SystemCursorsAreSharedAndNullHidesThePointer) {
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), arrow);
  HCURSOR beam = LoadCursor(nullptr, IDC_IBEAM);
  EXPECT_NE(beam, arrow);
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCEW(1)), nullptr) << "unknown ids load nothing";

  EXPECT_EQ(SetCursor(arrow), nullptr);
  EXPECT_NE(headless->ShownCursor(), nullptr);
  EXPECT_EQ(SetCursor(nullptr), arrow);
  EXPECT_EQ(headless->ShownCursor(), nullptr);
  EXPECT_EQ(GetCursor(), nullptr);
  EXPECT_TRUE(DestroyCursor(arrow));
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), arrow) << "a shared cursor outlives DestroyCursor";
}

TEST_F(Services, CustomCursorsAreCheckedMadeAndDestroyed) {
  BYTE andPlane[32 * 4] = {};
  BYTE xorPlane[32 * 4] = {};
  EXPECT_EQ(CreateCursor(nullptr, 11, 4, 30, 32, andPlane, xorPlane), nullptr);  // rows must be whole bytes
  EXPECT_EQ(CreateCursor(nullptr, 32, 4, 32, 32, andPlane, xorPlane), nullptr);  // hot spot outside
  EXPECT_EQ(CreateCursor(nullptr, 11, 4, 32, 32, nullptr, xorPlane), nullptr);
  HCURSOR hand = CreateCursor(nullptr, 11, 4, 32, 32, andPlane, xorPlane);
  ASSERT_NE(hand, nullptr);
  SetCursor(hand);
  EXPECT_NE(headless->ShownCursor(), nullptr);
  EXPECT_TRUE(DestroyCursor(hand));
  EXPECT_EQ(GetCursor(), nullptr);
  EXPECT_EQ(headless->ShownCursor(), nullptr);
  EXPECT_FALSE(DestroyCursor(hand));
}

TEST_F(Services, OpeningAnAddressIsRecordedHeadless) {
  auto result =
      reinterpret_cast<intptr_t>(ShellExecuteA(nullptr, "open", "https://example.org/caf\xE9", nullptr, nullptr, 1));
  EXPECT_GT(result, 32);
  ASSERT_EQ(headless->OpenedUrls().size(), 1u);
  EXPECT_EQ(headless->OpenedUrls()[0], "https://example.org/caf\xC3\xA9");
  EXPECT_LE(reinterpret_cast<intptr_t>(ShellExecuteA(nullptr, "print", "a.txt", nullptr, nullptr, 1)), 32);
  EXPECT_LE(reinterpret_cast<intptr_t>(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, 1)), 32);
  EXPECT_EQ(headless->OpenedUrls().size(), 1u);
}

TEST_F(Services, MetricsFollowTheConfiguredDesktop) {
  Velk::DisplayInfo display;
  display.desktop = Velk::DisplayMode{1280, 800, 32, 60};
  display.workArea = RECT{0, 24, 1280, 800};
  headless->SetDisplay(display);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 776 - 19);
  EXPECT_EQ(GetSystemMetrics(SM_TABLETPC), 0);
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work.top, 24);
  EXPECT_EQ(work.bottom, 800);
  BOOL active = TRUE;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
  EXPECT_FALSE(active);
  EXPECT_FALSE(SystemParametersInfoW(SPI_SCREENSAVERRUNNING, TRUE, nullptr, 0));
}

TEST_F(Services, TheScreenSaverAnswersComeFromTheDesktopAndAreInactiveWithoutOne) {
  int timeout = -1;
  BOOL running = TRUE;
  LASTINPUTINFO input;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &timeout, 0));
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0));
  EXPECT_EQ(timeout, 0);
  EXPECT_FALSE(running);
  EXPECT_FALSE(GetLastInputInfo(&input)) << "a headless desktop cannot tell";

  Velk::ScreenSaver::Inject(Velk::ScreenSaverState{600, true, true, 1234});
  BOOL active = FALSE;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &timeout, 0));
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0));
  ASSERT_TRUE(GetLastInputInfo(&input));
  EXPECT_EQ(timeout, 600);
  EXPECT_TRUE(active);
  EXPECT_TRUE(running);
  EXPECT_EQ(input.dwTime, 1234u);
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, nullptr, 0));
  EXPECT_FALSE(GetLastInputInfo(nullptr));
  Velk::ScreenSaver::Inject(std::nullopt);
}

TEST_F(Services, DefaultHeadlessDesktop) {
  Velk::DisplayInfo display = Velk::Backend::Get().Display();
  EXPECT_EQ(display.desktop, (Velk::DisplayMode{1024, 768, 32, 60}));
  EXPECT_EQ(display.workArea.bottom, 738);
  EXPECT_NE(std::find(display.modes.begin(), display.modes.end(), Velk::DisplayMode{800, 600, 16, 60}),
            display.modes.end());
}

}  // namespace
