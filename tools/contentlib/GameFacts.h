#pragma once
// What several game rules of the validator read from the staged documents: the worker kinds and
// their products, the guest kinds, the scenes and the levels, and product masks.

#include <pugixml.hpp>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "contentlib/Stage.h"

namespace Content::GameFacts {

extern const char kCfg[];

// Worker kinds in cfg.xml order (the order gives the worker numbers) and their product masks.
std::vector<std::string> WorkerKinds(const Stage& stage);
std::map<std::string, std::string> WorkerProducts(const Stage& stage);
std::set<std::string> GuestKinds(const Stage& stage);

bool IsSceneDocument(const pugi::xml_document& doc);
std::vector<std::string> Scenes(const Stage& stage);
std::vector<std::string> Levels(const Stage& stage);
// A level is survival when it has stages; career otherwise.
bool IsSurvival(pugi::xml_node level);
// The digit of "cfg\sceneN.xml", 0 when the doc names no numbered scene.
int CafeOf(pugi::xml_node level);

// An order mask: four digits, at most two of them nonzero.
bool IsOrderMask(const std::string& text);
// The single products of a mask: "1030" -> {"1000", "0030"}.
std::vector<std::string> Products(const std::string& mask);

// The object elements of a scene by name.
std::map<std::string, pugi::xml_node> SceneObjects(const pugi::xml_document& scene);
// The name's number after the prefix, or -1 when the rest is not all digits.
int Suffix(const std::string& name, const std::string& prefix);

}  // namespace Content::GameFacts
