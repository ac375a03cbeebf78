#include "engine/QCTexture.h"

#include <gtest/gtest.h>

#include "engine/TextureTestSupport.h"
#include "engine/XmlAccess.h"
#include "graphics/Graphics.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace {

class TextureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file :
         {"img/a.png", "img/b.png", "img/first.png", "img/glow00.png", "img/glow01.png", "img/glow02.png"})
      mPak.Put(file, std::string("x"));
    mPak.Put("cfg/ui.xml", Utf16File(R"(<root>
      <texture id="a" file="img\a.png"/>
      <texture id="b" file="img\b.png"/>
      <texture id="dup" file="img\first.png"/>
      <texture id="dup" file="img\b.png"/>
      <texture id="lost" file="img\missing.png"/>
      <texture id="glow00" file="img\glow00.png"/>
      <texture id="glow01" file="img\glow01.png"/>
      <texture id="glow02" file="img\glow02.png"/>
      <texture id="glow" file="img\a.png"/>
      <element><texture id="nested" file="img\a.png"/></element>
      <anim texture="glow" fps="10" count="3" u="1" v="2" width="30" mode="additive"/>
      <still texture="glow" count="3" oneshot="0" mode="Additive"/>
      <holes texture="glow" fps="4" count="4"/>
      <wrap texture="glow" fps="100" count="3" oneshot="0"/>
      <huge texture="glow" fps="10" count="2147483647" width="99999999999" height="70000"/>
      <most texture="glow" fps="10" count="1000"/>
    </root>)"));
    mDoc = CreateAndLoadXmlDocument("cfg\\ui.xml");
    mDoc->selectSingleNode(L"root", &mRoot);
    mTextures.ReadUiTextures(mRoot);
  }
  void TearDown() override {
    mRoot->Release();
    mDoc->Release();
  }
  IXMLDOMNode* Node(const wchar_t* path) {
    IXMLDOMNode* node = nullptr;
    mRoot->selectSingleNode(path, &node);
    mNodes.emplace_back(node);
    return node;
  }

  MemoryPak mPak;
  CountingTextures mTextures;
  IXMLDOMDocument* mDoc = nullptr;
  IXMLDOMNode* mRoot = nullptr;
  struct Releaser {
    void operator()(IXMLDOMNode* n) const { n->Release(); }
  };
  std::vector<std::unique_ptr<IXMLDOMNode, Releaser>> mNodes;
};

}  // namespace

TEST_F(TextureTest, RecordsForTheTexturesWhoseFilesExistFirstIdWinning) {
  EXPECT_EQ(mTextures.Count(), 7u);  // "lost" has no file; the nested one is not a root child
  EXPECT_TRUE(mTextures.Find("lost").IsEmpty());
  EXPECT_TRUE(mTextures.Find("nested").IsEmpty());
  EXPECT_EQ(mTextures.Find("dup").GetRecord()->fileName, "img\\first.png");
  EXPECT_EQ(QCTextureManager::Get(), &mTextures);
  EXPECT_TRUE(mTextures.loads.empty()) << "nothing loads before something shows it";
}

TEST_F(TextureTest, AnImageLoadsWhileAnyHandleHoldsItAcquired) {
  QCTextureRef first = mTextures.Find("a");
  QCTextureRef second = mTextures.Find("a");
  first.Acquire();
  first.Acquire();
  second.Acquire();
  EXPECT_EQ(mTextures.loads["img\\a.png"], 1);
  EXPECT_EQ(first.GetRecord()->refCount, 2u);
  first.Release();
  EXPECT_NE(second.GetImage(), nullptr) << "one widget hidden, the other still shows it";
  second.Release();
  EXPECT_EQ(second.GetRecord()->image, nullptr);
  second.Release();  // not acquired: nothing
  EXPECT_EQ(second.GetRecord()->refCount, 0u);
  EXPECT_NE(first.GetImage(), nullptr) << "drawing acquires";
  EXPECT_EQ(mTextures.loads["img\\a.png"], 2);

  // Assignment gives each acquired handle its own count; a copy starts unacquired.
  QCTextureRef third;
  third = first;
  EXPECT_TRUE(third.IsAcquired());
  EXPECT_EQ(first.GetRecord()->refCount, 2u);
  QCTextureRef copy(first);
  EXPECT_FALSE(copy.IsAcquired());
  third.Assign(mTextures.Find("b"));
  EXPECT_FALSE(third.IsAcquired());
  EXPECT_EQ(first.GetRecord()->refCount, 1u);
  first.Reset();
  EXPECT_TRUE(first.IsEmpty());
  EXPECT_EQ(copy.GetRecord()->image, nullptr);

  // A failed load keeps counting and draws nothing.
  mTextures.failing.insert("img\\b.png");
  EXPECT_EQ(third.GetImage(), nullptr);
  EXPECT_EQ(third.GetRecord()->refCount, 1u);
  third.Release();
}

