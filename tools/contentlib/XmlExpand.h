#pragma once
// Expands the repeat macro of the XML sources in place:
//   <repeat var="n" from="1" to="24"> ... </repeat>        numbers, in order
//   <repeat var="c" in="00a,00b,05"> ... </repeat>          words
// and replaces every "{expr}" in attribute values ("{{" stands for "{"). Bounded: a repeat makes at
// most kMaxCopies copies, repeats nest at most kMaxNesting deep and a document holds at most
// kMaxElements elements; anything beyond is a finding, never an exhausted memory.

#include <pugixml.hpp>

#include <string>
#include <vector>

#include "contentlib/Expression.h"
#include "contentlib/Findings.h"

namespace Content {

class XmlExpand {
 public:
  static constexpr int kMaxCopies = 4096;
  static constexpr int kMaxNesting = 8;
  static constexpr int kMaxElements = 1000000;

  // file names the source in findings; text is the source the document was parsed from (for lines).
  XmlExpand(std::string file, const std::string& text, Findings& findings);

  // False when anything was reported; the document is then not fit for output.
  bool Expand(pugi::xml_node document);

  // The 1-based line of a byte offset in the source.
  int LineOf(ptrdiff_t offset) const;

 private:
  bool ExpandChildren(pugi::xml_node parent, LoopVariables& vars, int nesting);
  bool ExpandRepeat(pugi::xml_node repeat, LoopVariables& vars, int nesting);
  bool Values(pugi::xml_node repeat, const LoopVariables& vars, std::vector<LoopValue>& values);
  bool SubstituteAttributes(pugi::xml_node node, const LoopVariables& vars);
  bool Report(pugi::xml_node node, const std::string& what);
  void MarkLines(pugi::xml_node node);
  void RemoveLines(pugi::xml_node node);

  std::string mFile;
  std::vector<size_t> mLineStarts;
  Findings& mFindings;
  long mElements = 0;
};

}  // namespace Content
