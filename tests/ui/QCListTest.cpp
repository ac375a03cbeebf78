#include "ui/QCList.h"

#include "UiHarness.h"
#include "ui/QCButton.h"
#include "ui/QCLabelImage.h"
#include "ui/QCScrollBar.h"

namespace {

using Velk::Color;

// A list 200 x 100 at (0, 0) with 24-pixel lines, a 16-pixel scroll bar and a 10-pixel slider.
const char* kScroll = R"(<element name="scroll" width="16" height="100" visible="true">
    <element name="up" width="16" height="16" visible="true"><texture id="normal" texture="red"/></element>
    <element name="down" width="16" height="16" visible="true"><texture id="normal" texture="red"/></element>
    <element name="slider" width="16" height="10" visible="true"><texture id="normal" texture="blue"/></element>
  </element>)";

class QCListTest : public UiHarness {
 protected:
  QCList* Make(const std::string& attributes = R"(line_spacing="24")", const std::string& scroll = kScroll) {
    dialog = Build(R"(<element type="qcdialog" name="d" width="800" height="600">
        <element type="qclist" name="l" width="200" height="100" visible="true" left="22" sel_color="ffffff00" )" +
                   attributes + ">" + scroll + R"(<texture id="normal" texture="white"/>
        <texture id="disabled" texture="grey"/><texture id="check" texture="check"/></element></element>)");
    QCList* list = Child<QCList>(dialog, "l");
    EXPECT_NE(list, nullptr);
    list->SetTextAttr(TextNormal, &font, Color(0, 0, 0), Color(0, 255, 0));
    return list;
  }
  void Fill(QCList* list, int lines) {
    list->Clear();
    for (int i = 0; i < lines; ++i) list->AddLine(L"line" + std::to_wstring(i));
  }
  QCDialog* dialog = nullptr;
};

TEST_F(QCListTest, TheScrollBarStandsAtTheRightWithItsTrackBetweenTheArrows) {
  QCList* list = Make();
  QCScrollBar* bar = list->GetScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->mLayout, Velk::Rect(184, 0, 16, 100));
  EXPECT_EQ(bar->mUp->mLayout.mY, 0);
  EXPECT_EQ(bar->mDown->mLayout.mY, 84);
  EXPECT_EQ(bar->mDistY1, 16);
  EXPECT_EQ(bar->mDistY2, 74);
  Fill(list, 4);  // five rows, the fifth partly visible: everything fits
  EXPECT_EQ(bar->mMax, 0);
  EXPECT_TRUE(bar->mUp->mDisabled);
  EXPECT_FALSE(bar->mSlider->mVisible);
  Fill(list, 10);
  EXPECT_EQ(bar->mMax, 6);
  EXPECT_FALSE(bar->mUp->mDisabled);
  EXPECT_TRUE(bar->mSlider->mVisible);
  bar->mValue = 3;
  list->AddLine(L"more");
  EXPECT_EQ(bar->mValue, 0);
}

TEST_F(QCListTest, ClickingTheCutOffRowSelectsItAndScrollsByOne) {
  QCList* list = Make();
  Fill(list, 10);
  Click(50, 97);
  EXPECT_EQ(list->GetSelected(), 4);
  EXPECT_EQ(list->GetTopLine(), 1);
  EXPECT_EQ(list->GetScrollBar()->mValue, 1);
  Update();
  Click(50, 5);
  EXPECT_EQ(list->GetSelected(), 1);
  EXPECT_EQ(list->GetTopLine(), 1);
}

TEST_F(QCListTest, ClearKeepsTheIndicesAndAClickBelowTheLinesScrollsOnlyACutOffSelection) {
  QCList* list = Make(R"(line_spacing="30")");
  Fill(list, 8);
  list->SetSelected(3);
  list->SetChecked(2);
  Fill(list, 3);
  EXPECT_EQ(list->GetSelected(), 3);
  EXPECT_EQ(list->GetChecked(), 2);
  Click(50, 95);  // row 3: no line there, and line 3 is cut off below
  EXPECT_EQ(list->GetSelected(), 3);
  EXPECT_EQ(list->GetTopLine(), 1);
  list->SetSelected(1);
  Click(50, 95);
  EXPECT_EQ(list->GetSelected(), 1);
  EXPECT_EQ(list->GetTopLine(), 1);
}

TEST_F(QCListTest, TheSelectionFillRunsToTheScrollBarAndDisabledUsesItsColours) {
  QCList* list = Make();
  Fill(list, 3);
  list->SetSelected(2);
  list->SetChecked(0);
  Update();
  Draw();
  EXPECT_TRUE(PixelIs(0, 50, 0xFFFFFF00));
  EXPECT_TRUE(PixelIs(183, 50, 0xFFFFFF00));
  EXPECT_FALSE(PixelIs(190, 50, 0xFFFFFF00));
  EXPECT_TRUE(PixelIs(0, 26, 0xFFFFFFFF));
  EXPECT_TRUE(PixelIs(3, 12, 0xFF0000FF));   // the check mark: 8 x 6 in the middle of line 0
  EXPECT_TRUE(PixelIs(24, 12, 0xFF000000));  // "line0" from the left margin
  list->SetDisabled(true);
  list->MarkStale();
  Update();
  Draw();
  EXPECT_TRUE(PixelIs(24, 12, 0xFF00FF00));
  EXPECT_TRUE(PixelIs(100, 26, 0xFF808080));  // the disabled background
}

TEST_F(QCListTest, AnArrowScrollsAndRepaintsTheList) {
  QCList* list = Make();
  Fill(list, 10);
  Update();
  Draw();
  const uint64_t before = QCLabelImage::RenderCount();
  Click(190, 90);  // down
  Update();
  Draw();
  EXPECT_EQ(list->GetTopLine(), 1);
  EXPECT_EQ(QCLabelImage::RenderCount() - before, 1u);
  EXPECT_EQ(list->GetScrollBar()->mSlider->mLayout.mY, 16 + 58 / 6);
}

TEST_F(QCListTest, AListWithoutSpacingOrScrollBarStillWorks) {
  QCList* list = Make("", "");
  EXPECT_EQ(list->GetLineSpacing(), 16);
  Fill(list, 10);
  Click(50, 97);
  EXPECT_EQ(list->GetSelected(), 6);
  EXPECT_EQ(list->GetTopLine(), 1);  // (6 + 1) x 16 = 112 > 100
  Update();
  Draw();
  EXPECT_TRUE(PixelIs(197, 5 * 16 + 1, 0xFFFFFF00));  // no bar: the fill spans the list
}

}  // namespace
