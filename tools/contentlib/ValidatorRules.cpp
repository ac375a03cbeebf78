#include "contentlib/ValidatorRules.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "contentlib/Validator.h"

namespace Content::ValidatorRules {

const char kUi[] = "cfg\\ui.xml";
const char kLoc[] = "cfg\\loc.xml";
const char kEffect[] = "cfg\\effect.xml";
const char kCfg[] = "cfg\\cfg.xml";
const char kManifest[] = "properties\\resources.xml";

namespace {

bool StartsWith(const std::string& s, const std::string& head) { return s.compare(0, head.size(), head) == 0; }
bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The game's own documents: every cfg\*.xml.
std::vector<std::string> GameDocuments(const Stage& stage) {
  std::vector<std::string> names;
  for (const std::string& name : stage.Names())
    if (StartsWith(name, "cfg\\") && EndsWith(name, ".xml")) names.push_back(name);
  return names;
}

std::vector<std::string> Values(const Stage& stage, const std::string& doc, const char* xpath) {
  std::vector<std::string> values;
  if (const pugi::xml_document* d = stage.Document(doc))
    for (const pugi::xpath_node& n : d->select_nodes(xpath)) values.push_back(n.attribute().value());
  return values;
}

std::set<std::string> Defined(const Stage& stage, const std::string& doc, const char* xpath) {
  const std::vector<std::string> values = Values(stage, doc, xpath);
  return {values.begin(), values.end()};
}

// Every element below the node, the node included.
template <typename Each>
void Walk(pugi::xml_node node, Each each) {
  each(node);
  for (pugi::xml_node child : node.children())
    if (child.type() == pugi::node_element) Walk(child, each);
}

void Unique(const Stage& stage, const std::string& doc, const char* xpath, const std::string& what,
            Findings& findings) {
  std::set<std::string> seen;
  for (const std::string& v : Values(stage, doc, xpath))
    if (!seen.insert(v).second) findings.Add(doc, what + " '" + v + "' is defined twice");
}

bool IsScene(const pugi::xml_document& doc) {
  return std::strcmp(doc.document_element().name(), "root") == 0 && doc.document_element().child("objects");
}

// The names an attribute refers to: its value, or for an animated texture (nonzero fps) the
// frames value00, value01 ... of its count, as the texture reader looks them up.
std::vector<std::string> ReferencedNames(pugi::xml_node node, pugi::xml_attribute a) {
  if (std::strcmp(a.name(), "texture") != 0 || node.attribute("fps").as_int() == 0) return {a.value()};
  std::vector<std::string> frames;
  const int count = node.attribute("count") ? node.attribute("count").as_int() : 1;
  for (int i = 0; i < count && i < 100; ++i) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, "%02d", i);
    frames.push_back(a.value() + std::string(suffix));
  }
  return frames;
}

}  // namespace

void Encodings(const Stage& stage, Findings& findings) {
  for (const std::string& name : stage.Names()) {
    const std::vector<uint8_t>& b = *stage.Bytes(name);
    if ((StartsWith(name, "cfg\\") && EndsWith(name, ".xml")) || name == kManifest) {
      if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xFE || b[2] != 0x3C || b[3] != 0x00)
        findings.Add(name, "does not start with FF FE 3C 00 (UTF-16LE with a byte-order mark, then '<')");
    } else if (StartsWith(name, "fonts\\") && EndsWith(name, ".txt")) {
      if (b.size() < 2 || (b[0] == 0xFF && b[1] == 0xFE))
        findings.Add(name, "a font descriptor must be UTF-16LE without a byte-order mark");
    }
  }
}

void FilesExist(const Stage& stage, Findings& findings) {
  for (const std::string& file : Values(stage, kUi, "/root/texture/@file"))
    if (!stage.Has(file)) findings.Add(kUi, "texture file '" + file + "' is not staged (give it with its extension)");
  for (const char* xpath : {"//sounds/sound/@path", "//music/stream/@path"})
    for (const std::string& path : Values(stage, kCfg, xpath))
      if (!stage.Has(path)) findings.Add(kCfg, "sound file '" + path + "' is not staged");
  for (const std::string& level : stage.DocumentsWithRoot("level")) {
    const std::string doc = stage.Document(level)->document_element().attribute("doc").value();
    if (!stage.Has(doc)) findings.Add(level, "doc '" + doc + "' is not staged");
  }
}

