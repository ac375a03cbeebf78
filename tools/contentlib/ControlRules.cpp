// Rule 6: the controls that the screens bind by name, at the nesting where they look for them.
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "contentlib/GameRules.h"
#include "contentlib/ValidatorRules.h"

namespace Content::ValidatorRules {
namespace {

struct ScreenControls {
  const char* screen;
  std::vector<const char*> paths;  // '/' between nesting levels; [a-b] stands for a padded range
  std::vector<const char*> pages;  // the flipped pages, as paths from the screen
  bool isScreen = true;            // false: a dialog the board binds into the HUD, shown with it
};

// Exactly the names the screens, the board and the mini-game bind.
const std::vector<ScreenControls>& Table() {
  static const std::vector<ScreenControls> table = {
      {"global_bkg", {"steam"}, {}},
      {"menu_bg", {"sparkle"}, {}},
      {"load_screen", {}, {}},
      {"splash", {"pic1", "pic2"}, {}},
      {"main_menu",
       {"main_menu_dlg/left_page", "main_menu_dlg/right_page/career", "main_menu_dlg/right_page/survival",
        "main_menu_dlg/right_page/scores", "main_menu_dlg/right_page/settings", "main_menu_dlg/right_page/help",
        "main_menu_dlg/right_page/quit", "profile_open", "profile_close", "select_profile/left_page/list",
        "select_profile/left_page/list/scroll/up", "select_profile/left_page/list/scroll/down",
        "select_profile/left_page/list/scroll/slider", "select_profile/left_page/create",
        "select_profile/left_page/select", "select_profile/left_page/delete", "create_profile/entername_text",
        "create_profile/cancel", "create_profile/create"},
       {"main_menu_dlg", "select_profile"}},
      {"options",
       {"sndvol_slider/back", "sndvol_slider/bar", "sndvol_slider/thumb", "musvol_slider/back", "musvol_slider/bar",
        "musvol_slider/thumb", "mute_checkbox", "fullscreen_checkbox", "cancel", "apply"},
       {}},
      {"help", {"page_1", "prev_btn", "next_btn", "close"}, {"page_1"}},
      {"hiscores",
       {"hiscores_dlg/left_page/line0[0-9]", "hiscores_dlg/left_page/score0[0-9]", "hiscores_dlg/right_page/line1[0-9]",
        "hiscores_dlg/right_page/score1[0-9]", "close"},
       {"hiscores_dlg"}},
      {"career_menu",
       {"career_dlg/left_page/photo_cafe",
        "career_dlg/left_page/day_button_[01-24]",
        "career_dlg/left_page/day_text_[01-24]",
        "career_dlg/left_page/star_[01-24]",
        "career_dlg/left_page/goal_[01-24]",
        "career_dlg/left_page/expert_[01-24]",
        "career_dlg/left_page/day_mark",
        "career_dlg/left_page/back_button",
        "career_dlg/right_page/photo_briefing",
        "career_dlg/right_page/brief_debrief",
        "career_dlg/right_page/photo_goal",
        "career_dlg/right_page/photo_expert",
        "career_dlg/right_page/photo_star",
        "career_dlg/right_page/achievment_bg/ach_[1-4]_bg",
        "career_dlg/right_page/achievment_bg/ach_[1-4]",
        "career_dlg/right_page/ach_prize",
        "career_dlg/right_page/play_button",
        "career_dlg/right_page/next_button",
        "career_dlg_fake/left_page/photo_cafe",
        "career_dlg_fake/left_page/day_text_[01-24]",
        "career_dlg_fake/left_page/star_[01-24]",
        "career_dlg_fake/left_page/goal_[01-24]",
        "career_dlg_fake/left_page/expert_[01-24]",
        "career_dlg_fake/left_page/day_mark",
        "career_dlg_fake/right_page/photo_briefing",
        "career_dlg_fake/right_page/photo_goal",
        "career_dlg_fake/right_page/photo_expert",
        "career_dlg_fake/right_page/photo_star",
        "career_dlg_fake/right_page/achievment_bg/ach_[1-4]_bg",
        "career_dlg_fake/right_page/achievment_bg/ach_[1-4]",
        "career_dlg_fake/right_page/ach_prize",
        "cafe[1-3]_button",
        "cafe[1-3]_text_big",
        "reset_button",
        "current_day",
        "comix/comix00a",
        "comix/comix00b",
        "comix/comix00c",
        "comix/comix05",
        "comix/comix15",
        "comix/comix25",
        "comix/comix35",
        "comix/comix45",
        "comix/comix60",
        "comix/next_button",
        "expert_splash",
        "goal_splash",
        "fail_splash"},
       {"career_dlg", "career_dlg_fake", "comix/comix00a", "comix/comix00b", "comix/comix00c", "comix/comix05",
        "comix/comix15", "comix/comix25", "comix/comix35", "comix/comix45", "comix/comix60"}},
      {"survival_menu",
       {"survival_dlg/left_page/cafe[1-3]_button", "survival_dlg/left_page/cafe[1-3]_text",
        "survival_dlg/left_page/cafe[1-3]_small_photo", "survival_dlg/right_page/cafe[1-3]_photo",
        "survival_dlg/right_page/cafe[1-3]_head", "survival_dlg/right_page/cafe[1-3]_desc",
        "survival_dlg/right_page/cancel_button", "survival_dlg/right_page/play_button"},
       {"survival_dlg"}},
      {"escape_menu",
       {"escape_dlg/right_page/resume", "escape_dlg/right_page/restart", "escape_dlg/right_page/settings",
        "escape_dlg/right_page/help", "escape_dlg/right_page/quit"},
       {"escape_dlg"}},
      {"hud",
       {"right_part/goal_bkg",
        "right_part/expert_bkg",
        "right_part/goal_text",
        "right_part/expert_text",
        "right_part/goal_value",
        "right_part/expert_value",
        "right_part/money_goal_value",
        "right_part/money_goal_value_ghost",
        "right_part/money_expert_value",
        "right_part/money_expert_value_ghost",
        "menu_btn",
        "left_part/clock",
        "left_part/alarm",
        "left_part/closed",
        "achievments/ach_[1-4]",
        "achievments/ach_[1-3]_[01-05]",
        "left_survival_part/clock",
        "left_survival_part/upgrade_back",
        "left_survival_part/upgrade_btn",
        "goal_splash",
        "expert_splash",
        "survival_life/life_[0-3]",
        "globalclean/globalcleaning",
        "freeze/step_[1-3]",
        "tutor_bg/girl_front",
        "tutorial[1-24]/text"},
       {}},
      {"minigame", {"tray[01-16]", "effect_ele[01-16]"}, {}, false},
      {"upgrade_menu",
       {"upgrade_dialog/upgrade_photo", "upgrade_dialog/upgrade_medal", "upgrade_dialog/upgrade_description",
        "upgrade_dialog/upgrade", "upgrade_tray[1-4]/button", "upgrade_tray[1-4]/select"},
       {}},
      {"briefing_dialog", {"picture", "goal_text", "expert_text", "settings_text", "start"}, {}},
      {"dialogbox_2button", {"icon", "text1", "text2", "btn_yes", "btn_no"}, {}},
      {"dialogbox_1button", {"icon", "text1", "text2", "btn_yes"}, {}},
  };
  return table;
}

// "a[1-3]b" -> a1b, a2b, a3b; "x[01-16]" pads to the width of the first bound. Several ranges nest.
std::vector<std::string> Expand(const std::string& pattern) {
  const size_t open = pattern.find('['), dash = pattern.find('-', open), close = pattern.find(']', open);
  if (open == std::string::npos || dash == std::string::npos || close == std::string::npos) return {pattern};
  const std::string low = pattern.substr(open + 1, dash - open - 1);
  const int from = std::stoi(low), to = std::stoi(pattern.substr(dash + 1, close - dash - 1));
  std::vector<std::string> out;
  for (int i = from; i <= to; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%0*d", static_cast<int>(low.size()), i);
    for (const std::string& rest : Expand(pattern.substr(close + 1)))
      out.push_back(pattern.substr(0, open) + number + rest);
  }
  return out;
}

pugi::xml_node Child(pugi::xml_node parent, const std::string& name) {
  return parent.find_child_by_attribute("element", "name", name.c_str());
}

pugi::xml_node Find(pugi::xml_node screen, const std::string& path) {
  pugi::xml_node node = screen;
  size_t start = 0;
  while (node && start <= path.size()) {
    const size_t slash = std::min(path.find('/', start), path.size());
    node = Child(node, path.substr(start, slash - start));
    start = slash + 1;
  }
  return node;
}

size_t CountPrefix(pugi::xml_node parent, const char* prefix) {
  size_t n = 0;
  for (pugi::xml_node child : parent.children("element"))
    n += std::strncmp(child.attribute("name").value(), prefix, std::strlen(prefix)) == 0;
  return n;
}

void FlippedPage(pugi::xml_node screen, const std::string& path, const std::string& where, Findings& findings) {
  const pugi::xml_node page = Find(screen, path);
  if (!page) return;  // reported as a missing control
  for (const char* side : {"left_page", "right_page"})
    if (!Child(page, side)) findings.Add(kUi, where + ": the flipped page '" + path + "' has no " + side);
  for (const char* flip : {"f_pages", "f_cover"})
    if (!Child(page.parent(), flip))
      findings.Add(kUi, where + ": the parent of the flipped page '" + path + "' has no " + flip);
}

// A dialog binds its children by name: a second child of the same name would never be found.
void UniqueSiblings(pugi::xml_node parent, Findings& findings) {
  std::set<std::string> names;
  for (pugi::xml_node child : parent.children("element")) {
    const std::string name = child.attribute("name").value();
    if (!name.empty() && !names.insert(name).second)
      findings.Add(
          kUi, std::string("element '") + parent.attribute("name").value() + "' has two children named '" + name + "'");
    UniqueSiblings(child, findings);
  }
}

}  // namespace

void Controls(const Stage& stage, Findings& findings) {
  const pugi::xml_document* ui = stage.Document(kUi);
  if (!ui) return;
  const pugi::xml_node root = ui->document_element();
  UniqueSiblings(root, findings);
  for (const ScreenControls& screen : Table()) {
    const pugi::xml_node node = root.find_child_by_attribute("element", "name", screen.screen);
    const std::string where = std::string("screen '") + screen.screen + "'";
    if (!node || std::strcmp(node.attribute("type").value(), "qcdialog") != 0) {
      findings.Add(kUi, where + " is not a qcdialog element of the root");
      continue;
    }
    if (screen.isScreen && node.attribute("visible"))
      findings.Add(kUi, where + " carries visible: screens are shown by code");
    for (const char* pattern : screen.paths)
      for (const std::string& path : Expand(pattern))
        if (!Find(node, path)) findings.Add(kUi, where + " lacks the control '" + path + "'");
    for (const char* page : screen.pages) FlippedPage(node, page, where, findings);
  }
  if (const pugi::xml_node mini = root.find_child_by_attribute("element", "name", "minigame"))
    if (CountPrefix(mini, "tray") < 16 || CountPrefix(mini, "effect_ele") < 16)
      findings.Add(kUi, "screen 'minigame' needs at least 16 tray* and 16 effect_ele* controls");
  if (const pugi::xml_node upgrade = root.find_child_by_attribute("element", "name", "upgrade_menu"))
    if (CountPrefix(upgrade, "upgrade_tray") < 4)
      findings.Add(kUi, "screen 'upgrade_menu' needs at least 4 upgrade_tray* controls");
  if (const pugi::xml_node splash = root.find_child_by_attribute("element", "name", "splash"))
    for (pugi::xml_node picture : splash.children("element"))
      if (!*picture.find_child_by_attribute("texture", "id", "normal").attribute("texture").value())
        findings.Add(kUi,
                     std::string("splash picture '") + picture.attribute("name").value() + "' has no normal texture");
}

}  // namespace Content::ValidatorRules
