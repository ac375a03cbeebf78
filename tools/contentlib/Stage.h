#pragma once
// The staged files as the game will find them: names lower case with '\' separators, the bytes,
// and the XML documents parsed from UTF-16LE the way the game parses them.

#include <pugixml.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "contentlib/Findings.h"

namespace Content {

class Stage {
 public:
  // The member name of a path: lower case, '\' between components.
  static std::string Key(const std::string& path);
  // Whether a member name stays inside the stage: relative, no empty, "." or ".." component,
  // printable ASCII without ':' (an archive member's name is ASCII).
  static bool PlainPath(const std::string& path);

  void Add(const std::string& name, std::vector<uint8_t> bytes);
  // Every file below each folder (names relative to that folder); false with a finding when a
  // folder cannot be read.
  bool LoadFolder(const std::string& folder, Findings& findings);

  bool Has(const std::string& name) const;
  // With the image loader's search when the name has no extension.
  bool HasImage(const std::string& name) const;
  const std::vector<uint8_t>* Bytes(const std::string& name) const;
  std::vector<std::string> Names() const;

  // The parsed document, or null when the file is missing or does not parse.
  const pugi::xml_document* Document(const std::string& name) const;
  // The staged XML documents whose document element has the given name.
  std::vector<std::string> DocumentsWithRoot(const std::string& root) const;

 private:
  std::map<std::string, std::vector<uint8_t>> mFiles;
  mutable std::map<std::string, std::unique_ptr<pugi::xml_document>> mDocuments;
};

}  // namespace Content
