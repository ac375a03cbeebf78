// A screen built from cfg\ui.xml on a running headless engine: it fades in, its nested button is
// clicked through the window, a modal dialog takes the clicks away, and an effect bursts stars.
#include <gtest/gtest.h>

#include "engine/EngineTestSupport.h"
#include "engine/QCDialog.h"
#include "engine/QCEffect.h"
#include "engine/QCParticleRegistry.h"
#include "engine/QCParticleSystem.h"
#include "engine/XmlAccess.h"
#include "platform/ddraw/DDrawPresenter.h"
#include "platform/window/InputTranslator.h"
#include "platform/window/WinUser.h"

namespace {

const char* kEffects = R"(<effects>
  <effect name="dlg_fade">
    <timers><timer name="in" type="usual" ftime="1.0" direction="forward">
      <control id="0" starttime="0" type="point" function="DlgShow" active="true"/>
      <control id="1" starttime="0" endtime="1" type="range" function="DlgFadeIn" active="true"/>
    </timer></timers>
    <messages><message name="onshow" command="start" timer_id="in"/></messages>
  </effect>
  <effect name="goal_fx">
    <timers><timer name="burst" type="usual" ftime="2.0" direction="forward">
      <control id="0" starttime="0" type="point" function="FuncOnGoalExpertPSEffect" active="true"/>
    </timer></timers>
    <messages>
      <message name="oncreate" command="start" timer_id="burst"/>
      <message name="render_ps" command="call" timer_id="RenderPSFunc"/>
    </messages>
  </effect>
</effects>)";

const char* kUi = R"(<root>
  <texture id="cursor_normal" file="img\cursor.png"/>
  <texture id="bg" file="img\bg.png"/>
  <texture id="fx_goal_star_small" file="img\star.png"/>
  <texture id="fx_goal_star_big" file="img\star.png"/>
  <element type="qcdialog" name="screen" x="0" y="0" width="800" height="600" effect="dlg_fade">
    <texture id="normal" texture="bg"/>
    <element type="qcdialog" name="box" x="100" y="100" width="200" height="100" visible="true">
      <element type="qcbutton" name="ok" x="10" y="10" width="80" height="30" visible="true"/>
    </element>
    <element type="qcdialog" name="popup" x="300" y="300" width="100" height="100" modal="true"/>
    <element type="qcdialog" name="stars" x="0" y="0" width="800" height="600" visible="true" mousevisible="false"
             effect="goal_fx"/>
  </element>
</root>)";

// A stand-in for the game's button: reports its release to the dialog it sits in.
class ClickButton : public QCCandyWidget {
 public:
  ClickButton(QCDialog* parent) : QCCandyWidget(parent), listener(parent), id(NextButtonId()) {}
  void MouseUp(int, int, int, int) override { listener->OnButtonReleased(id); }
  using QCCandyWidget::MouseUp;
  Velk::ButtonListener* listener;
  int id;
};

class TestScreen : public QCDialog {
 public:
  using QCDialog::QCDialog;
  std::vector<int> pressed;
  void ButtonDepress(int id) override { pressed.push_back(id); }
};

uint32_t Pixel(const std::vector<uint32_t>& frame, int width, POINT at) {
  return frame[static_cast<size_t>(at.y) * static_cast<size_t>(width) + static_cast<size_t>(at.x)] & 0xFFFFFF;
}

class ScreenEndToEndTest : public EngineTest {
 protected:
  void SetUp() override {
    WriteStartUpData();
    WriteData("cfg/effect.xml", kEffects);
    WriteData("cfg/ui.xml", kUi);
    WriteImage("img/bg.png", 800, 600, 0xFF00AA00);
    WriteImage("img/star.png", 8, 8, 0xFFFFFFFF);
    QCDialog::SetWidgetCreator("qcbutton", [](QCDialog* parent, IXMLDOMNode* node, QCEngine*) {
      auto* button = new ClickButton(parent);
      button->ReadCommonXml(node);
      return button;
    });
  }
  void TearDown() override { QCDialog::SetWidgetCreator("qcbutton", nullptr); }

  void Click(TestEngine& engine, int x, int y) {
    auto* headless = static_cast<Velk::HeadlessBackend*>(&Velk::Backend::Get());
    headless->InjectMouseMove(engine.mHWnd, x, y);
    headless->InjectMouseButton(engine.mHWnd, Velk::MouseButton::Left, true, x, y);
    headless->InjectMouseButton(engine.mHWnd, Velk::MouseButton::Left, false, x, y);
    RunFor(50);
  }

  // Steps the loop (which sleeps on the manual clock) until that much game time was updated.
  void RunFor(int ms) {
    const DWORD target = engine_->mUpdateCount + static_cast<DWORD>(ms / 10);
    for (int guard = 0; engine_->mUpdateCount < target && guard < 100000; ++guard) Steps(1);
  }
};

TEST_F(ScreenEndToEndTest, FadesInTakesClicksAndDrawsStars) {
  TestEngine& engine = StartEngine();
  engine.StartLoadingThread();
  engine.WaitForLoader();

  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\ui.xml");
  ASSERT_NE(doc, nullptr);
  IXMLDOMNode* root = nullptr;
  ASSERT_EQ(doc->selectSingleNode(L"root", &root), S_OK);
  auto* screen = new TestScreen(nullptr, &engine);
  screen->LoadFromUi(root, "screen");
  root->Release();
  doc->Release();
  engine.mWidgetManager->AddChild(screen);
  auto* ok = dynamic_cast<ClickButton*>(screen->FindChild("box")->FindChild("ok"));
  ASSERT_NE(ok, nullptr);

  engine.ResetTiming(false);
  screen->Show();
  RunFor(200);
  int width = 0, height = 0;
  const POINT corner{20, 20};  // the windowed primary is the client area
  std::vector<uint32_t> frame = Velk::DDrawScreen::Snapshot(&width, &height);
  ASSERT_EQ(frame.size(), 800u * 600u);
  EXPECT_NE(Pixel(frame, width, corner), 0x00AA00u) << "still fading in";
  RunFor(900);  // one second in all
  frame = Velk::DDrawScreen::Snapshot(&width, &height);
  EXPECT_FLOAT_EQ(screen->mOpacity, 1.0f);
  EXPECT_EQ(Pixel(frame, width, corner), 0x00AA00u);

  // The stars of the goal effect are out and drawn over the background.
  auto* stars = static_cast<QCParticleSystem*>(screen->FindChild("stars")->mEffect->EffectGetParam(kParamParticles0));
  ASSERT_NE(stars, nullptr);
  EXPECT_FALSE(stars->LiveParticles().empty());
  int whiteish = 0;
  for (uint32_t p : frame) whiteish += ((p >> 16) & 0xFF) > 0x80 ? 1 : 0;
  EXPECT_GT(whiteish, 0);

  Click(engine, 150, 125);
  EXPECT_EQ(screen->pressed, std::vector<int>{ok->id});

  // While the modal dialog is up the button below it takes no clicks.
  auto* popup = dynamic_cast<QCDialog*>(screen->FindChild("popup"));
  popup->Show();
  EXPECT_TRUE(popup->mModalRegistered);
  Click(engine, 150, 125);
  EXPECT_EQ(screen->pressed.size(), 1u);
  popup->Hide();
  Click(engine, 150, 125);
  EXPECT_EQ(screen->pressed.size(), 2u);
  engine.Shutdown();
}

}  // namespace
