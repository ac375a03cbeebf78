// Rule 10: the upgrade records and the offers. Every record writes one of the 29 upgrade bytes (a
// record without a slot would write outside them), and no cafe offers more upgrades of a kind than
// records are left for it, so the upgrade dialog never opens empty.
#include <map>
#include <string>
#include <vector>

#include "contentlib/GameFacts.h"
#include "contentlib/GameRules.h"

namespace Content::ValidatorRules {
namespace {

constexpr int kCafes = 3;
constexpr int kVisualSlots = 15;  // bytes 14 .. 28

struct Record {
  int minLevel = 0, maxLevel = 0;
  bool Serves(int cafe) const { return minLevel <= cafe && cafe <= maxLevel; }
};

// The functional record's slot, or -1: tidiness of worker n = n - 1, speed = 5 + n, boss speed 12,
// bonus money 13 (workers numbered by their order in cfg.xml).
int FunctionalSlot(const std::string& name, const std::string& object, const std::vector<std::string>& workers) {
  if (object == "boss") return name == "speed" ? 12 : -1;
  if (object == "bonus") return name == "money" ? 13 : -1;
  for (size_t i = 0; i < workers.size() && i < 6; ++i)
    if (workers[i] == object)
      return name == "tidiness" ? static_cast<int>(i) : name == "speed" ? 6 + static_cast<int>(i) : -1;
  return -1;
}

// Offers per cafe never exceed the records that serve the cafe and that earlier offers cannot have
// taken: an earlier offer uses up at most one record shared with this cafe.
void Offers(const char* kind, const std::vector<Record>& records, const std::map<int, int>& offers, bool career,
            Findings& findings, const std::string& where) {
  int earlier = 0;
  for (int cafe = 1; cafe <= kCafes; ++cafe) {
    int serving = 0, shared = 0;
    for (const Record& r : records) {
      serving += r.Serves(cafe);
      shared += r.Serves(cafe) && r.minLevel < cafe;
    }
    const int taken = career ? std::min(earlier, shared) : 0;
    const int asked = offers.count(cafe) ? offers.at(cafe) : 0;
    if (asked > serving - taken)
      findings.Add(where, std::string("cafe ") + std::to_string(cafe) + " offers " + std::to_string(asked) + " " +
                              kind + " upgrades but only " + std::to_string(serving - taken) +
                              " records are left for it");
    earlier += asked;
  }
}

}  // namespace

void Upgrades(const Stage& stage, Findings& findings) {
  const pugi::xml_document* cfg = stage.Document(GameFacts::kCfg);
  if (!cfg) return;
  const std::vector<std::string> workers = GameFacts::WorkerKinds(stage);
  std::vector<Record> functional, visual;
  for (pugi::xml_node r : cfg->document_element().child("upgrade").children()) {
    const std::string kind = r.name(), name = r.attribute("name").value(), object = r.attribute("object").value();
    const Record record{r.attribute("min_level").as_int(), r.attribute("max_level").as_int()};
    const std::string what = kind + " upgrade '" + name + "' of '" + object + "'";
    if (record.minLevel < 1 || record.maxLevel > kCafes || record.maxLevel < record.minLevel)
      findings.Add(GameFacts::kCfg, what + ": min_level and max_level must lie in 1-3, min first");
    if (kind == "functional") {
      if (FunctionalSlot(name, object, workers) < 0) findings.Add(GameFacts::kCfg, what + " has no upgrade slot");
      functional.push_back(record);
    } else if (kind == "visual") {
      if (visual.size() == kVisualSlots) findings.Add(GameFacts::kCfg, what + " has no upgrade slot (15 visual slots)");
      visual.push_back(record);
    }
  }
  std::map<int, int> career[2];  // [0] functional, [1] visual offers per cafe
  for (const std::string& doc : GameFacts::Levels(stage)) {
    const pugi::xml_node level = stage.Document(doc)->document_element();
    std::map<int, int> survival[2];
    const int cafe = GameFacts::CafeOf(level);
    auto count = [&](const std::string& upgrade, std::map<int, int>* into) {
      if (upgrade == "func") ++into[0][cafe];
      if (upgrade == "vis") ++into[1][cafe];
    };
    if (GameFacts::IsSurvival(level)) {
      for (pugi::xml_node s : level.child("stages").children("stage")) count(s.attribute("upgrade").value(), survival);
      Offers("functional", functional, survival[0], false, findings, doc);
      Offers("visual", visual, survival[1], false, findings, doc);
    } else {
      count(level.attribute("upgrade").value(), career);
    }
  }
  Offers("functional", functional, career[0], true, findings, "career");
  Offers("visual", visual, career[1], true, findings, "career");
}

}  // namespace Content::ValidatorRules
