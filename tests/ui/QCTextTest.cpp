#include "ui/QCText.h"

#include "UiHarness.h"
#include "engine/LocTexts.h"
#include "ui/QCLabelImage.h"
#include "app/VelkAppBase.h"
#include "graphics/MemoryImage.h"

#include <algorithm>
#include <string>

namespace {

using Velk::Color;

class QCTextTest : public UiHarness {
 protected:
  QCText* Label(const std::string& attributes = "") {
    dialog = Build(R"(<element type="qcdialog" name="d" width="800" height="600">
        <element type="qctext" name="t" x="10" y="10" width="200" height="40" visible="true" effect="count_change" )" +
                   attributes + R"(><texture id="normal" texture="white"/></element></element>)");
    QCText* text = Child<QCText>(dialog, "t");
    EXPECT_NE(text, nullptr);
    text->SetTextAttr(TextNormal, &font, Color(0, 0, 255), Color(255, 0, 0));
    return text;
  }
  QCDialog* dialog = nullptr;
};

TEST_F(QCTextTest, VariablesFollowWhileShownWithOneChangePerRebuild) {
  QCText* text = Label();
  SetTextVar("money", L"120");
  text->SetText(L"Money: %money%");
  Update(3);
  EXPECT_EQ(text->GetDisplayText(), L"Money: 120");
  EXPECT_EQ(ChangeCount(), 1);
  SetTextVar("money", L"95");
  Update();
  EXPECT_EQ(text->GetDisplayText(), L"Money: 95");
  EXPECT_EQ(ChangeCount(), 2);

  dialog->SetVisible(false);
  SetTextVar("money", L"7");
  Update(2);
  EXPECT_EQ(text->GetDisplayText(), L"Money: 95");  // hidden: not followed
  dialog->SetVisible(true);
  Update();
  EXPECT_EQ(text->GetDisplayText(), L"Money: 7");
  EXPECT_EQ(ChangeCount(), 3);
}

TEST_F(QCTextTest, AnEmptiedTextClearsTheLabel) {
  QCText* text = Label();
  text->SetText(L"abc");
  Update();
  Draw();
  EXPECT_TRUE(PixelIs(15, 17, 0xFF0000FF));  // the first block of "abc", over the white background
  text->SetText(L"");
  Update(2);
  EXPECT_EQ(text->GetDisplayText(), L"");
  EXPECT_EQ(text->GetVisibleLength(), 0);
  EXPECT_EQ(ChangeCount(), 2);
  Draw();
  EXPECT_TRUE(PixelIs(15, 17, 0xFFFFFFFF));
}

TEST_F(QCTextTest, TheLabelIsRenderedOncePerInvalidation) {
  QCText* text = Label();
  text->SetText(L"steady");
  const uint64_t before = QCLabelImage::RenderCount();
  for (int i = 0; i < 10; ++i) {
    Update();
    Draw();
  }
  EXPECT_EQ(QCLabelImage::RenderCount() - before, 1u);
  text->SetTextAttr(3, &font, Color(0, 255, 0), Color(0, 255, 0));  // no such layer: nothing changes
  Draw();
  EXPECT_EQ(QCLabelImage::RenderCount() - before, 1u);
  text->SetDisabled(true);
  Update();
  Draw();
  Draw();
  EXPECT_EQ(QCLabelImage::RenderCount() - before, 2u);
  EXPECT_TRUE(PixelIs(15, 17, 0xFFFF0000));  // the disabled colour
}

// A caption with a shadow is one caption: the shadow's font writes the text once, frame after frame,
// into the box the caption's font measured, and a shadow of the caption's own size lies under it,
// hidden but for its offset (here none).
TEST_F(QCTextTest, ACaptionAndItsShadowAreEachWrittenOnceInOneBox) {
  QCText* text = Label("justify=\"0\"");
  BlockFont caption{10}, shadow{10};
  text->SetTextAttr(TextNormal, &caption, Color(0, 0, 255), Color(255, 0, 0));
  text->SetTextAttr(TextShadow, &shadow, Color(0, 0, 0), Color(0, 0, 0));
  text->SetText(L"Cafe");
  for (int i = 0; i < 5; ++i) {
    Update();
    Draw();
  }
  // The caption's font also measures the box (drawing into nothing); the shadow's only writes.
  EXPECT_EQ(shadow.mDraws, 1);
  EXPECT_EQ(shadow.mLastText, L"Cafe");
  // Centred in 200: "Cafe" is 40 wide from x 90 of the label, at 10 + 90 on the screen.
  EXPECT_TRUE(PixelIs(101, 17, 0xFF0000FF));
  EXPECT_TRUE(PixelIs(99, 17, 0xFFFFFFFF));
  EXPECT_TRUE(PixelIs(140, 17, 0xFFFFFFFF));
}

