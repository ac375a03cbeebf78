// Rule 7: the scene documents. Classes the object factory knows, z-lines the z-order can place,
// hit regions, approach points for every object the boss can be sent to, a walking graph without
// dangling or zero-length edges in which home reaches every object point, picks without cycles,
// hit regions of pickable objects that leave each other alone (but for a pick that lies on the
// object listing it), and the name pairs that bind status objects, places and seats to their
// characters.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "contentlib/GameFacts.h"
#include "contentlib/GameRules.h"

namespace Content::ValidatorRules {
namespace {

using GameFacts::Suffix;

const std::set<std::string>& FactoryClasses() {
  static const std::set<std::string> classes = {"item",
                                                "pickable",
                                                "boss",
                                                "worker",
                                                "tray",
                                                "status_bubble",
                                                "trash_bin",
                                                "status_hp_worker",
                                                "status_hp_client",
                                                "period_item",
                                                "client",
                                                "client_sit",
                                                "item_bonus"};
  return classes;
}

// The classes built on the pickable item: they have regions and can be clicked.
bool IsPickable(const std::string& cls) {
  return cls == "pickable" || cls == "tray" || cls == "trash_bin" || cls == "period_item";
}
bool IsMoving(const std::string& cls) { return cls == "boss"; }
bool IsCharacter(const std::string& cls) { return cls == "worker" || cls == "client" || cls == "client_sit"; }

struct Point {
  int x = 0, y = 0;
};

class SceneCheck {
 public:
  SceneCheck(const std::string& doc, const pugi::xml_document& scene, Findings& findings)
      : mDoc(doc), mScene(scene), mFindings(findings), mObjects(GameFacts::SceneObjects(scene)) {}

  void Run() {
    for (pugi::xml_node object : mScene.document_element().child("objects").children("object")) Object(object);
    Graph();
    Picks();
    Overlaps();
  }

 private:
  void Add(const std::string& what) { mFindings.Add(mDoc, what); }

  std::string ClassOf(const std::string& name) const {
    const auto it = mObjects.find(name);
    return it == mObjects.end() ? "" : it->second.attribute("class").value();
  }

  void Object(pugi::xml_node object) {
    const std::string name = object.attribute("name").value(), cls = object.attribute("class").value();
    if (!FactoryClasses().count(cls)) Add("object '" + name + "': class '" + cls + "' is none of the object factory's");
    if (!IsMoving(cls))
      for (pugi::xml_node part : object.children("part")) ZLine(name, part);
    if (object.attribute("rgn")) Region(name, object.attribute("rgn").value());
    if (IsPickable(cls)) mRegions[name] = Polygon(object.attribute("rgn").value());
    if (IsPickable(cls)) {
      if (!object.attribute("rgn")) Add("object '" + name + "': a pickable object needs a region (rgn)");
      pugi::xml_node point = object.find_child_by_attribute("point", "owner", "boss");
      if (!point)
        Add("object '" + name + "': the boss can be sent to it but it has no point owner=\"boss\"");
      else
        mObjectPoints[name] = {point.attribute("offs_x").as_int(), point.attribute("offs_y").as_int()};
    }
    Pairs(name, cls, object);
  }

  void ZLine(const std::string& object, pugi::xml_node part) {
    if (part.attribute("parent_z") || part.attribute("zover").as_bool() ||
        std::string(part.attribute("name").value()) == "held_items")
      return;
    Point p[3];
    for (int i = 0; i < 3; ++i) {
      const std::string n = std::to_string(i);
      p[i] = {part.attribute(("order" + n + "_x").c_str()).as_int(),
              part.attribute(("order" + n + "_y").c_str()).as_int()};
    }
    bool ok = p[0].x < p[1].x && p[1].x < p[2].x;
    for (const Point& q : p) ok = ok && q.x >= 0 && q.x <= 799 && q.y >= 0 && q.y <= 599;
    if (!ok)
      Add("object '" + object + "' part '" + part.attribute("name").value() +
          "': needs a z-line with x strictly increasing inside 800 x 600, a parent_z or zover=\"true\"");
  }