TEST_F(TextureTest, AnimatedTexturesLookUpNumberedFrames) {
  QCTexture anim;
  ReadAnimatedTexture(&anim, Node(L"anim"), 40, 50);
  ASSERT_EQ(anim.Frames().size(), 3u);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(anim.Frames()[i].GetRecord(), mTextures.Find("glow0" + std::to_string(i)).GetRecord());
  EXPECT_FALSE(anim.Frames()[0].IsAcquired());
  EXPECT_EQ(anim.GetSourceRect(), Velk::Rect(1, 2, 30, 50));
  EXPECT_TRUE(anim.IsAdditive());
  EXPECT_TRUE(anim.IsOneshot());

  QCTexture still;
  ReadAnimatedTexture(&still, Node(L"still"), 40, 50);
  ASSERT_EQ(still.Frames().size(), 1u);
  EXPECT_EQ(still.Frames()[0].GetRecord(), mTextures.Find("glow").GetRecord());
  EXPECT_FALSE(still.IsAdditive()) << "the mode keyword keeps its case";
  EXPECT_EQ(still.GetSourceRect(), Velk::Rect(0, 0, 40, 50));

  QCTexture holes;
  ReadAnimatedTexture(&holes, Node(L"holes"), 1, 1);
  ASSERT_EQ(holes.Frames().size(), 4u);
  EXPECT_TRUE(holes.Frames()[3].IsEmpty()) << "an unknown frame id is a blank frame";
}

// Numbers from a damaged ui.xml: a frame count past the limit is refused, long sides are held.
TEST_F(TextureTest, HugeFrameCountsAreRefusedAndSidesCut) {
  QCTexture huge;
  ReadAnimatedTexture(&huge, Node(L"huge"), 1, 1);
  EXPECT_TRUE(huge.Frames().empty());
  EXPECT_EQ(huge.GetSourceRect(), Velk::Rect(0, 0, kMaxXmlPixels, kMaxXmlPixels));
  huge.Advance(1.0f);
  EXPECT_EQ(huge.GetCurrentFrame(), 0);
  QCTexture most;
  ReadAnimatedTexture(&most, Node(L"most"), 1, 1);
  EXPECT_EQ(most.Frames().size(), static_cast<size_t>(kMaxTextureFrames));
}

TEST_F(TextureTest, FramesStepAtTheirRateOneAtATime) {
  QCTexture holes;
  ReadAnimatedTexture(&holes, Node(L"holes"), 1, 1);  // fps 4, four frames, holding the last
  int updates = 0;
  while (holes.GetCurrentFrame() == 0 && updates < 100) {
    holes.Advance(0.01f);
    ++updates;
  }
  EXPECT_EQ(updates, 25);
  for (int i = 0; i < 5; ++i) holes.Advance(10.0f);
  EXPECT_EQ(holes.GetCurrentFrame(), 3) << "one frame per update, then the last frame held";

  QCTexture copy(holes);
  EXPECT_EQ(copy.GetCurrentFrame(), 3);
  copy.SetImage(mTextures.Find("a"));
  EXPECT_EQ(copy.GetFrameCount(), 1);
  EXPECT_EQ(copy.GetCurrentFrame(), 0);
  copy.Advance(10.0f);
  EXPECT_EQ(copy.GetCurrentFrame(), 0) << "a still image does not step";

  QCTexture wrap;
  ReadAnimatedTexture(&wrap, Node(L"wrap"), 1, 1);
  std::vector<int> frames;
  for (int i = 0; i < 4; ++i) {
    wrap.Advance(0.02f);
    frames.push_back(wrap.GetCurrentFrame());
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 0, 1}));
}

TEST_F(TextureTest, DrawingUsesTheCurrentFrameClipAndMode) {
  RecordingImage screen;
  Velk::Graphics g(&screen);
  QCTexture anim;
  ReadAnimatedTexture(&anim, Node(L"anim"), 40, 50);
  anim.SetClipRect(Velk::Rect(5, 6, 70, 80));
  anim.SetCurrentFrame(1);
  anim.DrawTransformed(&g);
  ASSERT_EQ(screen.draws.size(), 1u);
  const DrawRecord& draw = screen.draws[0];
  EXPECT_TRUE(draw.transformed);
  EXPECT_EQ(draw.source, mTextures.Find("glow01").GetRecord()->image.get());
  EXPECT_EQ(draw.drawMode, 1);
  EXPECT_EQ(draw.clip, Velk::Rect(5, 6, 70, 80));
  EXPECT_EQ(draw.sourceRect, Velk::Rect(1, 2, 30, 50));
  EXPECT_EQ(g.GetDrawMode(), 0);
  EXPECT_EQ(mTextures.loads["img\\glow01.png"], 1) << "a frame loads on its first draw";

  anim.Draw(&g, Velk::Rect(10, 20, 60, 100));
  ASSERT_EQ(screen.draws.size(), 2u);
  EXPECT_EQ(screen.draws[1].destRect, Velk::Rect(10, 20, 60, 100));

  anim.SetVisible(false);
  anim.DrawTransformed(&g);
  anim.SetVisible(true);
  anim.SetCurrentFrame(7);
  anim.Draw(&g, Velk::Rect(0, 0, 1, 1));
  EXPECT_EQ(screen.draws.size(), 2u);
  anim.ReleaseFrames();
}
