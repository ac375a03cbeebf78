#include "balance/LevelGoals.h"

#include <pugixml.hpp>

#include <cstdio>

namespace Balance {

namespace {

constexpr const char* kPriceKey = "client_money01_g";

bool Load(const std::string& path, pugi::xml_document& doc, std::string& error) {
  const pugi::xml_parse_result result = doc.load_file(path.c_str());
  if (!result) error = path + ": " + result.description();
  return static_cast<bool>(result);
}

// "cfg\scene<n>.xml" -> n; 0 for anything else.
int CafeOf(const std::string& scene) {
  int cafe = 0;
  char tail = 0;
  return std::sscanf(scene.c_str(), "cfg\\scene%d.xm%c", &cafe, &tail) == 2 && tail == 'l' ? cafe : 0;
}

}  // namespace

bool LevelGoals::Read(const std::string& stageDir, int days, std::string& error) {
  pugi::xml_document cfg;
  if (!Load(stageDir + "/cfg/cfg.xml", cfg, error)) return false;
  for (const pugi::xpath_node& client : cfg.select_nodes("//clients/client"))
    mPrices[client.node().attribute("name").value()] = client.node().attribute(kPriceKey).as_int();
  mDays.clear();
  for (int day = 1; day <= days; ++day)
    if (!ReadDay(stageDir + "/cfg/l" + std::to_string(day) + ".xml", day, error)) return false;
  return true;
}

bool LevelGoals::ReadDay(const std::string& path, int day, std::string& error) {
  pugi::xml_document doc;
  if (!Load(path, doc, error)) return false;
  const pugi::xml_node level = doc.child("level");
  const pugi::xml_node params = level.child("params");
  DayGoals goals{day, CafeOf(level.attribute("doc").value()), params.attribute("normal").as_int(),
                 params.attribute("expert").as_int(), 0};
  if (goals.cafe == 0 || goals.normal <= 0 || goals.expert <= 0) {
    error = path + ": no scene document or no goals";
    return false;
  }
  std::map<std::string, int> prices = mPrices;
  for (const pugi::xml_node client : level.child("override_clients").children("client"))
    if (const pugi::xml_attribute price = client.attribute(kPriceKey))
      prices[client.attribute("name").value()] = price.as_int();
  for (const pugi::xml_node guest : level.child("events_queue").children("time_point")) {
    const auto price = prices.find(guest.attribute("event").value());
    if (price == prices.end() || price->second <= 0) {
      error = path + ": the guest kind '" + guest.attribute("event").value() + "' has no price";
      return false;
    }
    for (const pugi::xml_node entry : guest.children("param"))
      if (std::string(entry.attribute("name").value()) != "sit") goals.green += price->second;
  }
  mDays.push_back(goals);
  return true;
}

}  // namespace Balance
