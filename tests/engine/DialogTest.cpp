#include "engine/QCDialog.h"

#include <gtest/gtest.h>

#include "engine/WidgetTestKit.h"

using WidgetKit::DrawLog;
using WidgetKit::FakeControl;
using WidgetKit::WidgetTest;

namespace {

// A screen that handles its buttons.
class HandlingScreen : public QCDialog {
 public:
  using QCDialog::QCDialog;
  std::vector<int> pressed;
  void ButtonDepress(int id) override { pressed.push_back(id); }
};

using DialogTest = WidgetTest;

const char* kMenu = R"(
<element type="qcdialog" name="menu" x="0" y="0" width="800" height="600" visible="true">
  <texture id="normal" texture="a"/>
  <element type="qcbutton" name="play" x="10" y="10" width="50" height="20"/>
  <element type="qcbutton" name="play" x="10" y="40" width="50" height="20"/>
  <element type="QCButton" name="odd"/>
  <element type="qcbutton"/>
  <element name="typeless"/>
  <element type="qcwhatever" name="strange"/>
  <element type="qctext" name="label" effect="created"/>
  <element type="qcdialog" name="box" x="100" y="100" width="200" height="100" effect="created">
    <element type="qcdialog" name="inner" x="5" y="5" width="50" height="50">
      <element type="qcbutton" name="ok" width="20" height="20"/>
    </element>
  </element>
  <element type="qctutorial" name="tip" clickhide="true" visible="true" effect="fade"/>
  <element type="qcdialog" name="popup" modal="true"/>
</element>)";

TEST_F(DialogTest, BuildsTheTreeByTypeKeyword) {
  Ui(kMenu);
  QCDialog* menu = Screen("menu");
  EXPECT_EQ(menu->mLayout, Velk::Rect(0, 0, 800, 600));
  ASSERT_NE(menu->GetBackground(), nullptr);
  EXPECT_EQ(menu->GetBackground()->GetSourceRect(), Velk::Rect(0, 0, 800, 600)) << "the dialog's size by default";
  // Both buttons named "play" are built; the name finds the first.
  EXPECT_EQ(menu->mWidgets.size(), 6u);
  auto* play = dynamic_cast<FakeControl*>(menu->FindChild("play"));
  ASSERT_NE(play, nullptr);
  EXPECT_EQ(play->mLayout.mY, 10);
  EXPECT_EQ(menu->FindChild("odd"), nullptr) << "type keywords are case-sensitive";
  EXPECT_EQ(menu->FindChild("strange"), nullptr);
  auto* inner = dynamic_cast<QCDialog*>(menu->FindChild("box")->FindChild("inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_NE(inner->FindChild("ok"), nullptr);
  EXPECT_NE(dynamic_cast<QCTutorialDialog*>(menu->FindChild("tip")), nullptr);
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.find("qcwhatever") != l.npos; }),
            1);
  // "oncreate" reaches the children's effects, not the dialog's own build.
  EXPECT_NE(menu->FindChild("label")->mEffect->EffectGetTimer(0)->GetState(), 0);
  EXPECT_NE(menu->FindChild("box")->mEffect->EffectGetTimer(0)->GetState(), 0);
}

TEST_F(DialogTest, ButtonIdsAreUniqueAndNeverZero) {
  Ui(kMenu);
  QCDialog* menu = Screen("menu");
  std::vector<int> ids;
  for (Velk::Widget* w : menu->mWidgets)
    if (auto* c = dynamic_cast<FakeControl*>(w); c && c->type == "qcbutton") ids.push_back(c->id);
  ASSERT_EQ(ids.size(), 2u);
  EXPECT_NE(ids[0], 0);
  EXPECT_NE(ids[0], ids[1]);
}

TEST_F(DialogTest, ButtonReleaseClimbsToTheNearestHandler) {
  Ui(kMenu);
  auto* screen = new HandlingScreen(nullptr, nullptr);
  manager.AddChild(screen);
  screen->LoadFromUi(root, "menu");
  auto* ok = dynamic_cast<FakeControl*>(screen->FindChild("box")->FindChild("inner")->FindChild("ok"));
  ASSERT_NE(ok, nullptr);
  ok->Click();
  EXPECT_EQ(screen->pressed, std::vector<int>{ok->id});

  // Without a handler up the chain the release is dropped.
  QCDialog* plain = Screen("menu");
  dynamic_cast<FakeControl*>(plain->FindChild("box")->FindChild("inner")->FindChild("ok"))->Click();
  EXPECT_EQ(screen->pressed.size(), 1u);
}