void ManifestFiles(const Stage& stage, Findings& findings) {
  const pugi::xml_document* d = stage.Document(kManifest);
  if (!d) return;
  std::string folder;  // the last SetDefaults path holds for everything after it, across groups
  for (pugi::xml_node group : d->document_element().children("Resources"))
    for (pugi::xml_node item : group.children()) {
      const std::string kind = item.name(), path = item.attribute("path").value();
      if (kind == "SetDefaults") {
        if (item.attribute("path"))
          folder = path.empty() || path.back() == '\\' || path.back() == '/' ? path : path + "\\";
        continue;
      }
      if (path.empty() || path[0] == '!') continue;  // system fonts, copies and program images
      const std::string file = folder + path;
      bool found = false;
      if (kind == "Image")
        found = stage.HasImage(file);
      else if (kind == "Font")
        found = stage.Has(file);
      else if (kind == "Sound")
        found = stage.Has(file) || stage.Has(file + ".wav") || stage.Has(file + ".ogg") || stage.Has(file + ".au");
      if (!found) findings.Add(kManifest, kind + " '" + Stage::Key(file) + "' is not staged");
    }
}

void FontAtlases(const Stage& stage, Findings& findings) {
  for (const std::string& name : stage.Names()) {
    if (!StartsWith(name, "fonts\\") || !EndsWith(name, ".txt")) continue;
    const std::vector<uint8_t>& b = *stage.Bytes(name);
    std::string text;  // the descriptors are ASCII where it matters here
    for (size_t i = 0; i + 1 < b.size(); i += 2) text += b[i + 1] == 0 ? static_cast<char>(b[i]) : '?';
    const std::string folder = name.substr(0, name.rfind('\\') + 1);
    for (size_t at = text.find("LayerSetImage "); at != std::string::npos; at = text.find("LayerSetImage ", at + 1)) {
      const size_t open = text.find('"', at), close = open == std::string::npos ? open : text.find('"', open + 1);
      const size_t end = text.find(';', at);
      if (close == std::string::npos || close > end) {
        findings.Add(name, "LayerSetImage without a quoted file name");
        continue;
      }
      const std::string image = text.substr(open + 1, close - open - 1);
      if (!stage.HasImage(folder + image)) findings.Add(name, "atlas '" + image + "' is not staged");
    }
  }
}

void UniqueIds(const Stage& stage, Findings& findings) {
  Unique(stage, kUi, "/root/texture/@id", "texture", findings);
  Unique(stage, kUi, "/root/font/@name", "font", findings);
  Unique(stage, kLoc, "/root/loc/@id", "loc id", findings);
  Unique(stage, kEffect, "/effects/effect/@name", "effect", findings);
  Unique(stage, kCfg, "//sounds/sound/@name", "sound", findings);
  Unique(stage, kCfg, "//music/stream/@name", "music", findings);
  for (const std::string& doc : GameDocuments(stage))
    if (const pugi::xml_document* d = stage.Document(doc); d && IsScene(*d))
      Unique(stage, doc, "/root/objects/object/@name", "scene object", findings);
}

