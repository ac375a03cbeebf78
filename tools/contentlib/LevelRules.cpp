// Rule 8: the level files. Each listed object once; status objects only with their character;
// events only of the one type the game takes, from known guest kinds, ordering products that a
// listed worker or source makes that day, "sit" only with seats and never first; overrides of
// known names, each once; goals that leave room for the expert; survival stages on distinct days
// whose objects wait hidden until then, and templates that order only what is open by their day.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "contentlib/GameFacts.h"
#include "contentlib/GameRules.h"

namespace Content::ValidatorRules {
namespace {

class LevelCheck {
 public:
  LevelCheck(const Stage& stage, const std::string& doc, pugi::xml_node level, Findings& findings)
      : mStage(stage), mDoc(doc), mLevel(level), mFindings(findings) {}

  void Run() {
    const pugi::xml_document* scene = mStage.Document(mLevel.attribute("doc").value());
    if (!scene) return;  // reported by the generic rules
    mSceneObjects = GameFacts::SceneObjects(*scene);
    Objects();
    if (GameFacts::IsSurvival(mLevel))
      Survival();
    else
      Career();
    Overrides("override_workers", "worker", GameFacts::WorkerProducts(mStage));
    std::map<std::string, std::string> kinds;
    for (const std::string& kind : GameFacts::GuestKinds(mStage)) kinds[kind];
    Overrides("override_clients", "client", kinds);
  }

 private:
  void Add(const std::string& what) { mFindings.Add(mDoc, what); }

  // Listed objects with the day from which they take part (1, or the stage that opens them).
  void Objects() {
    std::map<std::string, int> opening;
    for (pugi::xml_node stage : mLevel.child("stages").children("stage"))
      for (pugi::xml_node o : stage.children("object"))
        opening[o.attribute("name").value()] = stage.attribute("num").as_int();
    for (pugi::xml_node o : mLevel.child("objects").children("object")) {
      const std::string name = o.attribute("name").value();
      if (mOpenFrom.count(name)) Add("object '" + name + "' is listed twice");
      const bool stopped = o.attribute("stop").as_bool();
      mOpenFrom[name] = stopped ? (opening.count(name) ? opening[name] : -1) : 1;
      if (opening.count(name) && !stopped)
        Add("object '" + name + "' is opened by a stage but listed without stop=\"true\"");
      mListed[name] = o;
    }
    for (const auto& [name, node] : mListed) StatusPair(name);
  }

  void StatusPair(const std::string& name) {
    for (const auto& [prefix, character] :
         std::vector<std::pair<std::string, std::string>>{{"status_bubble_worker", "worker"},
                                                          {"status_hp_worker", "worker"},
                                                          {"status_bubble_client", "client"},
                                                          {"status_hp_client", "client"}})
      if (name.rfind(prefix, 0) == 0 && !mListed.count(character + name.substr(prefix.size()))) {
        Add("status object '" + name + "' is listed without its character '" + character + name.substr(prefix.size()) +
            "'");
        return;
      }
  }

  // The single products made by what is open on the given survival day (1 for a career day).
  std::set<std::string> Made(int day) const {
    const std::map<std::string, std::string> products = GameFacts::WorkerProducts(mStage);
    std::set<std::string> made;
    for (const auto& [name, from] : mOpenFrom) {
      if (from < 1 || from > day || !mSceneObjects.count(name)) continue;
      const pugi::xml_node object = mSceneObjects.at(name);
      const std::string cls = object.attribute("class").value();
      if (cls == "tray" && GameFacts::IsOrderMask(object.attribute("thing").value()))
        made.insert(object.attribute("thing").value());
      if (cls == "worker") {
        const auto it = products.find(mListed.at(name).attribute("skin").value());
        if (it != products.end()) made.insert(it->second);
      }
    }
    return made;
  }

  bool Seats(int day) const {
    for (const auto& [name, from] : mOpenFrom)
      if (from >= 1 && from <= day && mSceneObjects.count(name) &&
          std::string(mSceneObjects.at(name).attribute("class").value()) == "client_sit")
        return true;
    return false;
  }

