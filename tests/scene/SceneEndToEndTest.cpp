// A level on a running headless engine: it loads on the loading thread behind the hidden board, the
// board shows, the table is hovered and clicked through the window, the walker walks there on the
// game clock and uses it, and the parts are drawn back to front.
#include <gtest/gtest.h>

#include "engine/EngineTestSupport.h"
#include "engine/QCCursorManager.h"
#include "engine/TextVars.h"
#include "graphics/Graphics.h"
#include "platform/ddraw/DDrawPresenter.h"
#include "platform/window/WinUser.h"
#include "scene/SceneFixture.h"

using namespace SceneTesting;

namespace {

const char* kUi = R"(<root>
  <texture id="cursor_normal" file="img\cursor.png"/>
  <cursors mode="normal" image="cursor_normal" hot_spot_x="0" hot_spot_y="0"/>
  <cursors mode="active" image="cursor_normal" hot_spot_x="0" hot_spot_y="0"/>
</root>)";

// Floor (blue) behind the table (red), the tray (green) on the table, two click markers (white)
// over the table, and the walker (yellow left half, magenta right half) standing by the door.
const char* kScene = R"(<root><objects>
  <object class="item" name="floor"><part name="floor" offs_x="100" offs_y="100"
      order0_x="100" order0_y="100" order1_x="200" order1_y="100" order2_x="300" order2_y="100"/></object>
  <object class="pickable" name="table" rgn="150 150 250 150 250 200 150 200">
    <part name="table" offs_x="150" offs_y="150" order0_x="150" order0_y="200" order1_x="200" order1_y="200" order2_x="250" order2_y="200"/>
    <part name="checkmark" offs_x="190" offs_y="130" zover="1"/><part name="checkmark" offs_x="210" offs_y="130" zover="1"/>
    <picks pick="tray"/><point owner="boss" direction="t" offs_x="200" offs_y="260"/></object>
  <object class="pickable" name="tray" rgn="160 160 180 160 180 180 160 180">
    <part name="tray" offs_x="160" offs_y="160" order0_x="160" order0_y="205" order1_x="170" order1_y="205" order2_x="180" order2_y="205"/></object>
  <object class="boss" name="boss" orient="b" start_point="door"><part name="boss"/></object>
</objects>
<graphs><graph name="boss"><points><point name="door" x="400" y="270" direction="b"/></points>
  <edges><edge p1="door" p2="table"/></edges></graph></graphs></root>)";

const char* kLevel = R"(<level doc="cfg\scene_a.xml"><objects>
  <object name="floor" anim="idle"/><object name="table" anim="idle"/><object name="tray" anim="idle"/>
  <object name="boss" anim="idle"/></objects></level>)";

// Blending rounds a channel down by at most one step.
::testing::AssertionResult Near(uint32_t actual, uint32_t expected) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > 2) return ::testing::AssertionFailure() << std::hex << actual << " is not " << expected;
  }
  return ::testing::AssertionSuccess();
}

