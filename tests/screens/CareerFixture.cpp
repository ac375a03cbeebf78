#include "CareerFixture.h"

#include "engine/LocTexts.h"
#include "screens/QCBoard_Confirm2.h"
#include "screens/ConfirmDialogs.h"
#include "ui/UiXmlDoc.h"

namespace {

// Pictures the career and in-game screens name; "briefing_05" is missing on purpose.
const char* const kPictures[] = {
    "briefing_00",
    "briefing_qq",
    "briefing_16",
    "briefing_58",
    "ebriefing_02",
    "cafe_1",
    "cafe_2",
    "cafe_3",
    "cafe_01",
    "hud_watch00",
    "hud_watch01",
    "hud_watch02",
    "hud_watch03",
    "hud_upgrade_00",
    "hud_upgrade_01",
    "hud_upgrade_02",
    "mn09_char_small_oven_hot",
    "mn09_char_oven",
    "mn09_medal_hot",
    "mn09_char_small_sofa_red",
};

std::string Hidden(const std::string& type, const std::string& name, int x, int y, int w, int h,
                   const std::string& children = "") {
  return UiText::Element(type, name,
                         "x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
                             std::to_string(w) + "\" height=\"" + std::to_string(h) + "\"",
                         children);
}

std::string Picture(const std::string& name, bool visible = true) {
  return UiText::Element(
      "qctext", name,
      std::string("x=\"10\" y=\"10\" width=\"64\" height=\"48\"") + (visible ? " visible=\"true\"" : ""),
      R"(<texture id="normal" texture="white"/><texture id="disabled" texture="white"/>)");
}

std::string Numbered(const char* format, int n) {
  char name[32];
  std::snprintf(name, sizeof name, format, n);
  return name;
}

std::string Badges() {
  std::string badges;
  for (int k = 1; k <= 4; ++k)
    badges += Hidden("qctext", Numbered("ach_%d", k), 0, 0, 32, 32) +
              Hidden("qctext", Numbered("ach_%d_bg", k), 0, 0, 32, 32);
  return UiText::Dialog("achievment_bg", "x=\"20\" y=\"400\" width=\"300\" height=\"40\" visible=\"true\"", badges);
}

// The left page's slots; day buttons are 45 x 25 in rows of four.
std::string Slots(bool withButtons) {
  std::string slots;
  for (int n = 1; n <= 24; ++n) {
    const int x = 20 + ((n - 1) % 4) * 80;
    const int y = 40 + ((n - 1) / 4) * 60;
    if (withButtons)
      slots += UiText::Element(
          "qcbutton", Numbered("day_button_%02d", n),
          "x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"45\" height=\"25\" visible=\"true\"",
          R"(<texture id="normal" texture="grey"/>)");
    slots += UiText::Label(Numbered("day_text_%02d", n), x, y + 25);
    for (const char* mark : {"goal_%02d", "expert_%02d", "star_%02d"})
      slots += Hidden("qctext", Numbered(mark, n), x + 30, y, 16, 16);
  }
  return slots;
}

std::string ResultPhotos() {
  std::string photos = Picture("photo_briefing");
  for (const char* name : {"photo_goal", "photo_expert", "photo_star", "ach_prize"})
    photos += Hidden("qctext", name, 200, 300, 64, 64);
  return photos + Badges();
}

std::string Comics() {
  std::string pages;
  for (const char* name :
       {"comix00a", "comix00b", "comix00c", "comix05", "comix15", "comix25", "comix35", "comix45", "comix60"})
    pages += UiText::Page(name, UiText::Label("picture", 20, 20), "", false);
  return UiText::Dialog("comix", "x=\"0\" y=\"0\" width=\"732\" height=\"565\"",
                        UiText::Button("next_button", 600, 520) + pages + UiText::Leaves());
}

std::string Group(const std::string& name, const std::string& children) {
  return UiText::Dialog(name, "x=\"0\" y=\"0\" width=\"800\" height=\"600\" visible=\"true\" mousevisible=\"false\"",
                        children);
}

std::string Clock() {
  return UiText::Element("qctext", "clock", "x=\"10\" y=\"10\" width=\"64\" height=\"60\" visible=\"true\"",
                         R"(<texture id="normal" texture="white"/>)");
}

std::string Hud() {
  std::string figures;
  for (const char* name :
       {"goal_value", "expert_value", "goal_bkg", "expert_bkg", "goal_text", "expert_text", "money_goal_value",
        "money_expert_value", "money_goal_value_ghost", "money_expert_value_ghost"})
    figures += Hidden("qctext", name, 600, 10, 100, 20);
  std::string achievements;
  for (int k = 1; k <= 4; ++k) achievements += Hidden("qctext", Numbered("ach_%d", k), 0, 0, 32, 32);
  for (int row = 1; row <= 3; ++row) {
    for (int star = 1; star <= 5; ++star)
      achievements += Hidden("qctext", "ach_" + std::to_string(row) + Numbered("_%02d", star), 0, 0, 16, 16);
  }
  std::string lives;
  for (int i = 0; i < 4; ++i) lives += Hidden("qctext", Numbered("life_%d", i), 20 * i, 0, 16, 16);
  return UiText::Dialog(
      "hud", "x=\"0\" y=\"0\" width=\"800\" height=\"600\" mousevisible=\"false\"",
      Group("right_part", figures) + UiText::Button("menu_btn", 700, 560) +
          Group("left_part",
                Clock() + Hidden("qctext", "alarm", 80, 10, 32, 32) + Hidden("qctext", "closed", 80, 50, 32, 32)) +
          Group("achievments", achievements) +
          Group("left_survival_part", Clock() + Hidden("qctext", "upgrade_back", 80, 10, 32, 32) +
                                          UiText::Button("upgrade_btn", 80, 60, false)) +
          UiText::Dialog("goal_splash", "x=\"300\" y=\"200\" width=\"200\" height=\"100\"",
                         UiText::Label("shine", 0, 0)) +
          UiText::Dialog("expert_splash", "x=\"300\" y=\"200\" width=\"200\" height=\"100\"",
                         UiText::Label("shine", 0, 0)) +
          Group("survival_life", lives) + Group("globalclean", Hidden("qctext", "globalcleaning", 0, 0, 64, 64)) +
          Group("freeze", Hidden("qctext", "step_1", 0, 0, 8, 8) + Hidden("qctext", "step_2", 0, 0, 8, 8) +
                              Hidden("qctext", "step_3", 0, 0, 8, 8)) +
          Hidden("qctext", "tutor_bg", 0, 0, 800, 600) + Hidden("qctext", "tutorial", 0, 0, 50, 50) +
          Hidden("qctext", "tutorial12", 0, 0, 50, 50) + Hidden("qctext", "tutorial3", 0, 0, 50, 50) +
          Hidden("qctext", "tutorial03", 0, 0, 50, 50) + Hidden("qctext", "tutorialx", 0, 0, 50, 50));
}

std::string Briefing() {
  return UiText::Dialog("briefing_dialog", "x=\"100\" y=\"50\" width=\"600\" height=\"500\"",
                        UiText::Button("start", 250, 440) + UiText::Label("goal_text", 20, 300) +
                            UiText::Label("expert_text", 20, 340) + UiText::Label("settings_text", 20, 380) +
                            Picture("picture") + UiText::Label("briefing", 20, 200));
}

std::string Upgrade(int trays) {
  std::string content =
      UiText::Dialog("upgrade_dialog", "x=\"100\" y=\"100\" width=\"600\" height=\"300\"",
                     UiText::Button("upgrade", 250, 250) + UiText::Label("upgrade_description", 20, 200) +
                         Picture("upgrade_photo") + Picture("upgrade_medal", false));
  for (int i = 1; i <= trays; ++i) {
    content += UiText::Dialog(Numbered("upgrade_tray%d", i),
                              "x=\"" + std::to_string(100 * i) + "\" y=\"450\" width=\"90\" height=\"90\"",
                              UiText::Button("button", 0, 0, false) + Hidden("qctext", "select", 0, 0, 90, 90));
  }
  return UiText::Dialog("upgrade_menu", "x=\"0\" y=\"0\" width=\"800\" height=\"600\"", content);
}

}  // namespace

