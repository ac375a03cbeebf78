#include "UiHarness.h"
#include "ui/QCBar.h"
#include "ui/QCButton.h"
#include "ui/QCCheckBox.h"
#include "ui/QCScrollBar.h"
#include "ui/QCSlider.h"
#include "ui/QCText.h"

namespace {

const char* kArrows = R"(
    <element name="up" width="16" height="20" visible="true"><texture id="normal" texture="red"/></element>
    <element name="down" y="100" width="16" height="20" visible="true"><texture id="normal" texture="red"/></element>)";
const char* kSliderButton = R"(<element name="slider" width="16" height="10" visible="true"/>)";

class QCScrollBarTest : public UiHarness {
 protected:
  QCScrollBar* Make(const std::string& track, const std::string& parts) {
    dialog = Build(R"(<element type="qcdialog" name="d" width="800" height="600">
        <element type="qcscroll" name="s" width="16" height="120" visible="true" )" +
                   track + ">" + parts + "</element></element>");
    return Child<QCScrollBar>(dialog, "s");
  }
  QCDialog* dialog = nullptr;
};

TEST_F(QCScrollBarTest, TheSliderStandsInProportionAlongTheTrack) {
  QCScrollBar* bar = Make(R"(distx1="0" disty1="20" distx2="0" disty2="100")", std::string(kArrows) + kSliderButton);
  bar->SetMax(4);
  for (auto [value, y] : {std::pair{1, 40}, {3, 80}, {9, 100}, {-2, 20}}) {
    bar->mValue = value;
    Update();
    EXPECT_EQ(bar->mSlider->mLayout.mY, y) << value;
    EXPECT_EQ(bar->mSlider->mLayout.mX, 0);
  }
  bar->SetTrack(0, 0, 0, 100);
  bar->SetMax(3);
  bar->mValue = 1;
  Update();
  EXPECT_EQ(bar->mSlider->mLayout.mY, 33);
}

TEST_F(QCScrollBarTest, NoRangeDisablesTheArrowsAndHidesTheSliderAndArrowsStopAtTheEnds) {
  QCScrollBar* bar = Make(R"(disty2="100")", std::string(kArrows) + kSliderButton);
  bar->SetMax(0);
  EXPECT_TRUE(bar->mUp->mDisabled && bar->mDown->mDisabled);
  EXPECT_FALSE(bar->mSlider->mVisible);
  EXPECT_FALSE(bar->mDisabled);
  bar->SetMax(2);
  EXPECT_FALSE(bar->mUp->mDisabled || bar->mDown->mDisabled);
  EXPECT_TRUE(bar->mSlider->mVisible);
  Click(5, 5);  // up at 0
  EXPECT_EQ(bar->mValue, 0);
  for (int i = 0; i < 3; ++i) Click(5, 105);
  EXPECT_EQ(bar->mValue, 2);
  Update();  // the slider leaves the top, where it covered the up arrow
  Click(5, 5);
  EXPECT_EQ(bar->mValue, 1);
}

TEST_F(QCScrollBarTest, MissingPartsAreLeftOut) {
  QCScrollBar* bar = Make("", kArrows);
  ASSERT_EQ(bar->mSlider, nullptr);
  bar->SetMax(3);
  bar->mValue = 2;
  Update();
  Click(5, 105);
  EXPECT_EQ(bar->mValue, 3);
  bar->SetMax(0);
  QCScrollBar* bare = Make("", "");
  bare->SetMax(1);
  bare->OnButtonPressed(QCScrollBar::DownId);
  Update();
  EXPECT_EQ(bare->mValue, 1);
}

// A slider 220 wide with a 200-pixel zone from x 10, a 10-pixel thumb and a track inset by 10.
class QCSliderTest : public UiHarness {
 protected:
  QCSlider* Make(const std::string& attributes, const std::string& parts = R"(
        <element name="back" width="220" height="20" visible="true"><texture id="normal" texture="grey"/></element>
        <element name="bar" x="10" y="5" width="200" height="10" visible="true" seg_width="10">
          <texture id="fill" texture="green"/><texture id="empty" texture="white"/></element>
        <element name="thumb" x="10" width="10" height="20" visible="true"><texture id="normal" texture="red"/></element>)") {
    dialog = Build(R"(<element type="qcdialog" name="d" width="800" height="600">
        <element type="qcslider" name="s" width="220" height="20" visible="true" mz_x="10" mz_width="200" mz_height="20" )" +
                   attributes + ">" + parts + "</element></element>");
    QCSlider* slider = Child<QCSlider>(dialog, "s");
    EXPECT_NE(slider, nullptr);
    slider->SetMax(100);
    return slider;
  }
  QCDialog* dialog = nullptr;
};

TEST_F(QCSliderTest, APressInTheZoneSetsTheValue) {
  QCSlider* slider = Make("");
  for (auto [x, value] : {std::pair{109, 49}, {10, 0}, {210, 100}, {60, 25}}) {
    Click(x, 10);
    EXPECT_EQ(slider->GetValue(), value) << x;
  }
  Click(211, 10);  // one pixel beyond the zone
  EXPECT_EQ(slider->GetValue(), 25);
  Click(60, 21);
  EXPECT_EQ(slider->GetValue(), 25);
  for (const char* part : {"back", "bar", "thumb"}) EXPECT_FALSE(slider->FindChild(part)->mMouseVisible) << part;
}

