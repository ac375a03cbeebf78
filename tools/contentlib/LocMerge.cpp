#include "contentlib/LocMerge.h"

#include <set>

namespace Content {

bool LocMerge::Append(pugi::xml_document& loc, const std::vector<std::pair<std::string, std::string>>& entries,
                      const std::string& file, Findings& findings) {
  std::set<std::string> ids;
  for (pugi::xml_node text : loc.document_element().children("loc")) ids.insert(text.attribute("id").value());
  bool ok = true;
  for (const auto& [id, text] : entries) {
    if (!ids.insert(id).second) {
      findings.Add(file, "loc id '" + id + "' is written by hand and by the level generator");
      ok = false;
      continue;
    }
    pugi::xml_node node = loc.document_element().append_child("loc");
    node.append_attribute("id") = id.c_str();
    node.append_attribute("text") = text.c_str();
  }
  return ok;
}

}  // namespace Content
