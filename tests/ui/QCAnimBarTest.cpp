#include "UiHarness.h"
#include "ui/QCAnim.h"
#include "ui/QCBar.h"

namespace {

class QCAnimTest : public UiHarness {
 protected:
  QCAnim* Make(const std::string& attributes) {
    dialog = Build(R"(<element type="qcdialog" name="d" width="800" height="600">
        <element type="qcanim" name="a" x="10" y="10" width="20" height="20" visible="true" )" +
                   attributes + R"(><texture texture="red"/><texture texture="green"/><texture texture="blue"/>
        </element></element>)");
    return Child<QCAnim>(dialog, "a");
  }
  // The updates (counted from 1) on which the frame changed, and the frames it changed to.
  std::vector<std::pair<int, int>> Run(QCAnim* anim, int updates) {
    std::vector<std::pair<int, int>> changes;
    int frame = anim->GetCurrentFrame();
    for (int i = 1; i <= updates; ++i) {
      Update();
      if (anim->GetCurrentFrame() != frame) changes.emplace_back(i, frame = anim->GetCurrentFrame());
    }
    return changes;
  }
  QCDialog* dialog = nullptr;
};

// 0.01 added in double and kept as a float: after 10 updates 0.099999994, below 0.1.
TEST_F(QCAnimTest, TenFramesASecondStepOnUpdates11_21_31AndLoop) {
  QCAnim* anim = Make(R"(fps="10")");
  ASSERT_EQ(anim->GetCurrentFrame(), 0);
  float t = 0.0f;
  for (int i = 0; i < 10; ++i) t = static_cast<float>(t + 10 / 1000.0);
  ASSERT_LT(t, 0.1);
  EXPECT_EQ(Run(anim, 31), (std::vector<std::pair<int, int>>{{11, 1}, {21, 2}, {31, 0}}));
  Draw();
  EXPECT_TRUE(PixelIs(15, 15, 0xFFFF0000));
}

TEST_F(QCAnimTest, AOneShotStopsOnItsLastFrameUntilShownAgain) {
  QCAnim* anim = Make(R"(fps="10" oneshot="true")");
  EXPECT_EQ(Run(anim, 60), (std::vector<std::pair<int, int>>{{11, 1}, {21, 2}}));
  EXPECT_TRUE(anim->IsStopped());
  anim->SetVisible(false);
  EXPECT_EQ(anim->GetCurrentFrame(), -1);
  anim->SetVisible(true);
  EXPECT_EQ(anim->GetCurrentFrame(), 0);
  EXPECT_FALSE(anim->IsStopped());
}

TEST_F(QCAnimTest, AtMostOneStepPerUpdateAndNoneWithoutAFrameRate) {
  QCAnim* fast = Make(R"(fps="200")");
  EXPECT_EQ(Run(fast, 3), (std::vector<std::pair<int, int>>{{1, 1}, {2, 2}, {3, 0}}));
  EXPECT_GT(fast->GetElapsed(), 0.0f);  // 0.01 a step, 0.005 used: the rest piles up
  QCAnim* still = Make(R"(fps="0")");
  EXPECT_TRUE(Run(still, 50).empty());
}

TEST_F(QCAnimTest, TheRemainderCarriesOverAHide) {
  QCAnim* anim = Make(R"(fps="10")");
  Update(7);
  anim->SetVisible(false);
  Update(5);
  anim->SetVisible(true);
  EXPECT_EQ(Run(anim, 4), (std::vector<std::pair<int, int>>{{4, 1}}));
}

TEST_F(QCAnimTest, DrawsWithTheChainsOpacityAndNoFramesDrawNothing) {
  dialog = Build(R"(<element type="qcdialog" name="d" width="800" height="600">
      <element type="qcanim" name="a" width="20" height="20" visible="true" fps="10"/></element>)");
  QCAnim* anim = Child<QCAnim>(dialog, "a");
  Update(20);
  EXPECT_EQ(anim->GetCurrentFrame(), -1);
  dialog->mOpacity = 0.5f;
  Velk::Graphics g(&frame);
  anim->Draw(&g);
  EXPECT_EQ(g.GetColor().mAlpha, 127);
}

class QCBarTest : public UiHarness {
 protected:
  QCBar* Make(const std::string& attributes, const std::string& parts = R"(<texture id="fill" texture="green"/>
        <texture id="empty" texture="grey"/>)") {
    dialog = Build(R"(<element type="qcdialog" name="d" width="800" height="600">
        <element type="qcbar" name="b" x="0" y="0" height="10" visible="true" )" +
                   attributes + ">" + parts + "</element></element>");
    return Child<QCBar>(dialog, "b");
  }
  // One letter per 5-pixel step across the first 100 pixels: f fill, e empty, . nothing.
  std::string Row() {
    Draw();
    std::string row;
    for (int x = 2; x < 100; x += 5) row += PixelIs(x, 5, 0xFF00FF00) ? 'f' : PixelIs(x, 5, 0xFF808080) ? 'e' : '.';
    return row;
  }
  QCDialog* dialog = nullptr;
};

TEST_F(QCBarTest, SegmentsFillInProportionToTheValue) {
  QCBar* bar = Make(R"(width="100" seg_width="10")");
  bar->SetMax(4);
  bar->SetValue(2);
  EXPECT_EQ(Row(), "ffffffffffeeeeeeeeee");  // i / 10 < 0.5 for i = 0 .. 4
  bar->SetValue(4);
  EXPECT_EQ(Row(), "ffffffffffffffffffff");
  bar->SetValue(0);
  EXPECT_EQ(Row(), "eeeeeeeeeeeeeeeeeeee");
  bar->SetMax(0);
  bar->SetValue(1);
  EXPECT_EQ(Row(), "ffffffffffffffffffff");
  bar->SetValue(0);
  EXPECT_EQ(Row(), "eeeeeeeeeeeeeeeeeeee");
}

TEST_F(QCBarTest, WholeSegmentsOnlyAndScaledWithTheDialog) {
  QCBar* bar = Make(R"(width="95" seg_width="10")");
  bar->SetMax(1);
  bar->SetValue(1);
  EXPECT_EQ(Row(), "ffffffffffffffffff..");  // nine segments; the last 5 pixels stay empty
  dialog->mScale = 0.5f;
  EXPECT_EQ(Row(), "fffffffff...........");  // nine 5-pixel segments side by side
}

TEST_F(QCBarTest, NoSegmentWidthOrNoPictureDrawsNothing) {
  for (const char* attributes : {R"(width="100" seg_width="0")", R"(width="100")"}) {
    QCBar* bar = Make(attributes);
    bar->SetMax(4);
    bar->SetValue(2);
    EXPECT_EQ(Row(), "....................") << attributes;
    dialog->SetVisible(false);
  }
  QCBar* bar = Make(R"(width="100" seg_width="10")", R"(<texture id="fill"/><texture id="empty" texture="grey"/>)");
  bar->SetMax(4);
  bar->SetValue(2);
  EXPECT_EQ(Row(), "....................");
}

}  // namespace