namespace UiText {

std::string CareerMenu() {
  const std::string book = "x=\"34\" y=\"17\" width=\"732\" height=\"565\"";
  const std::string left =
      Button("back_button", 20, 520) + Picture("photo_cafe") + Hidden("qctext", "day_mark", 0, 0, 31, 21) + Slots(true);
  const std::string right =
      Button("next_button", 20, 520, false) + Button("play_button", 200, 520) + ResultPhotos() +
      Label("brief_debrief", 20, 100) +
      Element("qctext", "score", "x=\"20\" y=\"384\" width=\"190\" height=\"28\" visible=\"true\" label=\"car_score\"");
  const std::string fakeLeft = Picture("photo_cafe") + Hidden("qctext", "day_mark", 0, 0, 31, 21) + Slots(false);
  std::string tabs;
  for (int c = 1; c <= 3; ++c)
    tabs += Button(Numbered("cafe%d_button", c), 740, 40 + 60 * c, false) +
            Hidden("qctext", Numbered("cafe%d_text_big", c), 740, 40 + 60 * c, 50, 50);
  return Dialog("career_menu", book,
                Page("career_dlg", left, right, true) + Page("career_dlg_fake", fakeLeft, ResultPhotos(), false) +
                    tabs + Button("reset_button", 740, 400, false) + Button("current_day", 740, 450, false) + Comics() +
                    Hidden("qcdialog", "expert_splash", 300, 200, 100, 100, Label("shine", 0, 0)) +
                    Hidden("qcdialog", "goal_splash", 300, 200, 100, 100, Label("shine", 0, 0)) +
                    Hidden("qcdialog", "fail_splash", 300, 200, 100, 100, Label("shine", 0, 0)) + Leaves());
}

std::string SurvivalMenu() {
  std::string left;
  std::string right = Button("cancel_button", 20, 520) + Button("play_button", 200, 520);
  for (int c = 1; c <= 3; ++c) {
    left += Button(Numbered("cafe%d_button", c), 20, 60 * c) + Label(Numbered("cafe%d_text", c), 20, 60 * c) +
            Button(Numbered("cafe%d_small_photo", c), 200, 60 * c);
    for (const char* format : {"cafe%d_photo", "cafe%d_head", "cafe%d_desc"})
      right += Label(Numbered(format, c), 20, 60 * c);
  }
  return Dialog("survival_menu", "x=\"34\" y=\"17\" width=\"732\" height=\"565\"",
                Page("survival_dlg", left, right, false) + Leaves());
}

std::string InGameScreens(int trays) { return Hud() + Briefing() + Upgrade(trays); }

}  // namespace UiText