void References(const Stage& stage, Findings& findings) {
  struct Family {
    std::set<std::string> names;
    const char* what;
    const char* where;
  };
  std::map<std::string, Family*> byAttribute;
  Family textures{Defined(stage, kUi, "/root/texture/@id"), "texture", kUi};
  Family locs{Defined(stage, kLoc, "/root/loc/@id"), "loc id", kLoc};
  Family effects{Defined(stage, kEffect, "/effects/effect/@name"), "effect", kEffect};
  Family sounds{Defined(stage, kCfg, "//sounds/sound/@name"), "sound", kCfg};
  Family fonts{Defined(stage, kUi, "/root/font/@name"), "font", kUi};
  for (const char* a : {"texture"}) byAttribute[a] = &textures;
  for (const char* a : {"label", "loc_str"}) byAttribute[a] = &locs;
  for (const char* a : {"effect"}) byAttribute[a] = &effects;
  for (const char* a : {"snd_hover", "snd_click", "snd_worker_begin"}) byAttribute[a] = &sounds;
  for (const char* a : {"font", "sub_font"}) byAttribute[a] = &fonts;
  for (const std::string& doc : GameDocuments(stage)) {
    const pugi::xml_document* d = stage.Document(doc);
    if (!d) continue;
    Walk(d->document_element(), [&](pugi::xml_node node) {
      for (pugi::xml_attribute a : node.attributes()) {
        std::string attribute = a.name();
        if (attribute == "image" && std::strcmp(node.name(), "cursors") == 0) attribute = "texture";
        auto it = byAttribute.find(attribute);
        if (it == byAttribute.end() || (attribute == "font" && std::strcmp(node.name(), "font") == 0)) continue;
        for (const std::string& name : ReferencedNames(node, a))
          if (!it->second->names.count(name))
            findings.Add(doc, std::string(it->second->what) + " '" + name + "' is not defined in " + it->second->where);
      }
    });
  }
  for (const std::string& f : Values(stage, kEffect, "//control/@function"))
    if (!Validator::ExportedFunctions().count(f))
      findings.Add(kEffect, "function '" + f + "' is not an exported callback");
  for (const std::string& f : Values(stage, kEffect, "//message[@command='call']/@timer_id"))
    if (!Validator::ExportedFunctions().count(f)) findings.Add(kEffect, "call '" + f + "' is not an exported callback");
}

void LevelObjects(const Stage& stage, Findings& findings) {
  for (const std::string& level : stage.DocumentsWithRoot("level")) {
    const std::string scene = stage.Document(level)->document_element().attribute("doc").value();
    if (!stage.Document(scene)) continue;  // reported by FilesExist
    const std::set<std::string> objects = Defined(stage, scene, "/root/objects/object/@name");
    for (const std::string& name : Values(stage, level, "/level/objects/object/@name"))
      if (!objects.count(name)) findings.Add(level, "object '" + name + "' is not in " + Stage::Key(scene));
  }
}

void ParentZ(const Stage& stage, Findings& findings) {
  for (const std::string& doc : GameDocuments(stage)) {
    const pugi::xml_document* d = stage.Document(doc);
    if (!d || !IsScene(*d)) continue;
    pugi::xml_node objects = d->document_element().child("objects");
    for (const std::string& target : Values(stage, doc, "/root/objects/object/part/@parent_z")) {
      const size_t colon = target.find(':');
      const std::string object = target.substr(0, colon);
      const std::string part = colon == std::string::npos ? "" : target.substr(colon + 1);
      pugi::xml_node o = objects.find_child_by_attribute("object", "name", object.c_str());
      if (colon == std::string::npos || !o || !o.find_child_by_attribute("part", "name", part.c_str()))
        findings.Add(doc, "parent_z '" + target + "' names no object:part of the scene");
    }
  }
}

namespace {

void TimerForm(pugi::xml_node effect, pugi::xml_node timer, Findings& findings) {
  static const std::set<std::string> kTypes = {"usual", "self_destructive", "cycle", "ping_pong"};
  const std::string where =
      std::string("effect '") + effect.attribute("name").value() + "' timer '" + timer.attribute("name").value() + "'";
  if (!kTypes.count(timer.attribute("type").value()))
    findings.Add(kEffect, where + ": type must be usual, self_destructive, cycle or ping_pong");
  if (!(timer.attribute("ftime").as_double() > 0)) findings.Add(kEffect, where + ": ftime must be positive");
  const std::string direction = timer.attribute("direction").value();
  if (direction != "forward" && direction != "backward")
    findings.Add(kEffect, where + ": direction must be forward or backward (a timer without one never runs)");
}

// A point control calling one of the functions at the given time (or at the timer's end).
bool HasPoint(pugi::xml_node effect, const char* a, const char* b, bool atEnd) {
  for (pugi::xml_node timer : effect.child("timers").children("timer"))
    for (pugi::xml_node control : timer.children("control")) {
      const std::string f = control.attribute("function").value();
      const double at = control.attribute("starttime").as_double();
      const double want = atEnd ? timer.attribute("ftime").as_double() : 0;
      if ((f == a || f == b) && std::strcmp(control.attribute("type").value(), "point") == 0 &&
          std::abs(at - want) < 1e-9)
        return true;
    }
  return false;
}

}  // namespace

