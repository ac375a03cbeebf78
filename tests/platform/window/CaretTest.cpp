#include "HeadlessWindowTest.h"

namespace {

// The caret belongs to the process; every test starts without one.
class Caret : public HeadlessWindowTest {
 protected:
  void SetUp() override {
    HeadlessWindowTest::SetUp();
    DestroyCaret();
    headless->CaretCalls().clear();
  }
};

using Velk::CaretRecord;

TEST_F(Caret, ShowsOnlyOnceEveryHideIsUndoneAndTheBackEndSeesEachChange) {
  HWND hwnd = MakeWindow();
  ASSERT_TRUE(CreateCaret(hwnd, nullptr, 0, 0));
  EXPECT_TRUE(SetCaretPos(790, 10));
  EXPECT_TRUE(ShowCaret(hwnd));
  EXPECT_FALSE(ShowCaret(hwnd));  // already shown
  EXPECT_TRUE(HideCaret(hwnd));
  EXPECT_TRUE(HideCaret(hwnd));
  EXPECT_TRUE(ShowCaret(hwnd));  // still hidden once
  EXPECT_EQ(headless->CaretCalls(), (std::vector<CaretRecord>{{"CreateCaret", hwnd, false, 0, 0},
                                                              {"SetCaretPos", hwnd, false, 790, 10},
                                                              {"ShowCaret", hwnd, true, 790, 10},
                                                              {"HideCaret", hwnd, false, 790, 10},
                                                              {"HideCaret", hwnd, false, 790, 10},
                                                              {"ShowCaret", hwnd, false, 790, 10}}));
  ASSERT_TRUE(DestroyCaret());
  POINT pt;
  EXPECT_FALSE(GetCaretPos(&pt));
  EXPECT_FALSE(SetCaretPos(1, 2));
  EXPECT_FALSE(DestroyCaret());
}

TEST_F(Caret, CreatingReplacesTheCaretAndOnlyTheOwnerControlsIt) {
  HWND first = MakeWindow();
  HWND second = MakeWindow(0);
  ASSERT_TRUE(CreateCaret(first, nullptr, 0, 0));
  SetCaretPos(50, 60);
  ASSERT_TRUE(CreateCaret(second, nullptr, 2, 16));
  POINT pt;
  ASSERT_TRUE(GetCaretPos(&pt));
  EXPECT_EQ(pt.x, 0);
  EXPECT_FALSE(ShowCaret(first));
  EXPECT_FALSE(HideCaret(first));
  EXPECT_FALSE(CreateCaret(reinterpret_cast<HWND>(0x1234), nullptr, 0, 0));  // not a window
  EXPECT_TRUE(ShowCaret(second));                                            // the caret survived
}

}  // namespace