CareerTest::CareerTest() {
  std::string list = "<root>";
  for (const char* id : kPictures) {
    const std::string file = std::string("t\\") + id + ".png";
    textures.pictures[file] = {32, 32, 0xFF808080};
    pak.Put(std::string("t/") + id + ".png", std::string("picture"));
    list += std::string("<texture id=\"") + id + "\" file=\"t\\" + id + ".png\"/>";
  }
  UiXmlDoc doc(list + "</root>");
  textures.ReadUiTextures(doc.Root());
}

void CareerTest::StartAtDay(int currentDay) {
  Game().mPref.CreateProfile(L"Ann", nullptr, nullptr);
  Profile().mCurrentDay = currentDay;
  StartScreens(UiText::Screens(UiText::InGameScreens()));
}

CafeTestBoard* CareerTest::AddCafeBoard() {
  UiXmlDoc ui(UiText::Screens(UiText::InGameScreens()));
  cafe = new CafeTestBoard();
  board = cafe;
  cafe->hud = new QBoard_Hud(cafe, &Game(), ui.Root());
  cafe->BindControl("hud", cafe->hud);
  cafe->briefing = new QCBoard_Briefing(&Game(), ui.Root());
  cafe->BindControl("briefingdlg", cafe->briefing);
  cafe->upgrade = new QCBoard_Upgrade(&Game(), ui.Root());
  cafe->BindControl("upgrade", cafe->upgrade);
  Manager()->AddChild(cafe);
  cafe->SetVisible(true);
  cafe->mRunning = true;
  return cafe;
}

bool CareerTest::ShowsPicture(QCCandyWidget* control, const std::string& id) {
  QCTexture* texture = control != nullptr ? control->GetTexture(0, 0) : nullptr;
  if (texture == nullptr || texture->Frames().empty()) return false;
  return texture->Frames()[0].GetRecord() == textures.Find(id).GetRecord() && !textures.Find(id).IsEmpty();
}

void CareerTest::AnswerNextQuestion(bool yes) {
  Game().onStep = [this, yes] {
    Game().onStep = nullptr;
    Release(yes ? GetConfirm2()->mBtnYes : GetConfirm2()->mBtnNo);
  };
}

std::wstring CareerTest::Var(const std::string& name) { return GetTextVar(name); }
