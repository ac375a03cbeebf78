#include "ScreenFixture.h"

#include <fstream>
#include <iterator>

#include "engine/QCEffect.h"
#include "engine/LocTexts.h"
#include "platform/modules/Modules.h"
#include "support/XmlFixture.h"
#include "ui/QCButton.h"
#include "ui/UiXmlDoc.h"

namespace {

const char* kEffects = R"(<effects>
  <effect name="shift"><timers><timer name="t"/></timers><messages>
    <message name="onshiftright" command="call" timer_id="ScreenTestShiftRight"/>
    <message name="onshiftleft" command="call" timer_id="ScreenTestShiftLeft"/>
  </messages></effect>
  <effect name="picture"><timers><timer name="on" type="usual" ftime="0.3" direction="forward">
      <control id="0" starttime="0" type="point" function="DlgShow" active="true"/>
      <control id="1" starttime="0" endtime="0.1" type="range" function="DlgFadeIn" active="true"/>
      <control id="2" starttime="0.3" type="point" function="DlgHide" active="true"/>
    </timer></timers>
    <messages><message name="onshow" command="start" timer_id="on"/></messages></effect>
  <effect name="slow_show"><timers><timer name="in" type="usual" ftime="0.5" direction="forward">
      <control id="0" starttime="0.5" type="point" function="DlgShow" active="true"/>
    </timer><timer name="out" type="usual" ftime="0.5" direction="forward">
      <control id="0" starttime="0.5" type="point" function="DlgHide" active="true"/>
    </timer></timers>
    <messages><message name="onshow" command="start" timer_id="in"/>
      <message name="onhide" command="start" timer_id="out"/></messages></effect>
  <effect name="fade_out"><timers><timer name="out" type="usual" ftime="0.5" direction="forward">
      <control id="0" starttime="0.5" type="point" function="DlgHide" active="true"/>
    </timer></timers>
    <messages><message name="onhide" command="start" timer_id="out"/></messages></effect>
</effects>)";

const char* kLoc = R"(<root>
  <loc id="db01_text1_delprof" text="Delete this profile?"/>
  <loc id="db01_text2_delprof" text="Its progress is lost."/>
  <loc id="db01_btnyes_delprof" text="Delete"/>
  <loc id="db01_btnno_delprof" text="Keep"/>
  <loc id="db01_text1_exitmenu" text="Leave the day?"/>
  <loc id="db01_btnyes_exitmenu" text="Leave"/>
  <loc id="db01_text1_upgrade" text="A new upgrade"/>
  <loc id="db01_btnyes_upgrade" text="Fine"/>
  <loc id="player_label" text="Player: %profile_name%"/>
  <loc id="db01_text1_delcareer" text="Start the career again?"/>
  <loc id="breif_qq" text="Today"/><loc id="breif_l5" text="Day five"/><loc id="breif_l15" text="Day fifteen"/>
  <loc id="breif_text_l16" text="Sixteen"/><loc id="breif_text_l59" text="Last"/><loc id="ebreif_text_l02" text="Endless two"/>
  <loc id="1" text="one"/><loc id="2" text="two"/><loc id="3" text="three"/><loc id="24" text="twenty-four"/>
  <loc id="mn04_goal" text="Goal"/><loc id="mn04_expert" text="Expert"/><loc id="mn04_ready" text="Ready"/>
  <loc id="mn04_endless_goal" text="Stage"/><loc id="mn04_endless_expert" text="Record"/>
  <loc id="mn04_endless_ready" text="Go"/><loc id="mn09_desc_oven_hot" text="A hot oven"/>
  <loc id="car_score" text="Best: $%score%"/><loc id="car_earned" text="Earned: $%score%"/>
</root>)";

// The pictures the screens name; db01_icon_exitmenu is missing on purpose.
const char* kExtraTextures = R"(<root>
  <texture id="pages_f" file="t\pages_f.png"/><texture id="pages_b" file="t\pages_b.png"/>
  <texture id="db01_icon_delprof" file="t\icon.png"/>
</root>)";

std::vector<std::pair<std::string, void*>> gShifts;

int ShiftRight(void* effect) {
  gShifts.emplace_back("right", effect);
  return 1;
}

int ShiftLeft(void* effect) {
  gShifts.emplace_back("left", effect);
  return 1;
}

std::string Rows(char table) {
  std::string rows;
  for (int i = 0; i < 10; ++i) {
    const std::string row = std::string(1, table) + std::to_string(i);
    rows += UiText::Label("line" + row, 20, 40 + 40 * i) + UiText::Label("score" + row, 250, 40 + 40 * i);
  }
  return rows;
}

