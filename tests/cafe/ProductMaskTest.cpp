#include "cafe/CafeNames.h"
#include "cafe/ProductMask.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

TEST(ProductMask, FitTable) {
  struct Case {
    const char* a;
    const char* b;
    bool fit;
  } cases[] = {
      {"1000", "0200", true},
      {"1000", "1000", false},
      {"0000", "0000", true},
      {"0030", "1204", true},
      {"0030", "0031", false},
      {"", "0000", false},
      {"0000", "", false},
      {"", "", false},
      {"100", "1000", false},
      {"0000", "000", false},
      // Item words share the field: "wash" holds a letter in every slot, "super" is one slot longer.
      {"wash", "0200", false},
      {"wash", "0000", true},
      {"super", "0000", false},
      {"super", "00000", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MasksFit(c.a, c.b), c.fit) << '"' << c.a << "\" / \"" << c.b << '"';
    EXPECT_EQ(MasksFit(c.b, c.a), c.fit) << "swapped: \"" << c.a << "\" / \"" << c.b << '"';
  }
}

TEST(ProductMask, MergeTable) {
  EXPECT_EQ(MergeMasks("1000", "0200"), "1200");
  EXPECT_EQ(MergeMasks("0200", "1000"), "1200");
  EXPECT_EQ(MergeMasks("0000", "0030"), "0030");
  EXPECT_EQ(MergeMasks("", "0030"), "0030");
  EXPECT_EQ(MergeMasks("0030", ""), "0030");
  EXPECT_EQ(MergeMasks("", ""), "");
  EXPECT_EQ(MergeMasks("0000", "0000"), "0000");  // the empty plate stays a plate, not "no mask"
  // A caller's slip with masks of different lengths merges the shared slots and reads no further.
  EXPECT_EQ(MergeMasks("10", "0234"), "12");
  EXPECT_EQ(MergeMasks("1000", "02"), "1200");
}

// Every name as the name list gives it, with its grouping words.
constexpr char kNameList[] = R"(
object kinds "worker", "table", "client", "client_place", "client_sit", "client_sit_place",
"trash_bin", "shelv", "tray", "boss", "table_status_hp", "table_status_bubble", "status_bubble",
"status_hp_worker", "status_hp_client", "item", "pickable", "period_item", "item_bonus", "bonus";
customer moods "scandal", "think", "ready", "client", "multi_client", "small", "aggro"; the empty mask
"0000"; item kinds "tray", "sit", "wash", "material", "super_material", "super", "pack", "bar"; target
names "coffeemachine", "wash_stand"; the boss's child-part name "held_items"; animation names (boss:
"boss_move_empty", "boss_move_second", "boss_move_full", "boss_move_full_second", "boss_idle_empty1",
"boss_idle_empty2", "boss_idle_second", "boss_idle_full", "boss_idle_full_second"; worker:
"idle_green", "idle_yellow", "idle_red", "ready_green_begin", "ready_green_end", "ready_green_action",
"ready_yellow_action", "switch_work", "switch_idle", "idle_broken_workplace", "cooking_idle",
"cooking_process_01", "cooking_process_02", "cooking_process_03", "direct_character", "worker_up";
customer: "client_stand_up", "client_sitting_up", "idle_green", "idle_yellow", "discontent",
"direct_green", "direct_yellow", "idle_thinking", "eating_process", "scandal", "go_happy",
"go_unhappy", "go_sitting"; bubbles: "status_bubble_worker", "status_bubble_client",
"status_bubble_client_sit"; state parts "idle", "activation", "ready", "deactivation", "greenidle",
"yellowidle", "redidle", "freezeidle"); sound names "boss_steps", "boss_steps_fast", "boss_take_item",
"click", "button_click", "button_hover", "button2_hover", "button2_click", "worker_finish",
"worker_begin", "worker_broke", "worker_clean", "make_trash", "client_spawn", "client_positiv",
"client_negativ", "client_ready", "client_scandal", "good_debriefing_show", "bad_debriefing_show",
"goal", "expert", "briefing_show", "juice", "minigame_hit", "minigame_crash", "minigame_clean",
"minigame_coin", "minigame_happy", "minigame_speed", "minigame_ice", "window_open", "debriefing_mark",
"debriefing_money", "on_upgrade", "on_downgrade"; and "pref.dat", "app_title", the default profile name
"unknown" (a wide string), and "client" once more as the event type that spawns customers.)";

TEST(CafeNames, TextsAreExactlyTheListedOnesInOrder) {
  std::vector<std::string> listed;
  std::string text = kNameList;
  std::regex quoted("\"([^\"]*)\"");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), quoted); it != std::sregex_iterator(); ++it) {
    listed.push_back((*it)[1]);
  }
  ASSERT_EQ(listed.size(), 128u);
  // The default profile name is the list's only wide text; it stands apart from the narrow table.
  EXPECT_EQ(listed[126], "unknown");
  EXPECT_STREQ(CafeNames::kDefaultProfileName, L"unknown");
  listed.erase(listed.begin() + 126);

  ASSERT_EQ(std::size(CafeNames::kAllNames), listed.size());
  for (size_t i = 0; i < listed.size(); ++i) EXPECT_EQ(CafeNames::kAllNames[i], listed[i]) << "entry " << i;
}

}  // namespace