TEST_F(QCSliderTest, TheDeadZonesWinAndAnEmptyZoneGivesZero) {
  QCSlider* slider = Make(R"(mz_dz1="20" mz_dz2="30")");
  Click(195, 10);  // the formula would give 92
  EXPECT_EQ(slider->GetValue(), 100);
  Click(15, 10);
  EXPECT_EQ(slider->GetValue(), 0);
  QCSlider* empty = Make(R"(mz_width="0")");
  empty->SetValue(40);
  Click(10, 10);
  EXPECT_EQ(empty->GetValue(), 0);
}

TEST_F(QCSliderTest, TheValueIsClampedAndTheThumbPlacedByAVisibleUpdate) {
  QCSlider* slider = Make("");
  QCText* thumb = slider->GetThumb();
  slider->SetValue(150);
  EXPECT_EQ(slider->GetValue(), 150);
  EXPECT_EQ(slider->GetBar()->GetValue(), 150);
  dialog->SetVisible(false);
  Update();
  EXPECT_EQ(slider->GetValue(), 150);
  dialog->SetVisible(true);
  Update();
  EXPECT_EQ(slider->GetValue(), 100);
  EXPECT_EQ(thumb->mLayout.mX, 10 + 190);  // track 200: 200 - 5, limited to 200 - 10
  slider->SetValue(50);
  Update();
  EXPECT_EQ(thumb->mLayout.mX, 10 + 95);
  slider->SetMax(0);
  slider->SetValue(7);
  Update();
  EXPECT_EQ(thumb->mLayout.mX, 10 + 95);
  Click(100, 10);
  EXPECT_EQ(slider->GetValue(), 0);
}

TEST_F(QCSliderTest, AThumbWiderThanTheTrackStartsLeftOfTheMargin) {
  QCSlider* slider = Make("", R"(<element name="thumb" x="10" width="250" height="20" visible="true"/>)");
  slider->SetValue(100);
  Update();
  EXPECT_EQ(slider->GetThumb()->mLayout.mX, 10 - 50);
  slider->SetValue(0);
  Update();
  EXPECT_EQ(slider->GetThumb()->mLayout.mX, 10);
}

TEST_F(QCSliderTest, ASliderWithoutBarAndThumbStillTakesPresses) {
  QCSlider* slider = Make("", "");
  slider->SetValue(30);
  Update();
  Click(109, 10);
  EXPECT_EQ(slider->GetValue(), 49);
  EXPECT_EQ(slider->GetBar(), nullptr);
}

class QCCheckBoxTest : public UiHarness {
 protected:
  QCCheckBox* Make(const std::string& textures) {
    dialog = Build(R"(<element type="qcdialog" name="d" width="800" height="600">
        <element type="qccheckbox" name="c" x="10" y="10" width="20" height="20" visible="true">)" +
                   textures + "</element></element>");
    return Child<QCCheckBox>(dialog, "c");
  }
  // The colour seen in the middle of the box.
  uint32_t Seen() {
    Update();
    Draw();
    return Pixel(20, 20);
  }
  QCDialog* dialog = nullptr;
};

const char* kSix = R"(<texture id="normal" texture="white"/><texture id="over" texture="yellow"/>
    <texture id="disabled" texture="grey"/><texture id="check_normal" texture="green"/>
    <texture id="check_over" texture="blue"/><texture id="check_disabled" texture="black"/>)";

TEST_F(QCCheckBoxTest, AReleaseOverTheBoxTogglesItWithAnyButton) {
  QCCheckBox* box = Make(kSix);
  Click(20, 20);
  EXPECT_TRUE(box->IsChecked());
  Click(20, 20, -1);
  EXPECT_FALSE(box->IsChecked());
  Click(20, 20, 3);
  EXPECT_TRUE(box->IsChecked());
  Press(20, 20);
  MoveTo(100, 100);
  Release(100, 100);
  EXPECT_TRUE(box->IsChecked());
}

TEST_F(QCCheckBoxTest, TheShownTextureFollowsStateHoverAndDisabling) {
  QCCheckBox* box = Make(kSix);
  Seen();
  EXPECT_TRUE(PixelIs(20, 20, 0xFFFFFFFF));
  MoveTo(20, 20);
  Seen();
  EXPECT_TRUE(PixelIs(20, 20, 0xFFFFFF00));
  box->SetChecked(true);
  Draw();
  EXPECT_TRUE(PixelIs(20, 20, 0xFFFFFF00));  // not before the next update
  Seen();
  EXPECT_TRUE(PixelIs(20, 20, 0xFF0000FF));  // check_over
  box->SetDisabled(true);
  Seen();
  EXPECT_TRUE(PixelIs(20, 20, 0xFF000000));
  box->SetChecked(false);
  Seen();
  EXPECT_TRUE(PixelIs(20, 20, 0xFF808080));
}

TEST_F(QCCheckBoxTest, WithoutOverTexturesHoverShowsNormalAndTheChainFades) {
  QCCheckBox* box = Make(R"(<texture id="normal" texture="white"/><texture id="check_normal" texture="green"/>)");
  MoveTo(20, 20);
  Seen();
  EXPECT_TRUE(PixelIs(20, 20, 0xFFFFFFFF));
  box->SetDisabled(true);
  Seen();
  EXPECT_EQ(Pixel(20, 20), 0u);  // no disabled texture: nothing
  box->mOpacity = 0.5f;
  dialog->mOpacity = 0.5f;
  Velk::Graphics g(&frame);
  box->Draw(&g);
  EXPECT_EQ(g.GetColor().mAlpha, 63);
}

}  // namespace
