#include "contentlib/LevelGen.h"

#include "contentlib/GameFacts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Content {
namespace {

// The day's pseudo-random sequence: a 32-bit linear congruence, 15 bits out per draw.
class DayRandom {
 public:
  explicit DayRandom(int day) : mState(static_cast<uint32_t>(day) * 1000u + 17u) {}
  int Next15() {
    mState = mState * 214013u + 2531011u;
    return static_cast<int>((mState >> 16) & 0x7FFF);
  }
  int Uniform(int n) { return Next15() % n; }
  bool Chance(double p) { return Next15() < static_cast<int>(p * 32768); }

 private:
  uint32_t mState;
};

std::string Format(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Two decimals of a product of factors, nudged so that 1.3 x 1.15 gives 1.50.
std::string Scaled(double base, double factor) { return Format("%.2f", base * factor + 1e-9); }

}  // namespace

bool LevelGen::Check(const CareerDay& day, const std::string& file, Findings& findings) const {
  const size_t before = findings.Count();
  const auto menu = mTable.menus.find(day.menu);
  const auto cafe = mTable.cafes.find(day.cafe);
  if (menu == mTable.menus.end() || menu->second.singles.empty() || menu->second.pairs.empty())
    findings.Add(file, day.line, "menu '" + day.menu + "' is not in menus.txt with singles and pairs");
  if (cafe == mTable.cafes.end()) {
    findings.Add(file, day.line, "cafe " + std::to_string(day.cafe) + " is not in menus.txt");
  } else {
    for (int table : day.tables)
      if (table > static_cast<int>(cafe->second.workers.size()))
        findings.Add(file, day.line, "table " + std::to_string(table) + " has no worker in menus.txt");
  }
  int weights = 0;
  for (int w : day.kinds) weights += w;
  if (weights == 0) findings.Add(file, day.line, "no guest kind has a weight");
  return findings.Count() == before;
}

GeneratedDay LevelGen::Draw(const CareerDay& day) const {
  const Menu& menu = mTable.menus.at(day.menu);
  DayRandom random(day.day);
  int weightSum = 0;
  for (int w : day.kinds) weightSum += w;
  auto pickKind = [&]() -> const GuestKind& {
    int r = random.Uniform(weightSum);
    for (size_t k = 0; k < day.kinds.size(); ++k) {
      if (day.kinds[k] > r) return mTable.kinds[k];
      r -= day.kinds[k];
    }
    return mTable.kinds.back();  // not reached: r < the sum of the weights
  };
  auto product = [&]() {
    const bool pair = random.Chance(day.pair);  // drawn even when the chance is 0
    const std::vector<std::string>& list = pair ? menu.pairs : menu.singles;
    return list[random.Uniform(static_cast<int>(list.size()))];
  };
  GeneratedDay out;
  int most = 0;
  for (int i = 0; i < day.guests; ++i) {
    Guest guest;
    guest.time = Format("%.1f", day.t0 + i * day.dt + random.Uniform(21) / 10.0);
    const GuestKind& kind = pickKind();
    guest.kind = kind.name;
    guest.entries.push_back(product());
    if (random.Chance(day.multi)) guest.entries.push_back(product());
    if (day.sit > 0 && random.Chance(day.sit)) {
      if (guest.entries.size() == 1) guest.entries.push_back(product());
      guest.entries.insert(guest.entries.end() - 1, "sit");
    }
    most += static_cast<int>(std::count_if(guest.entries.begin(), guest.entries.end(),
                                           [](const std::string& e) { return e != "sit"; })) *
            kind.money;
    out.guests.push_back(std::move(guest));
  }
  out.normal = static_cast<int>(day.fn * most) / 10 * 10;
  out.expert = std::max(static_cast<int>(day.fe * most) / 10 * 10, out.normal + 20);
  return out;
}

std::string LevelGen::ObjectLine(const std::string& name, const CareerDay& day, bool& known) const {
  const Cafe& cafe = mTable.cafes.at(day.cafe);
  const std::string furniture = " skin=\"c" + std::to_string(day.cafe) + "\" anim=\"idle\"";
  auto line = [&](const std::string& attributes) { return "<object name=\"" + name + "\"" + attributes + "/>"; };
  auto usedTable = [&](int n) { return std::find(day.tables.begin(), day.tables.end(), n) != day.tables.end(); };
  known = true;
  static const char* kAlways[] = {"floor", "decor01", "decor02", "bar", "wash_stand", "tray", "trash_bin"};
  for (const char* always : kAlways)
    if (name == always) return line(furniture);
  if (name == "coffeemachine") return day.coffee ? line(furniture) : "";
  if (name == "material01") return day.tea ? line(furniture) : "";
  if (name == "material02") return day.cocoa ? line(furniture) : "";
  if (name == "super_material") return day.super ? line(furniture) : "";
  if (name == "boss") return line(" skin=\"std\"");
  if (name == "bonus") return line("");
  // Longer prefixes first: client_sit_place before client_sit before client_place before client.
  struct Family {
    const char* prefix;
    enum { Table, Worker, WorkerStatus, Seat, Sitter, Place, Stander } kind;
  };
  static const Family kFamilies[] = {
      {"table", Family::Table},
      {"worker", Family::Worker},
      {"status_bubble_worker", Family::WorkerStatus},
      {"status_hp_worker", Family::WorkerStatus},
      {"client_sit_place", Family::Seat},
      {"status_bubble_client_sit", Family::Sitter},
      {"status_hp_client_sit", Family::Sitter},
      {"client_sit", Family::Sitter},
      {"client_place", Family::Place},
      {"status_bubble_client", Family::Stander},
      {"status_hp_client", Family::Stander},
      {"client", Family::Stander},
  };
  for (const Family& family : kFamilies) {
    const int n = GameFacts::Suffix(name, family.prefix);
    if (n < 0) continue;
    switch (family.kind) {
      case Family::Table:
        return usedTable(n) ? line(furniture) : "";
      case Family::Worker:
        return usedTable(n) ? line(" skin=\"" + cafe.workers[n - 1] + "\"") : "";
      case Family::WorkerStatus:
        return usedTable(n) ? line("") : "";
      case Family::Seat:
        return n <= day.seats ? line(furniture) : "";
      case Family::Sitter:
        return n <= day.seats ? line("") : "";
      case Family::Place:
        return line(furniture);
      case Family::Stander:
        return line("");
    }
  }
  known = false;
  return "";
}

std::string LevelGen::Document(const CareerDay& day, const GeneratedDay& drawn,
                               const std::vector<std::string>& sceneObjects, const std::string& file,
                               Findings& findings) const {
  const Cafe& cafe = mTable.cafes.at(day.cafe);
  std::string xml = "<level doc=\"cfg\\scene" + std::to_string(day.cafe) + ".xml\"";
  if (!day.upgrade.empty()) xml += " upgrade=\"" + day.upgrade + "\"";
  if (!day.bossSpeed.empty()) xml += " override_boss_speed=\"" + day.bossSpeed + "\"";
  xml += "><params normal=\"" + std::to_string(drawn.normal) + "\" expert=\"" + std::to_string(drawn.expert) +
         "\"/><objects>";
  for (const std::string& name : sceneObjects) {
    bool known = false;
    xml += ObjectLine(name, day, known);
    if (!known) findings.Add(file, day.line, "the level generator has no rule for the scene object '" + name + "'");
  }
  xml += "</objects><events_queue>";
  for (const Guest& guest : drawn.guests) {
    xml += "<time_point time=\"" + guest.time + "\" type=\"client\" event=\"" + guest.kind + "\">";
    for (const std::string& entry : guest.entries) xml += "<param name=\"" + entry + "\"/>";
    xml += "</time_point>";
  }
  xml += "</events_queue>";
  if (day.patience != 1.0) {
    xml += "<override_clients>";
    for (const GuestKind& kind : mTable.kinds)
      xml +=
          "<client name=\"" + kind.name + "\" client_patience_speed=\"" + Scaled(kind.patience, day.patience) + "\"/>";
    xml += "</override_clients>";
  }
  if (day.tidiness > 0) {
    xml += "<override_workers>";
    for (int table : day.tables) {
      const std::string& kind = cafe.workers[table - 1];
      const auto base = mTable.tidinessDown.find(kind);
      const double down = base == mTable.tidinessDown.end() ? 0 : base->second;
      xml += "<worker name=\"" + kind + "\" tidiness_down=\"" + Scaled(down, day.tidiness) + "\"/>";
    }
    xml += "</override_workers>";
  }
  xml += "<achparams freeze=\"" + std::to_string(cafe.freeze) + "\" clean=\"" + std::to_string(cafe.clean) +
         "\" candy=\"" + std::to_string(cafe.candy) + "\" no_broke=\"1\" bonus_cash=\"" +
         std::to_string(cafe.bonusCash) + "\" bonus_super=\"4\" bonus_super_cash=\"" +
         std::to_string(cafe.bonusSuperCash) + "\"/>";
  xml += "<partparams speed=\"" + cafe.speed + "\"";
  for (int award = 0; award < 6; ++award)
    for (int kind = 0; kind < 5; ++kind) {
      const std::string& weight = cafe.awards[award][kind];
      if (weight.empty() || std::strtod(weight.c_str(), nullptr) == 0) continue;
      char key[16];
      std::snprintf(key, sizeof key, "bonus%02d%02d", kind + 1, award + 1);
      xml += std::string(" ") + key + "=\"" + weight + "\"";
    }
  return xml + "/></level>";
}

std::vector<std::pair<std::string, std::string>> LevelGen::Briefings(int day, int dayInCafe, int cafe, int guests,
                                                                     int normal, int expert) const {
  const auto it = mTable.cafes.find(cafe);
  const std::string cafeName = it == mTable.cafes.end() ? "cafe" : it->second.name;
  const std::string goals = "Goal $" + std::to_string(normal) + ", expert $" + std::to_string(expert) + ".";
  char padded[8];
  std::snprintf(padded, sizeof padded, "%02d", day);
  return {{"breif_l" + std::to_string(day), "Day " + std::to_string(dayInCafe) + " in the " + cafeName + ": " +
                                                std::to_string(guests) + " guests. " + goals},
          {std::string("breif_text_l") + padded,
           mTable.Note(day) + " Serve " + std::to_string(guests) + " guests. " + goals}};
}

}  // namespace Content