class SceneEndToEndTest : public EngineTest {
 protected:
  void SetUp() override {
    WriteStartUpData();
    WriteData("cfg/ui.xml", kUi);
    WriteData("cfg/scene_a.xml", kScene);
    WriteData("cfg/l1.xml", kLevel);
    WriteData("cfg/cfg.xml", kCharactersXml);
    Still("floor", "flooridle", "img/floor.png", 200, 200, 0, 0, 0xFF0000FF);
    Still("table", "tableidle", "img/table.png", 100, 50, 0, 0, 0xFF804000);
    Still("tray", "trayidle", "img/tray.png", 20, 20, 0, 0, 0xFF00FF00);
    Still("checkmark", "checkmarkidle", "img/check.png", 8, 8, 0, 0, 0xFFFFFFFF);
    // Feet at the position: the frame hangs 20 pixels above it, centred.
    Still("boss", "bossbidle", "img/boss.png", 10, 20, -5, -20, 0);
    auto image = ImageLib::Image::Create(10, 20);
    for (int i = 0; i < 200; ++i) image->GetBits()[i] = (i % 10) < 5 ? 0xFFFFFF00 : 0xFFFF00FF;
    ASSERT_TRUE(ImageLib::WritePNGImage(scratch_ / "img/boss.png", image.get()));
    SetSceneObjectCreator("pickable", [] { return static_cast<QCItem*>(new TestPick()); });
    SetSceneObjectCreator("boss", [] { return static_cast<QCItem*>(new TestWalker()); });
  }
  void TearDown() override {
    SetSceneObjectCreator("pickable", [] { return static_cast<QCItem*>(new QCPickItem()); });
    SetSceneObjectCreator("boss", nullptr);
    QCMoveItem::ClearCharacters();
  }
  // An animation file with one still entry; a colour other than 0 writes its image too.
  void Still(const std::string& part, const std::string& entry, const std::string& image, int w, int h, int offX,
             int offY, uint32_t argb) {
    AnmTesting::AnmBytes bytes;
    AnmTesting::RawSequence still;
    still.frames.push_back({{0, 0, w, h, offX, offY}});
    bytes.sequences.push_back(still);
    bytes.entries.push_back({image, entry, 0, 0, false});
    const std::vector<uint8_t> file = bytes.Build();
    scratch_.Write("anm/" + part + ".anm", std::string(file.begin(), file.end()));
    if (argb) WriteImage(image, w, h, argb);
  }
  void RunFor(int ms) {
    const DWORD target = engine_->mUpdateCount + static_cast<DWORD>(ms / 10);
    for (int guard = 0; engine_->mUpdateCount < target && guard < 100000; ++guard) Steps(1);
  }
  void Mouse(TestEngine& engine, int x, int y, bool click) {
    auto* headless = static_cast<Velk::HeadlessBackend*>(&Velk::Backend::Get());
    headless->InjectMouseMove(engine.mHWnd, x, y);
    if (click) {
      headless->InjectMouseButton(engine.mHWnd, Velk::MouseButton::Left, true, x, y);
      headless->InjectMouseButton(engine.mHWnd, Velk::MouseButton::Left, false, x, y);
    }
    RunFor(20);
  }
  // The colour at a point of the play area on the last frame shown (the window's client area).
  uint32_t Rgb(int x, int y) {
    const POINT p{x, y};
    int width = 0, height = 0;
    const std::vector<uint32_t> frame = Velk::DDrawScreen::Snapshot(&width, &height);
    if (p.x < 0 || p.y < 0 || p.x >= width || p.y >= height) return 0xDEADu;
    return frame[static_cast<size_t>(p.y) * static_cast<size_t>(width) + static_cast<size_t>(p.x)] & 0xFFFFFF;
  }
};