void EffectForm(const Stage& stage, Findings& findings) {
  const pugi::xml_document* d = stage.Document(kEffect);
  if (!d) return;
  for (pugi::xml_node effect : d->document_element().children("effect")) {
    for (pugi::xml_node timer : effect.child("timers").children("timer")) TimerForm(effect, timer, findings);
    const std::string name = effect.attribute("name").value();
    pugi::xml_node messages = effect.child("messages");
    if (messages.find_child_by_attribute("message", "name", "onshow") &&
        !HasPoint(effect, "DlgShow", "EffectItemShow", false))
      findings.Add(kEffect, "effect '" + name + "' binds onshow but shows nothing at time 0 (DlgShow/EffectItemShow)");
    if (messages.find_child_by_attribute("message", "name", "onhide") &&
        !HasPoint(effect, "DlgHide", "EffectItemHide", true))
      findings.Add(kEffect, "effect '" + name + "' binds onhide but hides nothing at its end (DlgHide/EffectItemHide)");
  }
}

namespace {

bool HexDigits(const std::string& v, size_t n) {
  return v.size() == n && v.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

bool PlainName(const std::string& v) {
  if (v.empty() || v.size() > 127) return false;
  for (char c : v)
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

// "-1.5" is read as -0.5 by the game: a negative value below -1 with a fraction is a mistake.
bool MisreadFloat(const std::string& v) {
  if (v.size() < 4 || v[0] != '-' || v.find('.') == std::string::npos) return false;
  char* end = nullptr;
  const double d = std::strtod(v.c_str(), &end);
  return *end == '\0' && d < -1 && d != static_cast<double>(static_cast<long long>(d));
}

// The length the game counts: UTF-16 units of the UTF-8 text.
size_t Utf16Units(const std::string& utf8) {
  size_t units = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++units;  // one per character
    if ((c & 0xF8) == 0xF0) ++units;  // and a second for a surrogate pair
  }
  return units;
}

constexpr size_t kMaxLocText = 2048;

}  // namespace

void Values(const Stage& stage, Findings& findings) {
  static const std::set<std::string> kBooleans = {"visible", "mousevisible", "modal",   "loop",    "active",
                                                  "oneshot", "stop",         "enabled", "checked", "mirror"};
  static const std::set<std::string> kColours = {"color", "dcolor", "hcolor", "hilite_color", "sel_color"};
  for (const std::string& doc : GameDocuments(stage)) {
    const pugi::xml_document* d = stage.Document(doc);
    if (!d) {
      findings.Add(doc, "does not parse as UTF-16LE XML");
      continue;
    }
    const bool loc = doc == kLoc;
    Walk(d->document_element(), [&](pugi::xml_node node) {
      for (pugi::xml_attribute a : node.attributes()) {
        const std::string name = a.name(), v = a.value();
        const std::string at = std::string("<") + node.name() + " " + name + "=\"" + v + "\">";
        if (kBooleans.count(name) && v != "true" && v != "false") findings.Add(doc, at + ": write true or false");
        if (kColours.count(name) && !HexDigits(v, 8)) findings.Add(doc, at + ": a colour is 8 hex digits AARRGGBB");
        if (MisreadFloat(v)) findings.Add(doc, at + ": the game reads a negative fraction below -1 wrongly");
        if ((name == "name" || (name == "id" && !loc)) && !PlainName(v))
          findings.Add(doc, at + ": names are lower case ASCII letters, digits and '_'");
        if (loc && name == "text" && Utf16Units(v) >= kMaxLocText)
          findings.Add(
              doc, "loc '" + std::string(node.attribute("id").value()) + "': the game reads at most 2047 characters");
      }
    });
  }
}

}  // namespace Content::ValidatorRules
