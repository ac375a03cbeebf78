// The system's controls as a player meets them: an edit takes typing and scrolls by wheel, keys and
// its scroll bar; a button clicks only when let go over it; the lines wrap at blanks.

#include "HeadlessWindowTest.h"

#include "platform/window/ControlPainter.h"
#include "platform/window/EditControl.h"

namespace {

using Velk::EditControl;
using Velk::EditLayout;
using Velk::MouseButton;

// Every character 7 pixels wide.
int Fixed(const wchar_t*, size_t count) { return static_cast<int>(count) * 7; }

std::vector<std::wstring> Shown(const std::wstring& text, int width) {
  std::vector<std::wstring> lines;
  const EditLayout layout(text, width, Fixed);
  for (const Velk::EditLine& line : layout.Lines()) lines.push_back(text.substr(line.start, line.length));
  return lines;
}

TEST(EditLayoutTest, BreaksAtLineEndsAndWrapsAtBlanks) {
  EXPECT_EQ(Shown(L"one\r\ntwo\nthree", 700), (std::vector<std::wstring>{L"one", L"two", L"three"}));
  // 10 characters fit in 70 pixels.
  EXPECT_EQ(Shown(L"alpha beta gamma", 70), (std::vector<std::wstring>{L"alpha beta", L"gamma"}));
  EXPECT_EQ(Shown(L"abcdefghijklmnopqrstuvwxy", 70),
            (std::vector<std::wstring>{L"abcdefghij", L"klmnopqrst", L"uvwxy"}));
  EXPECT_EQ(Shown(L"a\r\n\r\n", 70), (std::vector<std::wstring>{L"a", L"", L""}));
  EXPECT_EQ(EditLayout::LineOfIn(EditLayout(L"ab\r\ncd", 70, Fixed).Lines(), 6), 1);
}

class ControlsTest : public HeadlessWindowTest {
 protected:
  HWND MakeDialog() { return MakeWindow(0, WS_POPUP | WS_CAPTION, RECT{100, 50, 506, 375}); }
  HWND MakeControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id, RECT r) {
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr,
                           nullptr);
  }
  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  std::wstring Text(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  void Click(HWND top, int x, int y) {
    headless->InjectMouseButton(top, MouseButton::Left, true, x, y);
    headless->InjectMouseButton(top, MouseButton::Left, false, x, y);
    Pump();
  }
};

TEST_F(ControlsTest, TypingGoesToTheFocusedEditAndAReadOnlyOneTakesNone) {
  HWND top = MakeDialog();
  HWND notes = MakeControl(top, L"EDIT", L"", ES_MULTILINE | WS_BORDER | WS_VSCROLL, 3, RECT{8, 92, 392, 260});
  HWND fixed = MakeControl(top, L"EDIT", L"fixed", ES_MULTILINE | ES_READONLY, 4, RECT{8, 8, 392, 84});
  SetFocus(notes);
  headless->InjectFocus(top, true);  // the window's activation gives the focus back to the edit
  headless->InjectText(top, "Hallo");
  headless->InjectKey(top, VK_BACK, true);
  headless->InjectKey(top, VK_RETURN, true);
  headless->InjectText(top, "x\xc3\xa9");
  headless->InjectKey(top, VK_LEFT, true);
  headless->InjectKey(top, VK_LEFT, true);
  headless->InjectKey(top, VK_DELETE, true);
  Pump();
  EXPECT_EQ(Text(notes), L"Hall\r\n\u00e9");
  Click(top, 20, 20);  // into the read-only text: it takes the focus, not the typing
  headless->InjectText(top, "y");
  Pump();
  EXPECT_EQ(GetFocus(), fixed);
  EXPECT_EQ(Text(fixed), L"fixed");
}

TEST_F(ControlsTest, TheScrollBarTheWheelAndTheKeysMoveTheReport) {
  HWND top = MakeDialog();
  std::wstring report;
  for (int i = 0; i < 60; ++i) report += L"line " + std::to_wstring(i) + L"\r\n";
  HWND edit = MakeControl(top, L"EDIT", report.c_str(), ES_MULTILINE | ES_READONLY | WS_BORDER | WS_VSCROLL, 2,
                          RECT{8, 92, 392, 260});
  const Velk::EditView view = EditControl::View(edit);
  ASSERT_GT(view.maxTop, 0);
  EXPECT_EQ(view.maxTop, 61 - view.visibleLines);  // 60 lines and the empty one after the last line end
  auto top_line = [&] { return EditControl::View(edit).state.topLine; };
  // The bar's arrows in the dialog's coordinates: the bar is the last 16 pixels inside the border.
  const int barX = 8 + view.up.left + 8;
  Click(top, barX, 92 + view.down.top + 4);
  EXPECT_EQ(top_line(), 1);
  Click(top, barX, 92 + view.up.top + 4);
  EXPECT_EQ(top_line(), 0);
  Click(top, barX, 92 + view.track.bottom - 2);  // the track below the thumb: a page down
  EXPECT_EQ(top_line(), view.visibleLines);
  headless->InjectMouseMove(top, 100, 150);
  headless->InjectWheel(top, -1);
  Pump();
  EXPECT_EQ(top_line(), view.visibleLines + EditControl::kWheelLines);
  headless->InjectKey(top, VK_END, true);
  Pump();
  EXPECT_EQ(top_line(), view.maxTop);
  headless->InjectKey(top, VK_PRIOR, true);
  Pump();
  EXPECT_EQ(top_line(), view.maxTop - view.visibleLines);
  // The thumb dragged to the top of the track and then below its end.
  const Velk::EditView now = EditControl::View(edit);
  const int grab = 92 + now.thumb.top + 2;
  headless->InjectMouseButton(top, MouseButton::Left, true, barX, grab);
  headless->InjectMouseMove(top, barX, 92 + now.track.top + 2);
  Pump();
  EXPECT_EQ(top_line(), 0);
  headless->InjectMouseMove(top, barX + 40, 500);  // off the bar, still held
  headless->InjectMouseButton(top, MouseButton::Left, false, barX + 40, 500);
  Pump();
  EXPECT_EQ(top_line(), view.maxTop);
}

TEST_F(ControlsTest, AButtonClicksWhenLetGoOverItWhileEnabled) {
  HWND top = MakeDialog();
  HWND button = MakeControl(top, L"BUTTON", L"Close Now", 0, 7, RECT{8, 268, 392, 292});
  sent().clear();
  Click(top, 50, 280);
  ASSERT_EQ(sent().size(), 1u);
  EXPECT_EQ(sent()[0], (Record{top, WM_COMMAND, 7, static_cast<LPARAM>(reinterpret_cast<uintptr_t>(button))}));
  headless->InjectMouseButton(top, MouseButton::Left, true, 50, 280);
  headless->InjectMouseMove(top, 50, 200);
  Pump();
  EXPECT_TRUE(sent().size() == 1u);
  headless->InjectMouseButton(top, MouseButton::Left, false, 50, 200);
  EnableWindow(button, FALSE);
  Click(top, 50, 280);
  Pump();
  EXPECT_EQ(sent().size(), 1u);
}

}  // namespace
