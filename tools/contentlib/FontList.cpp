#include "contentlib/FontList.h"

#include <map>
#include <set>

#include "contentlib/DescriptionReader.h"

namespace Content {
namespace {

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Layer(DescriptionReader& reader, const DescriptionLine& line, const std::string& word, FontLayerEntry& layer) {
  using Kind = FontLayerEntry::Kind;
  if (word == "main") return layer.kind = Kind::Main, true;
  std::string name;
  std::vector<std::string> args;
  if (!DescriptionReader::Call(word, name, args)) return reader.Fail(line, "unknown layer '" + word + "'");
  if (name == "offset" && args.size() == 2) {
    layer.kind = Kind::Offset;
    return reader.Integer(line, args[0], layer.dx, -8, 8) && reader.Integer(line, args[1], layer.dy, -8, 8);
  }
  if (name == "shadow" && args.size() == 4) {
    layer.kind = Kind::Shadow;
    layer.tag = args[3];
    return reader.Integer(line, args[0], layer.dx, -8, 8) && reader.Integer(line, args[1], layer.dy, -8, 8) &&
           reader.Number(line, args[2], layer.alpha, 0, 1) &&
           (!layer.tag.empty() || reader.Fail(line, "shadow needs a tag"));
  }
  if (name == "stroke" && args.size() == 1) {
    layer.kind = Kind::Stroke;
    return reader.Integer(line, args[0], layer.dx, 1, 4);
  }
  return reader.Fail(line, "unknown layer '" + word + "' (main, offset(dx,dy), shadow(dx,dy,alpha,tag), stroke(n))");
}

bool Flag(DescriptionReader& reader, const DescriptionLine& line, const std::string& key, bool& value) {
  auto it = line.options.find(key);
  if (it == line.options.end()) return true;
  if (it->second != "true" && it->second != "false") return reader.Fail(line, key + " must be true or false");
  value = it->second == "true";
  return true;
}

bool Record(DescriptionReader& reader, const DescriptionLine& line, FontEntry& entry) {
  if (line.words.size() < 5) return reader.Fail(line, "expected: descriptor atlas face px layer...");
  entry.line = line.number;
  entry.descriptor = line.words[0];
  entry.atlas = line.words[1];
  entry.face = line.words[2];
  if (!reader.Integer(line, line.words[3], entry.pixels, 4, 128)) return false;
  if (!reader.OnlyOptions(line, {"kerning", "digits", "ref"})) return false;
  if (!Flag(reader, line, "kerning", entry.kerning) || !Flag(reader, line, "digits", entry.digits)) return false;
  entry.ref = line.options.count("ref") ? line.options.at("ref") : FileName(entry.atlas);
  for (size_t i = 4; i < line.words.size(); ++i) {
    FontLayerEntry layer;
    if (!Layer(reader, line, line.words[i], layer)) return false;
    entry.layers.push_back(layer);
  }
  return true;
}

}  // namespace

bool FontList::Parse(const std::string& file, const std::string& text, std::vector<FontEntry>& fonts,
                     Findings& findings) {
  DescriptionReader reader(file, findings);
  const size_t before = findings.Count();  // the reader reports lines it cannot split
  bool ok = true;
  std::set<std::string> descriptors;
  std::map<std::string, const FontEntry*> atlases;
  std::vector<FontEntry> parsed;
  for (const DescriptionLine& line : reader.Read(text)) {
    FontEntry entry;
    if (!Record(reader, line, entry)) {
      ok = false;
    } else if (!descriptors.insert(entry.descriptor).second) {
      ok = reader.Fail(line, "descriptor '" + entry.descriptor + "' made twice");
    } else {
      parsed.push_back(std::move(entry));
    }
  }
  for (const FontEntry& entry : parsed) {
    auto [it, added] = atlases.emplace(entry.atlas, &entry);
    if (!added && (it->second->face != entry.face || it->second->pixels != entry.pixels)) {
      findings.Add(file, entry.line, "atlas '" + entry.atlas + "' is shared with another face or size");
      ok = false;
    }
  }
  fonts.insert(fonts.end(), parsed.begin(), parsed.end());
  return ok && findings.Count() == before;
}

}  // namespace Content
