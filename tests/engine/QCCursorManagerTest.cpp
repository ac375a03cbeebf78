#include "engine/QCCursorManager.h"

#include <thread>

#include "engine/EngineTestSupport.h"
#include "engine/TextureTestSupport.h"
#include "engine/XmlAccess.h"
#include "graphics/Graphics.h"
#include "support/MemoryPak.h"

namespace {

class CursorTest : public EngineTest {
 protected:
  void SetUp() override {
    // Made before the engine, so that this test's files come from memory.
    mPak = std::make_unique<MemoryPak>();
    TestEngine& engine = MakeEngine();
    for (const char* file : {"n.png", "a.png", "broken.png"}) mPak->Put(file, std::string("x"));
    mPak->Put("cfg/ui.xml", Utf16File(R"(<root>
      <texture id="n" file="n.png"/><texture id="a" file="a.png"/><texture id="broken" file="broken.png"/>
      <cursors mode="normal" image="n" hot_spot_x="3" hot_spot_y="5"/>
      <cursors mode="normal" image="a" hot_spot_x="9" hot_spot_y="9"/>
      <cursors mode="active" image="a"/>
      <cursors mode="broken" image="broken"/>
      <cursors mode="undeclared" image="nothing"/>
      <cursors image="n"/>
    </root>)"));
    mTextures.failing.insert("broken.png");
    IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\ui.xml");
    IXMLDOMNode* root = nullptr;
    doc->selectSingleNode(L"root", &root);
    mTextures.ReadUiTextures(root);
    mCursors = std::make_unique<QCCursorManager>(&engine);
    mCursors->ReadCursors(root, &mTextures);
    root->Release();
    doc->Release();
    engine.mWidgetManager->mLastMouseX = 100;
    engine.mWidgetManager->mLastMouseY = 50;
  }
  void TearDown() override { mCursors.reset(); }
  // Where the cursor was drawn, or nothing.
  std::vector<std::pair<float, float>> Drawn() {
    RecordingImage screen;
    Velk::Graphics g(&screen);
    mCursors->Draw(&g);
    std::vector<std::pair<float, float>> at;
    for (const DrawRecord& d : screen.draws) at.emplace_back(d.x, d.y);
    return at;
  }

  std::unique_ptr<MemoryPak> mPak;
  CountingTextures mTextures;
  std::unique_ptr<QCCursorManager> mCursors;
};

using Points = std::vector<std::pair<float, float>>;

}  // namespace

TEST_F(CursorTest, OnlyCursorsWithAKnownTextureAndANewModeAreMade) {
  EXPECT_TRUE(mCursors->HasCursor("normal"));
  EXPECT_TRUE(mCursors->HasCursor("active"));
  EXPECT_TRUE(mCursors->HasCursor("broken"));
  EXPECT_FALSE(mCursors->HasCursor("undeclared"));
  EXPECT_FALSE(mCursors->HasCursor(""));
  EXPECT_EQ(mTextures.Find("a").GetRecord()->refCount, 1u) << "the second \"normal\" was ignored";
  EXPECT_EQ(mTextures.Find("n").GetRecord()->refCount, 1u);
}

TEST_F(CursorTest, TheSelectedCursorIsDrawnAtTheMouseMinusItsHotSpot) {
  mCursors->SetCursor("normal");
  EXPECT_TRUE(engine_->mCustomCursorsEnabled);
  EXPECT_EQ(engine_->mCursorNum, 12);
  EXPECT_EQ(Drawn(), (Points{{97.0f, 45.0f}}));
  mCursors->HideCursor();
  EXPECT_TRUE(Drawn().empty());
  mCursors->ShowCursor();
  EXPECT_EQ(Drawn().size(), 1u);

  // A cursor whose picture failed to load cannot be chosen; the previous one stays.
  mCursors->SetCursor("broken");
  EXPECT_EQ(mCursors->GetCurrentName(), "normal");

  // An unknown name brings the system arrow back and draws nothing.
  mCursors->SetCursor("undeclared");
  EXPECT_EQ(mCursors->GetCurrentName(), "");
  EXPECT_FALSE(engine_->mCustomCursorsEnabled);
  EXPECT_EQ(engine_->mCursorNum, 0);
  EXPECT_TRUE(Drawn().empty());
}

TEST_F(CursorTest, ASelectionOffTheMainThreadWaitsForTheMainThread) {
  engine_->mMainThreadId = GetCurrentThreadId();
  std::thread loader([this] {
    mCursors->SetCursor("active");
    mCursors->HideCursor();
  });
  loader.join();
  EXPECT_EQ(mCursors->GetCurrentName(), "");
  EXPECT_FALSE(engine_->mCustomCursorsEnabled);
  EXPECT_TRUE(Drawn().empty());
  mCursors->ApplyPendingCursor();
  mCursors->ShowCursor();
  EXPECT_EQ(mCursors->GetCurrentName(), "active");
  EXPECT_EQ(Drawn(), (Points{{100.0f, 50.0f}}));
  mCursors->ApplyPendingCursor();  // nothing pending any more
  EXPECT_EQ(mCursors->GetCurrentName(), "active");
}

TEST_F(CursorTest, ClearingReleasesEveryTexture) {
  mCursors->SetCursor("normal");
  mCursors->Clear();
  EXPECT_EQ(mCursors->GetCurrentName(), "");
  EXPECT_EQ(mTextures.Find("n").GetRecord()->refCount, 0u);
  EXPECT_EQ(mTextures.Find("n").GetRecord()->image, nullptr);
  EXPECT_FALSE(engine_->mCustomCursorsEnabled);
}