  void Region(const std::string& object, const std::string& rgn) {
    std::istringstream in(rgn);
    std::string token;
    int count = 0;
    while (in >> token) {
      char* end = nullptr;
      std::strtol(token.c_str(), &end, 10);
      if (*end != '\0') break;  // the reader stops at the first token that is not a number
      ++count;
    }
    if (count < 6 || count % 2 != 0) Add("object '" + object + "': rgn needs an even count of at least 6 numbers");
  }

  static std::vector<Point> Polygon(const std::string& rgn) {
    std::istringstream in(rgn);
    std::vector<int> numbers;
    for (std::string token; in >> token;) {
      char* end = nullptr;
      const long n = std::strtol(token.c_str(), &end, 10);
      if (*end != '\0') break;
      numbers.push_back(static_cast<int>(std::clamp(n, -100000L, 100000L)));
    }
    std::vector<Point> points;
    for (size_t i = 0; i + 1 < numbers.size(); i += 2) points.push_back({numbers[i], numbers[i + 1]});
    return points;
  }

  // The winding rule of the game's hit test, at a pixel.
  static bool Inside(const std::vector<Point>& polygon, int x, int y) {
    int winding = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
      const Point& a = polygon[i];
      const Point& b = polygon[(i + 1) % polygon.size()];
      const long long side =
          static_cast<long long>(b.x - a.x) * (y - a.y) - static_cast<long long>(x - a.x) * (b.y - a.y);
      if (a.y <= y && b.y > y && side > 0) ++winding;
      if (a.y > y && b.y <= y && side < 0) --winding;
    }
    return winding != 0;
  }

