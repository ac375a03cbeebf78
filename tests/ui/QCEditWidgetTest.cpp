#include "ui/QCEditWidget.h"

#include "RecordingDialog.h"
#include "UiHarness.h"
#include "platform/window/WinUser.h"

namespace {

using Velk::Color;
using Log = std::vector<std::string>;

const char* kField = R"(<element type="qcedit" name="e" x="100" y="50" width="200" height="24" visible="true"
    hilite_color="ff3060c0"><texture id="normal" texture="white"/><texture id="disabled" texture="grey"/></element>)";

// A field whose key handling is recorded.
class KeyLoggingEdit : public QCEditWidget {
 public:
  using QCEditWidget::QCEditWidget;
  void ProcessKey(int keyCode, wchar_t ch) override {
    keys.push_back(keyCode);
    QCEditWidget::ProcessKey(keyCode, ch);
  }
  std::vector<int> keys;
};

class QCEditWidgetTest : public UiHarness {
 protected:
  QCEditWidget* Field(const std::string& around = "%") {
    screen = new RecordingDialog(nullptr, engine.get());
    std::string body = around;
    body.replace(body.find('%'), 1, kField);
    BuildInto(screen, R"(<element type="qcdialog" name="s" width="800" height="600">)" + body + "</element>");
    QCCandyWidget* holder = screen->FindChild("inner") ? screen->FindChild("inner") : screen;
    auto* field = Child<QCEditWidget>(holder, "e");
    EXPECT_NE(field, nullptr);
    field->SetTextAttr(TextNormal, &font, Color(0, 0, 0), Color(255, 255, 255));
    return field;
  }
  RecordingDialog* screen = nullptr;
};

TEST_F(QCEditWidgetTest, TypingThroughTheManagerFillsAndDrawsTheField) {
  QCEditWidget* field = Field();
  Click(110, 60);
  EXPECT_EQ(Manager()->mFocusWidget, field);
  Type(L"Ann");
  EXPECT_EQ(field->GetText(), L"Ann");
  Update();
  Draw();
  // The text starts 4 pixels in; the blocks are 9 wide and stand on the middle of the field.
  EXPECT_TRUE(PixelIs(100 + 4 + 2, 50 + 12, 0xFF000000));
  EXPECT_TRUE(PixelIs(100 + 4 + 25, 50 + 12, 0xFF000000));
  EXPECT_TRUE(PixelIs(100 + 4 + 35, 50 + 12, 0xFFFFFFFF));
}

TEST_F(QCEditWidgetTest, LetterKeyDownsOnlyMoveTheFocusButZGoesThrough) {
  screen = new RecordingDialog(nullptr, engine.get());
  BuildInto(screen, R"(<element type="qcdialog" name="s" width="800" height="600"/>)");
  auto* field = new KeyLoggingEdit(screen);
  screen->BindControl("e", field);
  field->SetVisible(true);
  for (int key = 60; key <= 91; ++key) field->KeyDown(key);
  EXPECT_EQ(field->keys, (std::vector<int>{60, 61, 62, 63, 64, 90, 91}));
}

TEST_F(QCEditWidgetTest, EnterAndEscapeReachTheScreenOnce) {
  for (const char* around :
       {"%", R"(<element type="qcdialog" name="inner" width="800" height="600" visible="true">%</element>)"}) {
    QCEditWidget* field = Field(around);
    Manager()->SetFocus(field);
    KeyDown(13);
    KeyDown(27);
    KeyDown(40);
    EXPECT_EQ(screen->Take(), (Log{"key 13", "key 27"})) << around;
    screen->SetVisible(false);
  }
  QCEditWidget loose(nullptr);
  loose.ProcessKey(13, 0);  // no dialog above: passed nowhere
}

TEST_F(QCEditWidgetTest, ADoubleClickSelectsTheWord) {
  QCEditWidget* field = Field();
  field->SetText(L"ab cd", true);
  Press(100 + 24, 60, 2);
  Release(100 + 24, 60, 2);
  EXPECT_EQ(field->GetEditState().mAnchor, 0);
  EXPECT_EQ(field->GetEditState().mCaret, 5);
}

TEST_F(QCEditWidgetTest, ClipboardGoesThroughTheApplication) {
  QCEditWidget* field = Field();
  Manager()->SetFocus(field);
  engine->SetClipboardText("old");
  field->SetText(L"\u0416\u0416", true);
  Hold(17, true);
  KeyDown(17);
  Char(24);
  EXPECT_EQ(field->GetText(), L"\u0416\u0416");
  EXPECT_EQ(engine->GetClipboardText(), "old");
  field->SetText(L"caf\u00e9", true);
  Char(24);
  EXPECT_EQ(field->GetText(), L"");
  EXPECT_EQ(engine->GetClipboardText(), "caf\xe9");
  Char(22);
  EXPECT_EQ(field->GetText(), L"caf\u00e9");
}

TEST_F(QCEditWidgetTest, TheCaretBlinksEvery41UpdatesWhileFocused) {
  QCEditWidget* field = Field();
  Update(50);
  EXPECT_FALSE(field->GetEditState().mCaretVisible);
  Manager()->SetFocus(field);
  EXPECT_TRUE(field->GetEditState().mCaretVisible);
  Update(40);
  EXPECT_TRUE(field->GetEditState().mCaretVisible);
  Update();
  EXPECT_FALSE(field->GetEditState().mCaretVisible);
  Update(41);
  EXPECT_TRUE(field->GetEditState().mCaretVisible);
  Manager()->SetFocus(nullptr);
  EXPECT_FALSE(field->GetEditState().mCaretVisible);
}

TEST_F(QCEditWidgetTest, OnATabletThePlacedSystemCaretFollowsTheFocus) {
  WNDCLASSW wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = L"UiTestMain";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, L"UiTestMain", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
  engine->mHWnd = hwnd;
  engine->mTabletPC = true;
  screen = new RecordingDialog(nullptr, engine.get());
  BuildInto(screen, R"(<element type="qcdialog" name="s" x="0" y="0" width="800" height="600">
      <element type="qcedit" name="far" x="795" y="2" width="4" height="4" visible="true"/></element>)");
  QCCandyWidget* field = screen->FindChild("far");
  headless->CaretCalls().clear();
  Manager()->SetFocus(field);
  Update();
  Manager()->SetFocus(nullptr);
  using Velk::CaretRecord;
  EXPECT_EQ(headless->CaretCalls(), (std::vector<CaretRecord>{{"CreateCaret", hwnd, false, 0, 0},
                                                              {"SetCaretPos", hwnd, false, 790, 10},
                                                              {"ShowCaret", hwnd, true, 790, 10},
                                                              {"SetCaretPos", hwnd, true, 790, 10},
                                                              {"HideCaret", hwnd, false, 790, 10},
                                                              {"DestroyCaret", nullptr, false, 0, 0}}));
  DestroyWindow(hwnd);
}

}  // namespace
