// Rule 9: every animation name the scene can ask for. For each object of each level, each part,
// each skin the part can wear there, each orientation and each word the code plays on that part,
// the entry part+skin+orientation+word exists, or its first variant (word + "01") does.
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "contentlib/AnmWriter.h"
#include "contentlib/GameFacts.h"
#include "contentlib/GameRules.h"

namespace Content::ValidatorRules {
namespace {

const std::vector<std::string> kOrderMasks = {"0004", "0005", "0030", "0034", "0035", "0060", "0064", "0065", "0200",
                                              "0204", "0205", "0230", "0260", "0300", "0330", "1000", "1004", "1005",
                                              "1030", "1060", "1200", "1300", "2000", "2004", "2030", "2200", "2300",
                                              "3000", "3004", "3005", "3030", "3200", "3300"};
const std::vector<std::string> kBossWords = {"boss_idle_empty1", "boss_idle_empty2",      "boss_idle_second",
                                             "boss_idle_full",   "boss_idle_full_second", "boss_move_empty",
                                             "boss_move_second", "boss_move_full",        "boss_move_full_second"};
const std::vector<std::string> kWorkerWords = {
    "idle_green",         "idle_yellow",         "idle_red",           "ready_green_begin",  "ready_green_end",
    "ready_green_action", "ready_yellow_action", "switch_work",        "switch_idle",        "idle_broken_workplace",
    "cooking_idle",       "cooking_process_01",  "cooking_process_02", "cooking_process_03", "direct_character",
    "worker_up"};

std::vector<std::string> Points(int last) {
  std::vector<std::string> words;
  for (int i = 0; i <= last; ++i) words.push_back((i < 10 ? "point0" : "point") + std::to_string(i) + "idle");
  return words;
}

// The words the code plays on each part. Parts without a file (cash, bonus) are not listed.
const std::map<std::string, std::vector<std::string>>& PartWords() {
  static const std::map<std::string, std::vector<std::string>> words = [] {
    std::map<std::string, std::vector<std::string>> w;
    for (const char* still : {"floor", "picture", "bar_counter", "table", "material01", "material02", "wash_stand",
                              "tray", "status_hp_client_back", "status_hp_worker_back"})
      w[still] = {"idle"};
    for (const char* soil :
         {"soiling_table01", "soiling_table02", "soiling_table03", "soiling_table04", "soiling_table05",
          "soiling_table06", "soiling_floor01", "soiling_floor02", "soiling_front01", "soiling_front02"})
      w[soil] = {"idle"};
    w["plant"] = w["bar"] = w["coffeemachine"] = w["checkmark"] = {"idle"};
    w["cleaning"] = w["client_money"] = w["trash_bin"] = {"idle", "activation"};
    w["place"] = w["seat"] = {"idle", "tray", "pack"};
    w["super_material"] = {"idle", "activation", "ready", "deactivation"};
    w["boss"] = kBossWords;
    for (const std::string& mask : kOrderMasks)
      for (const std::string& word : kBossWords) w["held_items"].push_back(mask + word);
    for (const char* mask : {"super", "wash", "0000"})
      for (const std::string& word : kBossWords) w["held_items"].push_back(mask + word);
    w["client_stand_up"] = {"idle_green",    "idle_yellow", "discontent", "direct_green", "direct_yellow",
                            "idle_thinking", "scandal",     "go_happy",   "go_unhappy",   "go_sitting"};
    w["client_sitting_up"] = {"idle_green",     "idle_yellow", "discontent", "direct_green", "direct_yellow",
                              "eating_process", "scandal",     "go_happy",   "go_unhappy"};
    w["worker_up"] = w["worker_upgrade_1"] = w["worker_upgrade_2"] = kWorkerWords;
    for (const char* style : {"client", "multi_client", "small", "aggro", "worker", "broken"}) {
      w["status_bubble"].push_back(style);
      w["status_bubble"].push_back(std::string(style) + "_active");
    }
    w["status_production"] = kOrderMasks;
    for (const char* extra : {"cake", "juice", "sandwich", "icecream", "smoothie", "pizza", "ready", "think", "scandal",
                              "broken", "working"})
      w["status_production"].push_back(extra);
    w["status_hp_client"] = Points(6);
    w["status_hp_worker"] = Points(12);
    w["status_hp_client_smile"] = {"greenidle", "yellowidle", "redidle", "freezeidle"};
    return w;
  }();
  return words;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// The entry names of an .anm file; empty when the file is not one.
std::set<std::string> EntryNames(const std::vector<uint8_t>& b) {
  std::set<std::string> names;
  constexpr size_t kImage = 12, kNameAt = AnmWriter::kNameField + 4;
  if (b.size() < kImage + 8 || Le32(b, 0) != AnmWriter::kMagic) return names;
  const uint32_t count = Le32(b, kImage);
  for (uint32_t i = 0; i < count; ++i) {
    const size_t at = kImage + 8 + i * AnmWriter::kEntrySize + kNameAt;
    if (at + AnmWriter::kNameField > b.size()) break;
    const char* name = reinterpret_cast<const char*>(&b[at]);
    names.insert(std::string(name, strnlen(name, AnmWriter::kNameField)));
  }
  return names;
}

class AnimCheck {
 public:
  AnimCheck(const Stage& stage, Findings& findings) : mStage(stage), mFindings(findings) {
    if (const pugi::xml_document* cfg = stage.Document(GameFacts::kCfg))
      for (const pugi::xpath_node& n : cfg->select_nodes("//upgrade/visual/object"))
        mVisual.insert(n.node().attribute("name").value());
  }

  void Level(const std::string& doc) {
    const pugi::xml_node level = mStage.Document(doc)->document_element();
    const pugi::xml_document* scene = mStage.Document(level.attribute("doc").value());
    if (!scene) return;
    const std::string upgradeSkin = scene->document_element().child("param").attribute("upgrade_skin").value();
    std::set<std::string> guestKinds;
    for (const pugi::xpath_node& e : level.select_nodes(".//time_point | .//time_point_template"))
      guestKinds.insert(e.node().attribute("event").value());
    const std::map<std::string, pugi::xml_node> objects = GameFacts::SceneObjects(*scene);
    for (pugi::xml_node listed : level.child("objects").children("object")) {
      const auto it = objects.find(listed.attribute("name").value());
      if (it == objects.end()) continue;  // reported by the generic rules
      const std::string cls = it->second.attribute("class").value();
      std::set<std::string> skins = {listed.attribute("skin").value()};
      if (mVisual.count(it->first) && !upgradeSkin.empty()) skins.insert(upgradeSkin);
      if (cls == "client" || cls == "client_sit") skins = guestKinds;
      for (pugi::xml_node part : it->second.children("part")) Part(doc, it->first, it->second, part, skins);
    }
  }

 private:
  void Part(const std::string& doc, const std::string& object, pugi::xml_node node, pugi::xml_node part,
            std::set<std::string> skins) {
    const std::string name = part.attribute("name").value();
    const auto words = PartWords().find(name);
    if (words == PartWords().end()) return;
    std::vector<std::string> orients = {""};
    if (name == "held_items") skins = {""};
    if (std::string(node.attribute("class").value()) == "boss")
      orients = {"t", "tr", "r", "br", "b", "bl", "l", "tl"};
    else if (name != "checkmark")
      orients = {Unmirrored(node.attribute("orient").value())};
    const std::set<std::string>* entries = Entries(name);
    for (const std::string& skin : skins)
      for (const std::string& orient : orients)
        for (const std::string& word : words->second) {
          const std::string entry = name + skin + orient + word;
          const std::string& key = entry;  // one finding per name, at the first level that asks
          if (!mReported.insert(key).second) continue;
          if (entry.size() + 2 > AnmWriter::kNameField - 1)
            mFindings.Add(doc, "object '" + object + "': animation name '" + entry + "' does not fit 63 bytes");
          else if (!entries || (!entries->count(entry) && !entries->count(entry + "01")))
            mFindings.Add(doc, "object '" + object + "': anm\\" + name + ".anm has no entry '" + entry +
                                   "' (nor its variant 01)");
        }
  }

  static std::string Unmirrored(std::string orient) {
    return !orient.empty() && orient[0] == 'm' ? orient.substr(1) : orient;
  }

  const std::set<std::string>* Entries(const std::string& part) {
    auto it = mEntries.find(part);
    if (it == mEntries.end()) {
      const std::vector<uint8_t>* bytes = mStage.Bytes("anm\\" + part + ".anm");
      it = mEntries.emplace(part, bytes ? EntryNames(*bytes) : std::set<std::string>()).first;
    }
    return it->second.empty() ? nullptr : &it->second;
  }

  const Stage& mStage;
  Findings& mFindings;
  std::set<std::string> mVisual;
  std::map<std::string, std::set<std::string>> mEntries;
  std::set<std::string> mReported;
};

}  // namespace

void Animations(const Stage& stage, Findings& findings) {
  AnimCheck check(stage, findings);
  for (const std::string& doc : GameFacts::Levels(stage)) check.Level(doc);
}

}  // namespace Content::ValidatorRules
