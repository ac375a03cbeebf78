#include "contentlib/XmlConvert.h"

#include <sstream>

#include "contentlib/Utf16Writer.h"
#include "contentlib/XmlExpand.h"

namespace Content {
namespace {

std::string ParseProblem(const pugi::xml_parse_result& result) {
  switch (result.status) {
    case pugi::status_end_element_mismatch:
      return "mismatched end tag";
    case pugi::status_unrecognized_tag:
      return "malformed tag";
    case pugi::status_bad_attribute:
      return "malformed attribute";
    case pugi::status_bad_end_element:
      return "malformed end tag";
    case pugi::status_bad_pcdata:
      return "malformed text";
    case pugi::status_no_document_element:
      return "no document element";
    default:
      return result.description();
  }
}

int ElementCount(const pugi::xml_document& doc) {
  int count = 0;
  for (pugi::xml_node n : doc.children()) count += n.type() == pugi::node_element ? 1 : 0;
  return count;
}

// Finds the first element nested deeper than the limit, without recursing itself.
class DepthWalker : public pugi::xml_tree_walker {
 public:
  pugi::xml_node tooDeep;
  bool for_each(pugi::xml_node& node) override {
    if (depth() < XmlConvert::kMaxDepth) return true;
    tooDeep = node;
    return false;
  }
};

}  // namespace

bool XmlConvert::Load(const std::string& file, const std::string& source, pugi::xml_document& doc, Findings& findings) {
  XmlExpand expand(file, source, findings);
  const pugi::xml_parse_result result =
      doc.load_buffer(source.data(), source.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!result) {
    findings.Add(file, expand.LineOf(result.offset), ParseProblem(result));
    return false;
  }
  if (ElementCount(doc) != 1 || doc.document_element().name() == std::string("repeat")) {
    findings.Add(file, "needs exactly one document element");
    return false;
  }
  DepthWalker walker;
  if (!doc.traverse(walker)) {
    findings.Add(file, expand.LineOf(walker.tooDeep.offset_debug()),
                 "elements nested more than " + std::to_string(kMaxDepth) + " deep");
    return false;
  }
  return expand.Expand(doc);
}

std::string XmlConvert::Write(const pugi::xml_document& doc) {
  std::ostringstream text;
  doc.save(text, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
  return Utf16Writer::Convert(text.str(), true);
}

bool XmlConvert::Convert(const std::string& file, const std::string& source, std::string& out, Findings& findings) {
  pugi::xml_document doc;
  if (!Load(file, source, doc, findings)) return false;
  out = Write(doc);
  return true;
}

}  // namespace Content
