#pragma once
// XML sources (UTF-8) to the documents the game reads: parsed for well-formedness, comments and
// declarations dropped, the repeat macro expanded, written as UTF-16LE starting with FF FE.

#include <pugixml.hpp>

#include <string>

#include "contentlib/Findings.h"

namespace Content {

class XmlConvert {
 public:
  // Deeper sources are refused: the expansion walks the tree recursively.
  static constexpr int kMaxDepth = 256;

  // Parses and expands the source; false (with findings naming file:line) when it is not usable.
  static bool Load(const std::string& file, const std::string& source, pugi::xml_document& doc, Findings& findings);

  // The document's bytes as the game reads them. Attribute values are escaped (&amp; &lt; &quot;).
  static std::string Write(const pugi::xml_document& doc);

  // Load and Write in one step; false leaves out untouched.
  static bool Convert(const std::string& file, const std::string& source, std::string& out, Findings& findings);
};

}  // namespace Content
