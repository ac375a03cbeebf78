#include "ui/QCButton.h"

#include "RecordingDialog.h"
#include "UiHarness.h"
#include "engine/QCCursorManager.h"
#include "ui/QCLabelImage.h"
#include "ui/QCText.h"

namespace {

using Log = std::vector<std::string>;

// A 100 x 40 button at (50, 50) with the given textures, in a recording dialog.
class QCButtonTest : public UiHarness {
 protected:
  QCButton* MakeButton(const std::string& textures) {
    dialog = new RecordingDialog(nullptr, engine.get());
    BuildInto(dialog, R"(<element type="qcdialog" name="d" width="800" height="600">
        <element type="qcbutton" name="b" x="50" y="50" width="100" height="40" visible="true"
                 snd_hover="snd_hover" snd_click="snd_click">)" +
                          textures + "</element></element>");
    QCButton* button = Child<QCButton>(dialog, "b");
    EXPECT_NE(button, nullptr);
    id = button->GetId();
    return button;
  }
  std::vector<bool> Shown(QCButton* button) {
    std::vector<bool> shown;
    for (int key = 0; key < QCButton::StateCount; ++key) {
      QCTexture* t = button->GetTexture(key, 0);
      shown.push_back(t && t->IsVisible());
    }
    return shown;
  }
  std::string Id(const char* what) { return std::string(what) + " " + std::to_string(id); }

  RecordingDialog* dialog = nullptr;
  int id = 0;
};

const char* kFourStates = R"(<texture id="normal" texture="white"/><texture id="over" texture="green"/>
    <texture id="down" texture="red"/><texture id="disabled" texture="grey"/>)";

TEST_F(QCButtonTest, PressHoldAndReleaseOverTheButtonIsAClick) {
  MakeButton(kFourStates);
  MoveTo(60, 60);
  EXPECT_EQ(TakePlayedSounds(), std::vector<std::string>{"snd_hover"});
  EXPECT_EQ(engine->GetCursorManager()->GetCurrentName(), "active");
  Press(60, 60);
  EXPECT_EQ(TakePlayedSounds(), std::vector<std::string>{"snd_click"});
  Update(2);
  Release(60, 60);
  EXPECT_EQ(dialog->Take(), (Log{Id("pressed") + " 1", Id("held"), Id("held"), Id("released"), Id("depress")}));
  MoveTo(300, 300);
  EXPECT_EQ(engine->GetCursorManager()->GetCurrentName(), "normal");
}

TEST_F(QCButtonTest, ADragOutOrALostFocusIsNoClickAndTheCountPassesThrough) {
  MakeButton(kFourStates);
  Press(60, 60, 2);
  MoveTo(300, 300);
  Update();
  Release(300, 300);
  EXPECT_EQ(dialog->Take(), (Log{Id("pressed") + " 2"}));
  Press(60, 60);
  Manager()->mHasFocus = false;
  Release(60, 60);
  EXPECT_EQ(dialog->Take(), (Log{Id("pressed") + " 1"}));
}

// A book sliding aside carries its button from under a still pointer between press and release.
TEST_F(QCButtonTest, AButtonThatSlidOnUnderAStillPointerIsClicked) {
  QCButton* button = MakeButton(kFourStates);
  Press(60, 60);
  button->SetOffsetX(200);
  Update();
  // The window hands the pointer's place on with the release.
  MoveTo(60, 60);
  Release(60, 60);
  EXPECT_EQ(dialog->Take(), (Log{Id("pressed") + " 1", Id("held"), Id("released"), Id("depress")}));
}

TEST_F(QCButtonTest, StateTexturesFollowHoverPressAndDisabling) {
  QCButton* button = MakeButton(kFourStates);
  Update();
  EXPECT_EQ(Shown(button), (std::vector<bool>{true, false, false, false}));
  MoveTo(60, 60);
  Update();
  EXPECT_EQ(Shown(button), (std::vector<bool>{false, true, false, false}));
  Press(60, 60);
  Update();
  EXPECT_EQ(Shown(button), (std::vector<bool>{false, false, true, false}));
  Release(60, 60);
  button->SetDisabled(true);
  Update();
  EXPECT_EQ(Shown(button), (std::vector<bool>{false, false, false, true}));
}

TEST_F(QCButtonTest, AnAdditiveOverLiesOnTheNormalAndAMissingTextureShowsNothing) {
  QCButton* button = MakeButton(R"(<texture id="normal" texture="white"/>
      <texture id="over" texture="green" mode="additive"/>)");
  MoveTo(60, 60);
  Update();
  EXPECT_EQ(Shown(button), (std::vector<bool>{true, true, false, false}));
  Press(60, 60);
  Update();
  EXPECT_EQ(Shown(button), (std::vector<bool>{true, false, false, false}));  // only the normal one
  Release(60, 60);
  button->SetDisabled(true);
  Update();
  EXPECT_EQ(Shown(button), (std::vector<bool>{false, false, false, false}));
}

// The label follows the button's state at once: an enabled button that kept its grey label would
// look as if it could not be clicked.
TEST_F(QCButtonTest, TheLabelTakesTheColourOfTheEnabledStateAtOnce) {
  QCButton* button = MakeButton(R"(<texture id="normal" texture="white"/>)");
  button->SetTextAttr(TextNormal, &font, Velk::Color(0, 0, 255), Velk::Color(0, 255, 0), Velk::Color(255, 0, 0));
  button->SetDisabled(true);
  button->SetLabel(L"ok");
  Update();
  Draw();
  // Centred both ways: "ok" is 20 wide, one 12-high line in 40: blocks from x 90, top 64.
  EXPECT_TRUE(PixelIs(95, 68, 0xFFFF0000));
  const uint64_t renders = QCLabelImage::RenderCount();
  button->SetDisabled(false);
  Update();
  Draw();
  EXPECT_TRUE(PixelIs(95, 68, 0xFF0000FF));
  button->SetDisabled(false);  // no change: no new rendering
  Draw();
  EXPECT_EQ(QCLabelImage::RenderCount(), renders + 1);
  button->SetDisabled(true);
  Update();
  Draw();
  EXPECT_TRUE(PixelIs(95, 68, 0xFFFF0000));
}

TEST_F(QCButtonTest, IdsAreUniqueAndIsIdTellsTheButtonsApart) {
  dialog = new RecordingDialog(nullptr, engine.get());
  BuildInto(dialog, R"(<element type="qcdialog" name="d" width="800" height="600">
      <element type="qcbutton" name="a" width="10" height="10" visible="true"/>
      <element type="qcbutton" name="b" x="20" width="10" height="10" visible="true"/>
      <element type="qctext" name="t" x="40" width="10" height="10" visible="true"/></element>)");
  QCButton* a = Child<QCButton>(dialog, "a");
  QCButton* b = Child<QCButton>(dialog, "b");
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->GetId(), 0);
  EXPECT_NE(b->GetId(), 0);
  EXPECT_NE(a->GetId(), b->GetId());
  Click(25, 5);
  const int clicked = b->GetId();
  EXPECT_EQ(dialog->Take().back(), "depress " + std::to_string(clicked));
  EXPECT_TRUE(QCButton::IsId(clicked, b));
  EXPECT_FALSE(QCButton::IsId(clicked, a));
  EXPECT_FALSE(QCButton::IsId(clicked, nullptr));
  EXPECT_FALSE(QCButton::IsId(clicked, dialog->FindChild("t")));
}

}  // namespace