TEST_F(DialogTest, ModalWhileShown) {
  Ui(kMenu);
  QCDialog* menu = Screen("menu");
  auto* popup = dynamic_cast<QCDialog*>(menu->FindChild("popup"));
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(popup->mModal);
  EXPECT_FALSE(popup->mModalRegistered) << "built hidden";
  popup->Show();
  EXPECT_EQ(manager.mModalWidget, popup);
  popup->Hide();
  EXPECT_EQ(manager.mModalWidget, nullptr);
  popup->Show();
  EXPECT_EQ(manager.mModalWidget, popup);
  popup->Hide();

  // SetModal acts at once, shown or not.
  auto* box = dynamic_cast<QCDialog*>(menu->FindChild("box"));
  box->SetModal(true);
  EXPECT_EQ(manager.mModalWidget, box);
  box->SetModal(false);
  EXPECT_EQ(manager.mModalWidget, nullptr);
  box->SetModal(true);
  // A modal dialog deleted while registered leaves the list.
  menu->RemoveChild(box);
  delete box;
  EXPECT_EQ(manager.mModalWidget, nullptr);
}

TEST_F(DialogTest, OpacityOfTheParentChainSetsTheDrawingAlpha) {
  Ui(R"(<element type="qcdialog" name="s" width="100" height="100" visible="true">
          <element type="qcdialog" name="c" width="10" height="10" visible="true">
            <texture id="normal" texture="a"/>
          </element>
        </element>)");
  QCDialog* s = Screen("s");
  auto* c = dynamic_cast<QCDialog*>(s->FindChild("c"));
  s->mOpacity = 0.5f;
  c->mOpacity = 0.7f;
  c->Update();
  DrawLog image;
  Velk::Graphics g(&image);
  c->Draw(&g);
  ASSERT_EQ(image.draws.size(), 1u);
  EXPECT_EQ(image.draws[0].colour.mAlpha, static_cast<int>(255.0 * (0.5f * 0.7f)));
  EXPECT_EQ(image.draws[0].colour.mRed, 255);
}

TEST_F(DialogTest, TutorialHidesOnClickOnlyWhenAskedTo) {
  Ui(R"(<element type="qcdialog" name="s" visible="true">
          <element type="qctutorial" name="yes" clickhide="true" visible="true" effect="fade"/>
          <element type="qctutorial" name="no" visible="true"/>
        </element>)");
  QCDialog* s = Screen("s");
  auto* yes = dynamic_cast<QCTutorialDialog*>(s->FindChild("yes"));
  auto* no = dynamic_cast<QCTutorialDialog*>(s->FindChild("no"));
  no->MouseUp(1, 1);
  EXPECT_TRUE(no->mVisible);
  Step(yes, 40);
  yes->MouseDown(1, 1, 0, 1);
  yes->MouseUp(1, 1);
  EXPECT_TRUE(yes->mHiding) << "through its hide effect";
  Step(yes, 60);
  EXPECT_FALSE(yes->mVisible);
}

// A note takes a click only once it has come in and lain still about 0.3 s, whatever the click count.
TEST_F(DialogTest, TutorialTakesClicksOnlyOnceAtRestAWhile) {
  Ui(R"(<element type="qcdialog" name="s" visible="true">
          <element type="qctutorial" name="slides" clickhide="true" effect="fade"/>
          <element type="qctutorial" name="plain" clickhide="true" visible="true"/>
        </element>)");
  QCDialog* s = Screen("s");
  auto* note = dynamic_cast<QCTutorialDialog*>(s->FindChild("slides"));
  auto* plain = dynamic_cast<QCTutorialDialog*>(s->FindChild("plain"));
  const auto click = [](QCTutorialDialog* n, int count) {
    n->MouseDown(1, 1, 0, count);
    n->MouseUp(1, 1);
    return n->mHiding || !n->mVisible;
  };
  note->Show();
  Step(note, 50);
  EXPECT_FALSE(click(note, 1)) << "coming in";
  for (int i = 0; i < 200 && note->mShowing; ++i) note->Update();
  Step(note, 25);
  EXPECT_FALSE(click(note, 1)) << "0.25 s at rest";
  Step(note, 10);
  EXPECT_TRUE(click(note, 2)) << "0.35 s at rest, even as the second press of a double click";
  Step(plain, 40);
  plain->SetVisible(false);
  plain->SetVisible(true);
  EXPECT_FALSE(click(plain, 1)) << "shown again without an effect: just come";
  Step(plain, 40);
  EXPECT_TRUE(click(plain, 1));
}