TEST_F(SceneEndToEndTest, ALevelLoadsIsClickedAndWalked) {
  TestEngine& engine = StartEngine();
  engine.StartLoadingThread();
  engine.WaitForLoader();
  static_cast<Velk::HeadlessBackend*>(&Velk::Backend::Get())->InjectFocus(engine.mHWnd, true);
  RunFor(20);
  ASSERT_TRUE(engine.mActive);
  {
    IXMLDOMDocument* cfg = CreateAndLoadXmlDocument("cfg\\cfg.xml");
    IXMLDOMNode* root = nullptr;
    cfg->selectSingleNode(L"root", &root);
    QCMoveItem::LoadCharacters(root);
    root->Release();
    cfg->Release();
  }
  auto* board = new TestBoard();
  board->walkToClicks = true;
  engine.mWidgetManager->AddChild(board);

  board->StartLevelLoading(1, 0);
  EXPECT_FALSE(board->mVisible);
  for (int guard = 0; board->IsLevelLoading() && guard < 100000; ++guard) Steps(1);
  ASSERT_FALSE(board->IsLevelLoading());
  EXPECT_TRUE(board->mVisible);
  EXPECT_TRUE(board->mRunning);
  EXPECT_FALSE(engine.mLoadingRaised);
  EXPECT_EQ(board->mMoney, 0);
  EXPECT_EQ(engine.GetTextVars()->GetTextVar("money"), L"0");
  EXPECT_EQ(board->calls, (std::vector<std::string>{"ReadLevel", "OnMoneyChanged", "StartLevel"}));

  // Back to front: floor, table, tray on it; the walker on free floor after them.
  RunFor(20);
  EXPECT_TRUE(Near(Rgb(120, 120), 0x0000FF));
  EXPECT_TRUE(Near(Rgb(200, 190), 0x804000));
  EXPECT_TRUE(Near(Rgb(170, 170), 0x00FF00));
  EXPECT_TRUE(Near(Rgb(396, 260), 0xFFFF00));
  EXPECT_TRUE(Near(Rgb(403, 260), 0xFF00FF));
  EXPECT_TRUE(Near(Rgb(191, 131), 0x0000FF)) << "the markers wait hidden";

  // Hovering the table lights it with a second, additive pass.
  Mouse(engine, 230, 170, false);
  EXPECT_EQ(board->mHovered, Pick("table"));
  EXPECT_EQ(engine.GetCursorManager()->GetCurrentName(), "active");
  EXPECT_GT(Rgb(230, 170) >> 16, 0x80u);
  EXPECT_TRUE(Near(Rgb(120, 120), 0x0000FF)) << "the floor is not lit";

  // The click queues the table; the walker sets off toward it, facing up-left (mirrored).
  Mouse(engine, 230, 170, true);
  EXPECT_EQ(board->clicked, std::vector<QCPickItem*>{Pick("table")});
  EXPECT_TRUE(Pick("table")->mMarkerShown[0]);
  TestWalker* boss = Walker();
  EXPECT_TRUE(boss->IsMoving());
  const int x = boss->mPosX;
  RunFor(300);
  EXPECT_LT(boss->mPosX, x);
  EXPECT_TRUE(boss->mParts[0]->mMirror);
  EXPECT_TRUE(Near(Rgb(191, 131), 0xFFFFFF)) << "the first marker is up";
  // Held still (a paused board) so that the frame shown is the one of this position.
  board->PauseGameSounds();
  RunFor(30);
  EXPECT_TRUE(Near(Rgb(boss->mPosX - 2, boss->mPosY - 10), 0xFF00FF)) << "mirrored: magenta on the left";
  EXPECT_TRUE(Near(Rgb(boss->mPosX + 4, boss->mPosY - 10), 0xFFFF00));
  // The mirrored cel lands at mirror width - offset x - width (0 + 5 - 10) from the position, moved
  // by the 2 pixels of the character's turn to the left.
  BlitLog log;
  Velk::Graphics g(&log);
  board->Draw(&g);
  // The walker's cel is the one 10 x 20; the overlay markers come after it.
  auto found = std::find_if(log.blits.begin(), log.blits.end(),
                            [](const BlitCall& b) { return b.src.mWidth == 10 && b.src.mHeight == 20; });
  ASSERT_NE(found, log.blits.end());
  const BlitCall& walker = *found;
  EXPECT_TRUE(walker.mirrored);
  EXPECT_EQ(walker.dest.mX, boss->mPosX - 3);
  EXPECT_EQ(walker.dest.mY, boss->mPosY - 20);
  board->ResumeGameSounds();

  // 100 px/s over 200.25 px: arrived and used within two and a half seconds.
  RunFor(2500);
  EXPECT_FALSE(boss->IsMoving());
  EXPECT_EQ(std::make_pair(boss->mPosX, boss->mPosY), std::make_pair(200, 260));
  EXPECT_EQ(Pick("table")->interactions.size(), 2u);
  EXPECT_FALSE(Pick("table")->mMarkerShown[0]);
  EXPECT_TRUE(Near(Rgb(191, 131), 0x0000FF)) << "the marker came down";

  engine.mWidgetManager->RemoveChild(board);
  board->Shutdown();
  delete board;
  engine.Shutdown();
}

}  // namespace