// A label as large as a damaged ui.xml may ask is never larger than the screen.
TEST(QCLabelImageTest, NoSideIsLargerThanTheScreen) {
  QCLabelImage label;
  ASSERT_TRUE(label.BeginRender(1215752191, 1215752191));
  ASSERT_NE(label.Image(), nullptr);
  const int screenWidth = Velk::gVelkApp ? Velk::gVelkApp->mWidth : QCLabelImage::kDefaultScreenWidth;
  const int screenHeight = Velk::gVelkApp ? Velk::gVelkApp->mHeight : QCLabelImage::kDefaultScreenHeight;
  EXPECT_EQ(label.Image()->GetWidth(), screenWidth);
  EXPECT_EQ(label.Image()->GetHeight(), screenHeight);
}

// Drawn every frame, a label that is too large is named once, not once a frame.
TEST(QCLabelImageTest, ACutLabelIsLoggedOnce) {
  auto linesLogged = [](QCLabelImage& label) {
    testing::internal::CaptureStderr();
    for (int frame = 0; frame < 50; ++frame) {
      label.BeginRender(99999, 99999);
      label.Invalidate();
    }
    const std::string log = testing::internal::GetCapturedStderr();
    return std::count(log.begin(), log.end(), '\n');
  };
  QCLabelImage label;
  EXPECT_EQ(linesLogged(label), 2) << "width and height, the first time";
  EXPECT_EQ(linesLogged(label), 0);
  QCLabelImage other;
  EXPECT_EQ(linesLogged(other), 2) << "each label names its own";
}

TEST_F(QCTextTest, TypingInShowsAPrefixUntilTheNextUpdate) {
  QCText* text = Label();
  text->SetText(L"abcdefghij");
  Update();
  text->ShowTypedPrefix(0.5f);
  EXPECT_EQ(text->GetVisibleLength(), 5);
  Draw();
  EXPECT_TRUE(PixelIs(10 + 45, 17, 0xFF0000FF));  // the fifth block
  EXPECT_TRUE(PixelIs(10 + 55, 17, 0xFFFFFFFF));  // no sixth
  Update();
  EXPECT_EQ(text->GetVisibleLength(), 10);
}

TEST_F(QCTextTest, AnOverrideImageDrawsOnlyItself) {
  QCText* text = Label();
  text->SetText(L"abc");
  Update();
  Velk::MemoryImage picture;
  std::vector<uint32_t> green(16, 0xFF00FF00);
  picture.SetPixels(green.data(), 4, 4, true);
  text->SetOverrideImage(&picture);
  Draw();
  EXPECT_TRUE(PixelIs(15, 17, 0xFF00FF00));
  EXPECT_TRUE(PixelIs(205, 45, 0xFF00FF00));
  text->SetOverrideImage(nullptr);
  Draw();
  EXPECT_TRUE(PixelIs(15, 17, 0xFF0000FF));
}

TEST_F(QCTextTest, DrawsWithTheDialogsOpacity) {
  QCText* text = Label();
  dialog->mOpacity = 0.5f;
  Velk::Graphics g(&frame);
  text->Draw(&g);
  EXPECT_EQ(g.GetColor(), Color(255, 255, 255, 127));
  EXPECT_TRUE(g.GetImageColorize());
}

TEST_F(QCTextTest, DisabledShowsTheDisabledTextureOnlyWhenItHasAnImage) {
  dialog = Build(R"(<element type="qcdialog" name="d" width="800" height="600">
      <element type="qctext" name="a" width="10" height="10" visible="true">
        <texture id="normal" texture="white"/><texture id="disabled" texture="grey"/></element>
      <element type="qctext" name="b" width="10" height="10" visible="true">
        <texture id="normal" texture="white"/><texture id="disabled" texture="unknown"/></element>
    </element>)");
  for (const char* name : {"a", "b"}) Child<QCText>(dialog, name)->SetDisabled(true);
  Update();
  QCText* a = Child<QCText>(dialog, "a");
  QCText* b = Child<QCText>(dialog, "b");
  EXPECT_FALSE(a->GetTexture(0, 0)->IsVisible());
  EXPECT_TRUE(a->GetTexture(1, 0)->IsVisible());
  EXPECT_TRUE(b->GetTexture(0, 0)->IsVisible());
  a->SetDisabled(false);
  Update();
  EXPECT_TRUE(a->GetTexture(0, 0)->IsVisible());
  EXPECT_FALSE(a->GetTexture(1, 0)->IsVisible());
}

}  // namespace