  void Order(const std::string& entry, const std::set<std::string>& made, bool seats, const std::string& where) {
    if (entry == "sit") {
      if (!seats) Add(where + ": \"sit\" without a seated guest listed");
      return;
    }
    if (!GameFacts::IsOrderMask(entry)) return Add(where + ": '" + entry + "' is no order of one or two products");
    for (const std::string& product : GameFacts::Products(entry))
      if (!made.count(product)) Add(where + ": orders " + entry + " but nothing listed makes " + product);
  }

  void Career() {
    const pugi::xml_node params = mLevel.child("params");
    const int normal = params.attribute("normal").as_int(), expert = params.attribute("expert").as_int();
    if (normal <= 0 || expert < normal + 20)
      Add("params: the goal must be positive and the expert goal at least 20 above it");
    const std::set<std::string> made = Made(1), kinds = GameFacts::GuestKinds(mStage);
    const bool seats = Seats(1);
    for (pugi::xml_node point : mLevel.child("events_queue").children("time_point")) {
      const std::string where = std::string("time point ") + point.attribute("time").value();
      Event(point, kinds, where);
      bool first = true;
      for (pugi::xml_node param : point.children("param")) {
        const std::string entry = param.attribute("name").value();
        if (first && entry == "sit") Add(where + ": \"sit\" cannot be the first entry");
        Order(entry, made, seats, where);
        first = false;
      }
    }
  }

  void Event(pugi::xml_node node, const std::set<std::string>& kinds, const std::string& where) {
    if (std::string(node.attribute("type").value()) != "client")
      Add(where + ": type must be \"client\"; an event of another type would hold the queue for ever");
    if (!kinds.count(node.attribute("event").value()))
      Add(where + ": guest kind '" + std::string(node.attribute("event").value()) + "' is not in cfg.xml");
  }

  void Survival() {
    std::set<int> days;
    for (pugi::xml_node stage : mLevel.child("stages").children("stage"))
      if (!days.insert(stage.attribute("num").as_int()).second)
        Add("two stages open on day " + std::to_string(stage.attribute("num").as_int()) +
            ": the second would never come");
    std::map<std::string, pugi::xml_node> templates;
    for (pugi::xml_node t : mLevel.child("events_queue").child("templates").children("order_template"))
      templates[t.attribute("name").value()] = t;
    const std::set<std::string> kinds = GameFacts::GuestKinds(mStage);
    int day = 0;
    for (pugi::xml_node stage : mLevel.child("events_queue").child("stages").children("stage")) {
      ++day;  // events stage k runs on survival day k + 1
      const std::set<std::string> made = Made(day);
      const bool seats = Seats(day);
      for (pugi::xml_node point : stage.children("time_point_template")) {
        const std::string where = "survival day " + std::to_string(day);
        Event(point, kinds, where);
        const auto t = templates.find(point.attribute("order_template").value());
        if (t == templates.end()) {
          Add(where + ": order template '" + std::string(point.attribute("order_template").value()) +
              "' is not defined");
          continue;
        }
        for (const pugi::xpath_node& order : t->second.select_nodes(".//order"))
          Order(order.node().attribute("name").value(), made, seats, where + " template " + t->first);
      }
    }
  }

  void Overrides(const char* list, const char* element, const std::map<std::string, std::string>& known) {
    std::set<std::string> seen;
    for (pugi::xml_node o : mLevel.child(list).children(element)) {
      const std::string name = o.attribute("name").value();
      if (!known.count(name)) Add(std::string(list) + ": '" + name + "' is not in cfg.xml");
      if (!seen.insert(name).second)
        Add(std::string(list) + ": '" + name + "' twice; the second would save the values the first overrode");
    }
  }

  const Stage& mStage;
  const std::string& mDoc;
  pugi::xml_node mLevel;
  Findings& mFindings;
  std::map<std::string, pugi::xml_node> mSceneObjects, mListed;
  std::map<std::string, int> mOpenFrom;  // -1: hidden and opened by no stage
};

}  // namespace

void Levels(const Stage& stage, Findings& findings) {
  for (const std::string& doc : GameFacts::Levels(stage))
    LevelCheck(stage, doc, stage.Document(doc)->document_element(), findings).Run();
}

}  // namespace Content::ValidatorRules
