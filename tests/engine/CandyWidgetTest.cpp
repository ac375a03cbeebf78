#include "engine/QCCandyWidget.h"

#include <gtest/gtest.h>

#include "engine/WidgetTestKit.h"

using WidgetKit::DrawLog;
using WidgetKit::WidgetTest;

namespace {

class HookWidget : public QCCandyWidget {
 public:
  using QCCandyWidget::QCCandyWidget;
  int shows = 0;
  int hides = 0;
  void OnShowHook() override { ++shows; }
  void OnHideHook() override { ++hides; }
};

using CandyWidgetTest = WidgetTest;

TEST_F(CandyWidgetTest, CommonAttributesAndTheirDefaults) {
  HookWidget w(nullptr);
  w.mVisible = true;
  IXMLDOMNode* bare = Element("");
  w.ReadCommonXml(bare);
  bare->Release();
  EXPECT_EQ(w.mLayout, Velk::Rect(0, 0, 0, 0));
  EXPECT_TRUE(w.mVisible) << "a missing visible leaves it";
  EXPECT_TRUE(w.mHasAlpha);
  EXPECT_TRUE(w.mMouseVisible);
  EXPECT_EQ(w.mEffect, nullptr);

  HookWidget v(nullptr);
  IXMLDOMNode* full = Element(
      "x=\"5\" y=\"-6\" width=\"70\" height=\"80\" visible=\"true\" has_alpha=\"false\" mousevisible=\"0\" "
      "effect=\"fade\" scalepointx=\"35\" scalepointy=\"40\"");
  v.ReadCommonXml(full);
  full->Release();
  EXPECT_EQ(v.mLayout, Velk::Rect(5, -6, 70, 80));
  EXPECT_EQ(v.mX, 5);
  EXPECT_TRUE(v.mVisible);
  EXPECT_FALSE(v.mHasAlpha);
  EXPECT_FALSE(v.mMouseVisible);
  EXPECT_EQ(v.mPivot.x, 35);
  EXPECT_EQ(v.mPivot.y, 40);
  ASSERT_NE(v.mEffect, nullptr);
  EXPECT_EQ(v.mEffect->GetOwner(), static_cast<QCIEffect*>(&v));
  EXPECT_EQ(v.mEffect->EffectGetParam(kParamOffset), &v.mOffset);

  HookWidget unknown(nullptr);
  IXMLDOMNode* odd = Element("effect=\"no_such_effect\"");
  unknown.ReadCommonXml(odd);
  odd->Release();
  EXPECT_EQ(unknown.mEffect, nullptr);
  unknown.Show();
  EXPECT_TRUE(unknown.mVisible) << "without effect a show is immediate";
}

TEST_F(CandyWidgetTest, ShowWhileShowingDoesNothing) {
  HookWidget w(nullptr);
  IXMLDOMNode* e = Element("effect=\"late\"");
  w.ReadCommonXml(e);
  e->Release();
  w.Show();
  EXPECT_TRUE(w.mShowing);
  EXPECT_FALSE(w.mVisible);
  w.Show();
  EXPECT_EQ(w.shows, 1);
  Step(&w, 51);
  EXPECT_TRUE(w.mVisible);
  EXPECT_FALSE(w.mShowing);
}

// Show and Hide run their hooks every time, also on a widget already in that state: screens refresh
// themselves in them. Showing a visible widget plays its show effect again.
TEST_F(CandyWidgetTest, HooksRunOnEveryShowAndHide) {
  HookWidget w(nullptr);
  IXMLDOMNode* e = Element("effect=\"fade\"");
  w.ReadCommonXml(e);
  e->Release();
  w.Show();
  EXPECT_TRUE(w.mVisible);
  EXPECT_TRUE(w.mShowing) << "fading in";
  Step(&w, 102);
  EXPECT_FLOAT_EQ(w.mOpacity, 1.0f);
  EXPECT_FALSE(w.mShowing) << "the show is over with its effect";
  w.Show();
  EXPECT_EQ(w.shows, 2);
  EXPECT_TRUE(w.mShowing) << "the fade plays again";
  Step(&w, 102);
  w.Hide();
  EXPECT_TRUE(w.mHiding);
  Step(&w, 60);
  EXPECT_FALSE(w.mVisible);
  EXPECT_FALSE(w.mHiding);
  w.Show();
  EXPECT_EQ(w.shows, 3);
  EXPECT_TRUE(w.mVisible);
  EXPECT_FLOAT_EQ(w.mOpacity, 0.0f) << "the fade starts over";
}

// Made invisible, or visible while hidden or hiding, by anyone but its effect, a widget keeps no show
// or hide on its way: neither a later DlgShow nor a later DlgHide undoes it. A show goes on.
TEST_F(CandyWidgetTest, VisibilitySetFromOutsideEndsAShowOrHideOnItsWay) {
  HookWidget late(nullptr);
  IXMLDOMNode* e = Element("effect=\"late\"");
  late.ReadCommonXml(e);
  e->Release();
  late.Show();
  Step(&late, 20);
  late.SetVisible(false);
  EXPECT_FALSE(late.mShowing);
  Step(&late, 60);
  EXPECT_FALSE(late.mVisible) << "the show's DlgShow at 0.5 s was called off";

  HookWidget fade(nullptr);
  e = Element("effect=\"fade\"");
  fade.ReadCommonXml(e);
  e->Release();
  fade.Show();
  Step(&fade, 102);
  fade.Hide();
  Step(&fade, 20);
  fade.SetVisible(false);
  fade.SetVisible(true);
  Step(&fade, 60);
  EXPECT_TRUE(fade.mVisible) << "the hide's DlgHide at 0.5 s was called off";
  EXPECT_FALSE(fade.mHiding);
  EXPECT_FLOAT_EQ(fade.mOpacity, 1.0f) << "shown whole, not as far as the fade had gone";

  fade.Hide();
  Step(&fade, 20);
  ASSERT_TRUE(fade.mVisible);
  fade.SetVisible(true);
  EXPECT_FALSE(fade.mHiding);
  EXPECT_FLOAT_EQ(fade.mOpacity, 1.0f);
  Step(&fade, 60);
  EXPECT_TRUE(fade.mVisible) << "shown while still up and hiding: the hide was called off";
  EXPECT_FLOAT_EQ(fade.mOpacity, 1.0f);

  fade.Show();
  Step(&fade, 20);
  fade.SetVisible(true);
  EXPECT_TRUE(fade.mShowing) << "a show on its way to a visible widget goes on";
}

TEST_F(CandyWidgetTest, HooksRunOnEveryShowAndHideWithoutAnEffect) {
  HookWidget w(nullptr);
  w.Show();
  w.Show();
  EXPECT_EQ(w.shows, 2);
  EXPECT_TRUE(w.mVisible);
  w.Hide();
  w.Hide();
  EXPECT_EQ(w.hides, 2);
  EXPECT_FALSE(w.mVisible);
}

TEST_F(CandyWidgetTest, TexturesLoadOnlyWhileVisibleInTheTree) {
  Ui("");
  HookWidget parent(nullptr);
  auto* child = new HookWidget(&parent);
  parent.BindControl("child", child);
  QCTexture* texture = AddStill(child, "a");

  child->SetVisible(true);
  EXPECT_EQ(textures.loads["img/a.png"], 0) << "the parent is hidden";
  parent.SetVisible(true);
  EXPECT_EQ(textures.loads["img/a.png"], 1);
  EXPECT_NE(texture->Frames()[0].GetRecord()->image, nullptr);
  parent.SetVisible(false);
  EXPECT_EQ(texture->Frames()[0].GetRecord()->image, nullptr);
  parent.SetVisible(true);
  EXPECT_EQ(textures.loads["img/a.png"], 2);

  EXPECT_EQ(child->GetTexture(0, 0), texture);
  EXPECT_EQ(child->GetTexture(0, 1), nullptr);
  EXPECT_EQ(child->GetTexture(1, 0), nullptr);
  child->AddTexture(0, nullptr);
  EXPECT_EQ(child->mTextures.size(), 1u);
}

TEST_F(CandyWidgetTest, MatrixCombinesPivotRotationScaleAndTheParent) {
  QCCandyWidget parent(nullptr);
  parent.Resize(100, 50, 400, 300);
  parent.mOffset = {10, 0};
  QCCandyWidget child(&parent);
  child.Resize(20, 30, 40, 20);
  child.mOffset = {5, -5};
  child.mPivot = {45, 35};
  child.mAngle = 90.0f;
  child.mScale = 2.0f;
  Velk::Matrix3x3 m;
  child.GetTransform(m);
  // v = p + position + offset - pivot = (4 + 20 + 5 - 45, 2 + 30 - 5 - 35) = (-16, -8); a quarter turn
  // takes (x, y) to (y, -x): (-8, 16); doubled (-16, 32); plus the pivot (29, 67); plus the parent's
  // position and offset (110, 50).
  Velk::Vector2 p = m.TransformPoint(4.0f, 2.0f);
  EXPECT_NEAR(p.x, 139.0f, 1e-3);
  EXPECT_NEAR(p.y, 117.0f, 1e-3);

  // The same widget turned back: its box through the parent lies at (110 + 25 + ..., ...).
  child.mAngle = 0.0f;
  child.mScale = 1.0f;
  child.InvalidateTransform();
  Velk::Rect bounds;
  child.GetBounds(bounds);
  EXPECT_EQ(bounds, Velk::Rect(135, 75, 40, 20));
}

// An effect's slide moves where the mouse finds the widget and its children exactly as far as it
// moves their pictures.
TEST_F(CandyWidgetTest, TheMouseFindsASlidWidgetWhereItIsDrawn) {
  QCCandyWidget parent(nullptr);
  parent.Resize(34, 17, 732, 565);
  auto* child = new QCCandyWidget(&parent);
  parent.BindControl("c", child);
  child->Resize(664, 515, 48, 36);
  parent.SetOffsetX(-400);
  parent.InvalidateTransform();
  Velk::Rect drawn;
  child->GetBounds(drawn);
  const POINT found = child->AbsolutePos();
  EXPECT_EQ(found.x, drawn.mX);
  EXPECT_EQ(found.y, drawn.mY);
  EXPECT_EQ(found.x, 34 - 400 + 664);
}

TEST_F(CandyWidgetTest, BoundsOutsideTheParentAreEmptyAndNothingDraws) {
  Ui("");
  QCCandyWidget parent(nullptr);
  parent.Resize(0, 0, 100, 100);
  auto* child = new QCCandyWidget(&parent);
  parent.BindControl("c", child);
  child->Resize(500, 0, 50, 50);
  QCTexture* texture = AddStill(child, "a");
  Velk::Rect bounds;
  child->GetBounds(bounds);
  EXPECT_EQ(bounds, Velk::Rect());
  child->Update();
  EXPECT_EQ(texture->GetClipRect(), Velk::Rect());
  DrawLog image;
  Velk::Graphics g(&image);
  child->Draw(&g);
  for (const WidgetKit::Draw& d : image.draws) EXPECT_EQ(d.clip.mWidth * d.clip.mHeight, 0);
}

TEST_F(CandyWidgetTest, DrawShiftMovesTheTexturesOnly) {
  Ui("");
  QCCandyWidget parent(nullptr);
  parent.Resize(10, 20, 200, 200);
  auto* child = new QCCandyWidget(&parent);
  parent.BindControl("c", child);
  child->Resize(5, 5, 20, 20);
  QCTexture* texture = AddStill(child, "a");
  parent.SetDrawShift(3, -4);
  EXPECT_EQ(child->mDrawShift.x, 3);
  child->Update();
  EXPECT_FLOAT_EQ(texture->GetMatrix().m[0][2], 10 + 5 + 3);
  EXPECT_FLOAT_EQ(texture->GetMatrix().m[1][2], 20 + 5 - 4);
  EXPECT_EQ(texture->GetClipRect(), Velk::Rect(18, 21, 20, 20));
  Velk::Matrix3x3 m;
  child->GetTransform(m);
  EXPECT_FLOAT_EQ(m.m[0][2], 15.0f) << "the widget's own matrix has no shift";
}

// The effect runs first, so what it writes reaches the textures in the same update; then the
// textures step; then the effect's particles.
TEST_F(CandyWidgetTest, UpdateRunsEffectThenTransformThenTexturesThenParticles) {
  IXMLDOMNode* e = Element("effect=\"slide\" width=\"10\" height=\"10\"");
  QCCandyWidget w(nullptr);
  w.ReadCommonXml(e);
  e->Release();
  QCTexture* texture = AddStill(&w, "a");
  ASSERT_TRUE(w.SendEffectMessage("go"));
  Step(&w, 43);  // t = 0.43: offset int(400 t^2) = int(73.96)
  EXPECT_EQ(w.mOffset.x, 73);
  EXPECT_FLOAT_EQ(texture->GetMatrix().m[0][2], 73.0f);

  // Particles of the widget's effect advance with its update.
  QCCandyWidget s(nullptr);
  IXMLDOMNode* se = Element("effect=\"stars\"");
  s.ReadCommonXml(se);
  se->Release();
  ASSERT_TRUE(s.SendEffectMessage("go"));
  auto* stars = static_cast<QCParticleSystem*>(s.mEffect->EffectGetParam(kParamParticles0));
  ASSERT_NE(stars, nullptr);
  Step(&s, 10);
  EXPECT_FALSE(stars->LiveParticles().empty());
}

}  // namespace