std::string Slider(const std::string& name, int y) {
  return UiText::Element("qcslider", name,
                         "x=\"20\" y=\"" + std::to_string(y) +
                             "\" width=\"220\" height=\"20\" visible=\"true\" mz_x=\"10\" mz_y=\"0\" mz_width=\"200\" "
                             "mz_height=\"20\"",
                         R"(<element name="bar" x="10" y="5" width="200" height="10" visible="true" seg_width="10">
      <texture id="fill" texture="green"/><texture id="empty" texture="white"/></element>
    <element name="thumb" x="10" width="10" height="20" visible="true"><texture id="normal" texture="red"/></element>)");
}

std::string CheckBox(const std::string& name, int y) {
  return UiText::Element("qccheckbox", name,
                         "x=\"300\" y=\"" + std::to_string(y) + "\" width=\"20\" height=\"20\" visible=\"true\"",
                         R"(<texture id="normal" texture="white"/><texture id="check_normal" texture="green"/>)");
}

std::string Question(const std::string& name, bool twoButtons) {
  return UiText::Dialog(name, "x=\"200\" y=\"200\" width=\"400\" height=\"200\" modal=\"true\"",
                        UiText::Button("btn_yes", 20, 150) + (twoButtons ? UiText::Button("btn_no", 280, 150) : "") +
                            UiText::Label("text1", 20, 20) + UiText::Label("text2", 20, 60) +
                            UiText::Label("icon", 170, 100, R"(<texture id="normal" texture="white"/>)"));
}

}  // namespace