  static bool Bounds(const std::vector<Point>& polygon, Point& low, Point& high) {
    if (polygon.size() < 3) return false;
    low = high = polygon.front();
    for (const Point& p : polygon) {
      low = {std::min(low.x, p.x), std::min(low.y, p.y)};
      high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    return true;
  }

  // The first pixel both regions hold, searched where their bounds meet inside the 800 x 600 scene
  // (no click lands outside it).
  static bool Overlap(const std::vector<Point>& a, const std::vector<Point>& b, Point& at) {
    Point la, ha, lb, hb;
    if (!Bounds(a, la, ha) || !Bounds(b, lb, hb)) return false;
    for (int y = std::max({la.y, lb.y, 0}); y <= std::min({ha.y, hb.y, 599}); ++y)
      for (int x = std::max({la.x, lb.x, 0}); x <= std::min({ha.x, hb.x, 799}); ++x)
        if (Inside(a, x, y) && Inside(b, x, y)) return at = {x, y}, true;
    return false;
  }

  bool Picks(const std::string& object, const std::string& pick) const {
    const auto it = mObjects.find(object);
    return it != mObjects.end() && it->second.find_child_by_attribute("picks", "pick", pick.c_str());
  }

  // A click where two regions meet goes to the first in name order: the other one cannot be found
  // there. Only a pick lying on the object that lists it is meant to take its clicks.
  void Overlaps() {
    for (auto a = mRegions.begin(); a != mRegions.end(); ++a)
      for (auto b = std::next(a); b != mRegions.end(); ++b) {
        Point at;
        if (Picks(a->first, b->first) || Picks(b->first, a->first) || !Overlap(a->second, b->second, at)) continue;
        Add("the hit regions of '" + a->first + "' and '" + b->first + "' overlap (at " + std::to_string(at.x) + "," +
            std::to_string(at.y) + "): a click there can only reach one of them");
      }
  }

  void Pairs(const std::string& name, const std::string& cls, pugi::xml_node object) {
    auto needs = [&](const std::string& other, bool character) {
      if (!mObjects.count(other) || (character && !IsCharacter(ClassOf(other))))
        Add("object '" + name + "' pairs with '" + other + "', which the scene lacks");
    };
    for (const char* prefix : {"status_bubble_worker", "status_hp_worker"})
      if (Suffix(name, prefix) >= 0) needs("worker" + name.substr(std::string(prefix).size()), true);
    for (const char* prefix : {"status_bubble_client", "status_hp_client"})
      if (name.rfind(prefix, 0) == 0) needs("client" + name.substr(std::string(prefix).size()), true);
    if (cls == "client") needs("client_place" + name.substr(6), false);
    if (cls == "client_sit") needs("client_sit_place" + name.substr(10), false);
    if (cls == "worker") needs("table" + name.substr(6), false);
    for (pugi::xml_node pair : object.children("select_block"))
      if (*pair.attribute("pair_item").value()) needs(pair.attribute("pair_item").value(), false);
  }

  void Graph() {
    std::map<std::string, Point> points = mObjectPoints;
    std::map<std::string, std::vector<std::string>> links;
    bool found = false;
    for (pugi::xml_node graph : mScene.document_element().child("graphs").children("graph")) {
      if (std::string(graph.attribute("name").value()) != "boss") continue;
      found = true;
      for (pugi::xml_node p : graph.child("points").children("point"))
        points.emplace(p.attribute("name").value(), Point{p.attribute("x").as_int(), p.attribute("y").as_int()});
      for (pugi::xml_node e : graph.child("edges").children("edge")) {
        const std::string a = e.attribute("p1").value(), b = e.attribute("p2").value();
        if (!points.count(a) || !points.count(b)) {
          Add("edge " + a + "-" + b + " names a point that is neither a graph point nor an object point");
          continue;
        }
        if (points[a].x == points[b].x && points[a].y == points[b].y)
          Add("edge " + a + "-" + b + " has zero length: the path search would never settle");
        links[a].push_back(b);
        links[b].push_back(a);
      }
    }
    if (!found || !points.count("home")) return Add("has no graph 'boss' with a point 'home'");
    std::set<std::string> reached = {"home"};
    std::vector<std::string> todo = {"home"};
    while (!todo.empty()) {
      const std::string at = todo.back();
      todo.pop_back();
      for (const std::string& next : links[at])
        if (reached.insert(next).second) todo.push_back(next);
    }
    for (const auto& [name, point] : mObjectPoints)
      if (!reached.count(name)) Add("the point of '" + name + "' is not reached from home by any edge");
  }

  void Picks() {
    std::map<std::string, std::vector<std::string>> picks;
    for (const auto& [name, object] : mObjects)
      for (pugi::xml_node pick : object.children("picks")) {
        const std::string target = pick.attribute("pick").value();
        if (target.empty()) continue;
        if (!mObjects.count(target)) Add("object '" + name + "' picks '" + target + "', which the scene lacks");
        picks[name].push_back(target);
      }
    std::map<std::string, int> state;  // 1 on the current path, 2 done
    std::function<bool(const std::string&)> cycle = [&](const std::string& at) {
      state[at] = 1;
      for (const std::string& next : picks[at])
        if (state[next] == 1 || (state[next] == 0 && cycle(next))) return true;
      state[at] = 2;
      return false;
    };
    for (const auto& [name, targets] : picks)
      if (state[name] == 0 && cycle(name))
        Add("the picks starting at '" + name + "' form a cycle: hit tests would never end");
  }

  const std::string& mDoc;
  const pugi::xml_document& mScene;
  Findings& mFindings;
  std::map<std::string, pugi::xml_node> mObjects;
  std::map<std::string, Point> mObjectPoints;
  std::map<std::string, std::vector<Point>> mRegions;  // pickable objects only
};

}  // namespace

void Scenes(const Stage& stage, Findings& findings) {
  for (const std::string& doc : GameFacts::Scenes(stage)) SceneCheck(doc, *stage.Document(doc), findings).Run();
}

}  // namespace Content::ValidatorRules