// A press held while the note goes and comes again, whether it went all the way or its fade was
// called off by the new show, was not meant for the note now shown.
TEST_F(DialogTest, ANoteShownAnewForgetsAPressThatCameBefore) {
  Ui(R"(<element type="qcdialog" name="s" visible="true">
          <element type="qctutorial" name="fades" clickhide="true" visible="true" effect="fade"/>
          <element type="qctutorial" name="plain" clickhide="true" visible="true"/>
        </element>)");
  QCDialog* s = Screen("s");
  for (const char* name : {"plain", "fades"}) {
    auto* note = dynamic_cast<QCTutorialDialog*>(s->FindChild(name));
    for (int left : {60, 20}) {
      Step(note, 150);
      ASSERT_TRUE(note->AnswersClicks()) << name;
      note->MouseDown(1, 1, 0, 1);
      note->Hide();
      Step(note, left);
      note->Show();
      Step(note, 150);
      note->MouseUp(1, 1);
      EXPECT_TRUE(note->mVisible && !note->mHiding) << name << ", " << left << " steps away";
    }
  }
}

TEST_F(DialogTest, BackgroundIsReplacedOnlyWhenThereIsOne) {
  Ui(R"(<element type="qcdialog" name="with"><texture id="normal" texture="a" fps="5" count="3"/></element>
        <element type="qcdialog" name="without"/>)");
  QCDialog* with = Screen("with");
  QCDialog* without = Screen("without");
  const int rect[4] = {1, 2, 3, 4};
  QCTexture unknown;
  unknown.SetImage(textures.Find("no_such_id"));
  EXPECT_TRUE(unknown.IsEmpty());
  EXPECT_TRUE(with->GetBackground()->IsEmpty()) << "frames a00 to a02 are not declared";
  without->SetBackground(textures.Find("b"), rect);
  EXPECT_EQ(without->GetBackground(), nullptr);
  with->SetBackground(textures.Find("b"), rect);
  QCTexture* bg = with->GetBackground();
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->GetFps(), 0);
  ASSERT_EQ(bg->Frames().size(), 1u);
  EXPECT_EQ(bg->Frames()[0].GetRecord(), textures.Find("b").GetRecord());
  EXPECT_EQ(bg->GetSourceRect(), Velk::Rect(1, 2, 3, 4));
  EXPECT_FALSE(bg->IsEmpty());
}

TEST_F(DialogTest, MissingDialogLeavesItEmpty) {
  Ui(kMenu);
  QCDialog* none = Screen("nothing");
  EXPECT_TRUE(none->mWidgets.empty());
  EXPECT_FALSE(none->mVisible);
  EXPECT_EQ(none->mLayout, Velk::Rect());
}

// A damaged description nesting thousands of dialogs is cut at a safe depth.
TEST_F(DialogTest, DeepNestingStopsWithOneMessage) {
  std::string body;
  const int depth = 10000;
  for (int i = 0; i < depth; ++i) body += "<element type=\"qcdialog\" name=\"d\">";
  for (int i = 0; i < depth; ++i) body += "</element>";
  Ui(body);
  QCDialog* top = Screen("d");
  int levels = 0;
  for (QCCandyWidget* w = top; w; w = w->FindChild("d")) ++levels;
  EXPECT_EQ(levels, QCDialog::kMaxNesting + 1);
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.find("nested") != l.npos; }), 1);
}

}  // namespace