namespace UiText {

std::string Element(const std::string& type, const std::string& name, const std::string& attrs,
                    const std::string& children) {
  return "<element type=\"" + type + "\" name=\"" + name + "\" " + attrs + ">" + children + "</element>\n";
}

std::string Dialog(const std::string& name, const std::string& attrs, const std::string& children) {
  return Element("qcdialog", name, attrs, children);
}

std::string Button(const std::string& name, int x, int y, bool visible) {
  return Element("qcbutton", name,
                 "x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"100\" height=\"30\"" +
                     (visible ? " visible=\"true\"" : ""),
                 R"(<texture id="normal" texture="grey"/>)");
}

std::string Label(const std::string& name, int x, int y, const std::string& children) {
  return Element(
      "qctext", name,
      "x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"200\" height=\"30\" visible=\"true\"",
      children);
}

// Pages let clicks through to the screen's own controls under them.
std::string Page(const std::string& name, const std::string& left, const std::string& right, bool visible) {
  const std::string through = " mousevisible=\"false\" visible=\"true\"";
  return Dialog(name,
                std::string("x=\"0\" y=\"0\" width=\"732\" height=\"565\" mousevisible=\"false\"") +
                    (visible ? " visible=\"true\"" : ""),
                Dialog("left_page", "x=\"0\" y=\"0\" width=\"366\" height=\"565\"" + through, left) +
                    Dialog("right_page", "x=\"366\" y=\"0\" width=\"366\" height=\"565\"" + through, right));
}

std::string Leaves() {
  return Element("qctext", "f_pages", "x=\"0\" y=\"35\" width=\"146\" height=\"500\"",
                 R"(<texture id="normal" texture="white"/><texture id="disabled" texture="white"/>)") +
         Dialog("f_cover", "x=\"0\" y=\"0\" width=\"732\" height=\"565\"");
}

std::string Screens(const std::string& extra) {
  const std::string book = "x=\"34\" y=\"17\" width=\"732\" height=\"565\"";
  const std::string full = "x=\"0\" y=\"0\" width=\"800\" height=\"600\"";
  std::string mainButtons;
  int y = 40;
  for (const char* name : {"career", "survival", "scores", "settings", "help", "quit"}) {
    mainButtons += Button(name, 100, y);
    y += 50;
  }
  const std::string profileControls =
      Button("create", 20, 400) + Button("select", 130, 400) + Button("delete", 240, 400) +
      Element("qclist", "list", "x=\"20\" y=\"40\" width=\"300\" height=\"300\" visible=\"true\" line_spacing=\"24\"",
              R"(<texture id="normal" texture="white"/>)");
  const std::string nameDialog =
      Dialog("create_profile", "x=\"200\" y=\"200\" width=\"332\" height=\"160\"",
             Button("cancel", 20, 110) + Button("create", 210, 110) +
                 Element("qcedit", "entername_text", "x=\"20\" y=\"40\" width=\"290\" height=\"24\" visible=\"true\"",
                         R"(<texture id="normal" texture="white"/>
                     <textattr id="normal" color="ff000000" hcolor="ffffffff" font="sys"/>)"));
  std::string helpPages;
  for (const char* name : {"page_1", "xpage_2", "page_3"}) helpPages += Page(name, "", "", false);
  return "<root>\n" + Question("dialogbox_2button", true) + Question("dialogbox_1button", false) +
         Dialog("global_bkg", full, R"(<texture id="normal" texture="grey"/>)") + Dialog("menu_bg", full) +
         Dialog("load_screen", full) +
         Dialog("main_menu", book,
                Page("main_menu_dlg", "", mainButtons, false) + Button("profile_open", 700, 40) +
                    Button("profile_close", 0, 40, false) + Page("select_profile", profileControls, "", false) +
                    nameDialog + Leaves() + Label("player", 300, 530, "")) +
         Dialog("options", full,
                CheckBox("mute_checkbox", 100) + CheckBox("fullscreen_checkbox", 150) + Button("cancel", 100, 400) +
                    Button("apply", 300, 400) + Slider("sndvol_slider", 200) + Slider("musvol_slider", 250)) +
         Dialog("help", book + " effect=\"shift\"",
                Button("prev_btn", 20, 520) + Button("next_btn", 600, 520) + Button("close", 300, 520) + helpPages +
                    Leaves()) +
         Dialog("hiscores", book,
                Button("close", 300, 520) + Page("hiscores_dlg", Rows('0'), Rows('1'), false) + Leaves()) +
         Dialog("escape_menu", book + " modal=\"true\" effect=\"shift\"",
                Page("escape_dlg", "",
                     Button("restart", 100, 40) + Button("resume", 100, 90) + Button("settings", 100, 140) +
                         Button("help", 100, 190) + Button("quit", 100, 240),
                     true) +
                    Leaves()) +
         CareerMenu() + SurvivalMenu() + extra + "</root>\n";
}

}  // namespace UiText

ScreenTest::ScreenTest() : UiHarness([] { return std::unique_ptr<QCEngine>(new ScreenGame()); }) {
  Game().mIsWindowed = true;
  for (const char* name : {"pages_f", "pages_b", "icon"}) {
    textures.pictures[std::string("t\\") + name + ".png"] = {40, 30, 0xFFFFFFFF};
    pak.Put(std::string("t/") + name + ".png", std::string("picture"));
  }
  UiXmlDoc extra(kExtraTextures);
  textures.ReadUiTextures(extra.Root());
  pak.Put("cfg/loc.xml", Utf16File(kLoc));
  engine->LoadLocTable();
  ReleaseEffectDefinitions();
  pak.Put("cfg/effect.xml", Utf16File(kEffects));
  LoadEffectDefinitions();
  for (const auto& [name, function] :
       {std::pair{"ScreenTestShiftRight", &ShiftRight}, {"ScreenTestShiftLeft", &ShiftLeft}}) {
    Velk::ModuleTable::RegisterProgramExport(name, reinterpret_cast<FARPROC>(function));
    Velk::ModuleTable::HideEntry("", name, false);
  }
  gShifts.clear();
}

ScreenTest::~ScreenTest() {
  Game().onStep = nullptr;
  Manager()->RemoveAllChildren(true, false);
  for (const char* name : {"ScreenTestShiftRight", "ScreenTestShiftLeft"}) Velk::ModuleTable::HideEntry("", name);
}

void ScreenTest::StartScreens(const std::string& uiXml) {
  UiXmlDoc ui(uiXml);
  Game().MakeScreens(ui.Root());
  Game().OnLoadingFinished();
}

RecordingBoard* ScreenTest::AddBoard(bool running) {
  board = new RecordingBoard();
  Manager()->AddChild(board);
  board->SetVisible(true);
  board->mRunning = running;
  return board;
}

void ScreenTest::Release(QCCandyWidget* button) {
  auto* clicked = dynamic_cast<QCButton*>(button);
  ASSERT_NE(clicked, nullptr);
  static_cast<QCDialog*>(clicked->mParentWidget)->OnButtonReleased(clicked->GetId());
}

std::vector<std::wstring> ScreenTest::StoredProfiles() {
  std::vector<QCProfile> profiles;
  Game().mPref.ReadAllProfiles(profiles);
  std::vector<std::wstring> names;
  for (const QCProfile& profile : profiles) names.emplace_back(profile.mName);
  return names;
}

std::vector<std::pair<int, int>> ScreenTest::TakeVolumes() {
  std::vector<std::pair<int, int>> volumes;
  for (const SquallCall& call : squall.calls) {
    if (call.name == "ChannelGroup_SetVolume") volumes.emplace_back(call.args[0], call.args[1]);
  }
  squall.Clear();
  return volumes;
}

std::vector<std::pair<std::string, void*>>& ScreenTest::ShiftMessages() { return gShifts; }
