#include "ui/QCEditBuffer.h"

#include <gtest/gtest.h>

#include "EditTestSupport.h"

namespace {

constexpr int kShift = 1;
constexpr int kCtrl = 2;

struct Step {
  int key;
  wchar_t ch;
  int mods;
};

Step Key(int key, int mods = 0) { return {key, 0, mods}; }
Step Char(wchar_t ch) { return {0, ch, 0}; }

struct Script {
  const char* name;
  std::wstring text;
  int caret;
  int anchor;
  std::string clipboard;
  std::vector<Step> steps;
  std::wstring wantText;
  int wantCaret;
  int wantAnchor;
  std::string wantClipboard;
};

std::vector<Step> Typed(const std::wstring& s) {
  std::vector<Step> steps;
  for (wchar_t c : s) steps.push_back(Char(c));
  return steps;
}

template <typename... More>
std::vector<Step> Then(std::vector<Step> a, More... more) {
  (a.push_back(more), ...);
  return a;
}

const Script kScripts[] = {
    {"typing at the limit moves only the caret",
     L"abcdefghijklmno",
     3,
     -1,
     "",
     {Char(L'x')},
     L"abcdefghijklmno",
     4,
     -1,
     ""},
    {"paste without selection fits below 15",
     L"abcdefghijkl",
     12,
     -1,
     "xy",
     {Char(22)},
     L"abcdefghijklxy",
     14,
     -1,
     "xy"},
    {"paste without selection reaching 15 inserts nothing",
     L"abcdefghijkl",
     0,
     -1,
     "xyz",
     {Char(22)},
     L"abcdefghijkl",
     3,
     -1,
     "xyz"},
    {"paste over a selection is cut to 15",
     L"abcdefghijklmn",
     1,
     0,
     "1234",
     {Char(22)},
     L"1234bcdefghijkl",
     4,
     -1,
     "1234"},
    {"paste stops at a line break and skips glyphless", L"", 0, -1, "a~b\r\nc", {Char(22)}, L"ab", 2, -1, "a~b\r\nc"},
    {"empty clipboard pastes nothing", L"ab", 1, -1, "", {Char(22)}, L"ab", 1, -1, ""},
    {"ctrl+right stops at word starts, then the end", L"ab cd", 0, -1, "", {Key(39, kCtrl)}, L"ab cd", 3, -1, ""},
    {"ctrl+right from a word start", L"ab cd", 3, -1, "", {Key(39, kCtrl)}, L"ab cd", 5, -1, ""},
    {"ctrl+left walks back word by word", L"ab cd", 5, -1, "", {Key(37, kCtrl), Key(37, kCtrl)}, L"ab cd", 0, -1, ""},
    {"shift+home selects to the start", L"abcd", 3, -1, "", {Key(36, kShift)}, L"abcd", 0, 3, ""},
    {"home without shift drops the selection", L"abcd", 3, 1, "", {Key(36)}, L"abcd", 0, -1, ""},
    {"left collapses a selection to its start", L"abcd", 3, 1, "", {Key(37)}, L"abcd", 1, -1, ""},
    {"right collapses a selection to its end", L"abcd", 1, 3, "", {Key(39)}, L"abcd", 3, -1, ""},
    {"shift+left extends from the caret", L"abc", 3, -1, "", {Key(37, kShift), Key(37, kShift)}, L"abc", 1, 3, ""},
    {"backspace at 0 removes nothing", L"ab", 0, -1, "", {Key(8)}, L"ab", 0, -1, ""},
    {"backspace and delete", L"abcd", 2, -1, "", {Key(8), Key(46)}, L"ad", 1, -1, ""},
    {"backspace removes a selection", L"abcd", 3, 1, "", {Key(8)}, L"ad", 1, -1, ""},
    {"typing replaces a selection", L"abcd", 1, 3, "", {Char(L'x')}, L"axd", 2, -1, ""},
    {"a refused character keeps the selection", L"abc", 3, 0, "", {Char(1), Char(13), Char(27)}, L"abc", 3, 0, ""},
    {"a glyphless character is refused", L"ab", 2, -1, "", {Char(L'~')}, L"ab", 2, -1, ""},
    {"ctrl+c copies and keeps the selection", L"hello", 3, 1, "", {Char(3)}, L"hello", 3, 1, "el"},
    {"ctrl+x cuts", L"hello", 1, 3, "old", {Char(24)}, L"hlo", 1, -1, "el"},
    {"ctrl+x of text the clipboard cannot carry keeps it",
     L"\u0416\u0416",
     2,
     0,
     "old",
     {Char(24)},
     L"\u0416\u0416",
     2,
     0,
     "old"},
    {"typing a run then undo empties, undo again restores", L"", 0, -1, "", Then(Typed(L"abc"), Char(26)), L"", 0, -1,
     ""},
    {"a second undo restores", L"", 0, -1, "", Then(Typed(L"abc"), Char(26), Char(26)), L"abc", 3, -1, ""},
    {"undo after backspaces restores the run", L"abc", 3, -1, "", {Key(8), Key(8), Char(26)}, L"abc", 3, -1, ""},
};

TEST(QCEditBufferKeys, ScriptsGiveTheExpectedTextCaretAndSelection) {
  FixedAdvanceFont font(10);
  for (const Script& s : kScripts) {
    SCOPED_TRACE(s.name);
    ClipboardHost host;
    host.clipboard = s.clipboard;
    QCEditBuffer b;
    b.SetFont(&font);
    b.SetWidth(400);
    b.mText = s.text;
    b.mCaret = s.caret;
    b.mAnchor = s.anchor;
    for (const Step& step : s.steps) b.ProcessKey(step.key, step.ch, step.mods & kShift, step.mods & kCtrl, host);
    EXPECT_EQ(b.mText, s.wantText);
    EXPECT_EQ(b.mCaret, s.wantCaret);
    EXPECT_EQ(b.mAnchor, s.wantAnchor);
    EXPECT_EQ(host.clipboard, s.wantClipboard);
  }
}

TEST(QCEditBufferKeys, ExtendedCharactersNeedTheApplicationsConsentAndAFont) {
  FixedAdvanceFont font(10);
  ClipboardHost host;
  QCEditBuffer b;
  b.SetFont(&font);
  host.extended = false;
  b.ProcessKey(0, 0xE9, false, false, host);
  EXPECT_EQ(b.mText, L"");
  host.extended = true;
  b.ProcessKey(0, 0xE9, false, false, host);
  EXPECT_EQ(b.mText, L"\u00E9");
  b.SetFont(nullptr);
  host.clipboard = "xy";
  b.ProcessKey(0, L'a', false, false, host);
  b.ProcessKey(0, 22, false, false, host);
  EXPECT_EQ(b.mText, L"\u00E9");
  EXPECT_EQ(b.CharIndexAt(500), 0);
}

TEST(QCEditBufferScroll, CaretStaysInsideTheUsableWidthAndLeftOfTheFirstCharGivesZero) {
  FixedAdvanceFont font(10);
  ClipboardHost host;
  QCEditBuffer b;
  b.SetFont(&font);
  b.SetWidth(58);  // 50 usable pixels: five characters
  for (wchar_t c : std::wstring(L"abcdefghij")) {
    b.ProcessKey(0, c, false, false, host);
    EXPECT_GE(b.XOf(b.mCaret), 0);
    EXPECT_LT(b.XOf(b.mCaret), 50);
  }
  EXPECT_EQ(b.mScroll, 6);
  EXPECT_EQ(b.CharIndexAt(0), 0);   // the start of the whole text, though scrolled
  EXPECT_EQ(b.CharIndexAt(10), 7);  // past the middle of the first visible character
  b.ProcessKey(36, 0, false, false, host);
  EXPECT_EQ(b.mScroll, 0);

  // A paste over a selection scrolls after a caret beyond 15; the cut brings the scroll back.
  b.SetWidth(18);
  b.mText = L"abcdefghijklmn";
  b.mCaret = 1;
  b.mAnchor = 0;
  host.clipboard = std::string(20, 'z');
  b.ProcessKey(0, 22, false, false, host);
  EXPECT_EQ(b.mText.size(), 15u);
  EXPECT_EQ(b.mCaret, 15);
  EXPECT_EQ(b.mScroll, 14);
}

}  // namespace
