#include "contentlib/GameFacts.h"

#include <algorithm>
#include <cstring>

namespace Content::GameFacts {

const char kCfg[] = "cfg\\cfg.xml";

std::vector<std::string> WorkerKinds(const Stage& stage) {
  std::vector<std::string> kinds;
  if (const pugi::xml_document* cfg = stage.Document(kCfg))
    for (pugi::xml_node w : cfg->document_element().child("workers").children("worker"))
      kinds.push_back(w.attribute("name").value());
  return kinds;
}

std::map<std::string, std::string> WorkerProducts(const Stage& stage) {
  std::map<std::string, std::string> products;
  if (const pugi::xml_document* cfg = stage.Document(kCfg))
    for (pugi::xml_node w : cfg->document_element().child("workers").children("worker"))
      products[w.attribute("name").value()] = w.attribute("product").value();
  return products;
}

std::set<std::string> GuestKinds(const Stage& stage) {
  std::set<std::string> kinds;
  if (const pugi::xml_document* cfg = stage.Document(kCfg))
    for (pugi::xml_node c : cfg->document_element().child("clients").children("client"))
      kinds.insert(c.attribute("name").value());
  return kinds;
}

bool IsSceneDocument(const pugi::xml_document& doc) {
  return std::strcmp(doc.document_element().name(), "root") == 0 && doc.document_element().child("objects");
}

std::vector<std::string> Scenes(const Stage& stage) {
  std::vector<std::string> scenes;
  for (const std::string& name : stage.DocumentsWithRoot("root"))
    if (IsSceneDocument(*stage.Document(name))) scenes.push_back(name);
  return scenes;
}

std::vector<std::string> Levels(const Stage& stage) { return stage.DocumentsWithRoot("level"); }

bool IsSurvival(pugi::xml_node level) { return level.child("stages"); }

int CafeOf(pugi::xml_node level) {
  std::string doc = Stage::Key(level.attribute("doc").value());
  if (doc.size() > 4 && doc.compare(doc.size() - 4, 4, ".xml") == 0) doc.resize(doc.size() - 4);
  return std::max(0, Suffix(doc, "cfg\\scene"));
}

bool IsOrderMask(const std::string& text) {
  if (text.size() != 4 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  int products = 0;
  for (char c : text) products += c != '0';
  return products >= 1 && products <= 2;
}

std::vector<std::string> Products(const std::string& mask) {
  std::vector<std::string> products;
  for (size_t i = 0; i < mask.size(); ++i)
    if (mask[i] != '0') {
      std::string single(mask.size(), '0');
      single[i] = mask[i];
      products.push_back(single);
    }
  return products;
}

std::map<std::string, pugi::xml_node> SceneObjects(const pugi::xml_document& scene) {
  std::map<std::string, pugi::xml_node> objects;
  for (pugi::xml_node o : scene.document_element().child("objects").children("object"))
    objects.emplace(o.attribute("name").value(), o);
  return objects;
}

int Suffix(const std::string& name, const std::string& prefix) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
  int n = 0;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || n > 100000) return -1;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

}  // namespace Content::GameFacts
