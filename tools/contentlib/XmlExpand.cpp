#include "contentlib/XmlExpand.h"

#include <algorithm>
#include <cstring>

namespace Content {
namespace {

// "{...}" replaced in one attribute value; false with the reason in error.
bool SubstituteValue(const std::string& value, const LoopVariables& vars, std::string& out, std::string& error) {
  out.clear();
  size_t i = 0;
  while (i < value.size()) {
    if (value.compare(i, 2, "{{") == 0) {
      out += '{';
      i += 2;
      continue;
    }
    if (value[i] != '{') {
      out += value[i++];
      continue;
    }
    const size_t close = value.find('}', i);
    if (close == std::string::npos) return error = "unclosed '{' in \"" + value + "\"", false;
    const std::string inside = value.substr(i + 1, close - i - 1);
    std::optional<std::string> text = Expression::Substitute(inside, vars, error);
    if (!text) return error += " in {" + inside + "}", false;
    out += *text;
    i = close + 1;
  }
  return true;
}

std::vector<std::string> SplitWords(const std::string& list) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    words.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return words;
}

}  // namespace

XmlExpand::XmlExpand(std::string file, const std::string& text, Findings& findings)
    : mFile(std::move(file)), mFindings(findings) {
  mLineStarts.push_back(0);
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') mLineStarts.push_back(i + 1);
}

int XmlExpand::LineOf(ptrdiff_t offset) const {
  if (offset < 0) return 0;
  auto it = std::upper_bound(mLineStarts.begin(), mLineStarts.end(), static_cast<size_t>(offset));
  return static_cast<int>(it - mLineStarts.begin());
}

// Copies carry no source offset, so every element remembers its line in an attribute while it expands.
constexpr char kLineAttribute[] = "contentgen.line";

void XmlExpand::MarkLines(pugi::xml_node node) {
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    child.prepend_attribute(kLineAttribute).set_value(LineOf(child.offset_debug()));
    MarkLines(child);
  }
}

void XmlExpand::RemoveLines(pugi::xml_node node) {
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    child.remove_attribute(kLineAttribute);
    RemoveLines(child);
  }
}

bool XmlExpand::Report(pugi::xml_node node, const std::string& what) {
  mFindings.Add(mFile, node.attribute(kLineAttribute).as_int(), what);
  return false;
}

bool XmlExpand::Expand(pugi::xml_node document) {
  LoopVariables vars;
  mElements = 0;
  MarkLines(document);
  const bool ok = ExpandChildren(document, vars, 0);
  RemoveLines(document);
  return ok;
}

bool XmlExpand::ExpandChildren(pugi::xml_node parent, LoopVariables& vars, int nesting) {
  pugi::xml_node child = parent.first_child();
  while (child) {
    pugi::xml_node next = child.next_sibling();
    if (child.type() == pugi::node_element) {
      if (std::strcmp(child.name(), "repeat") == 0) {
        if (!ExpandRepeat(child, vars, nesting)) return false;
      } else {
        if (++mElements > kMaxElements)
          return Report(child, "more than " + std::to_string(kMaxElements) + " elements after expansion");
        if (!SubstituteAttributes(child, vars) || !ExpandChildren(child, vars, nesting)) return false;
      }
    }
    child = next;
  }
  return true;
}

bool XmlExpand::SubstituteAttributes(pugi::xml_node node, const LoopVariables& vars) {
  std::string out, error;
  for (pugi::xml_attribute a : node.attributes()) {
    if (std::strchr(a.value(), '{') == nullptr || std::strcmp(a.name(), kLineAttribute) == 0) continue;
    if (!SubstituteValue(a.value(), vars, out, error)) return Report(node, error);
    a.set_value(out.c_str());
  }
  return true;
}

bool XmlExpand::Values(pugi::xml_node repeat, const LoopVariables& vars, std::vector<LoopValue>& values) {
  if (pugi::xml_attribute in = repeat.attribute("in")) {
    for (const std::string& word : SplitWords(in.value())) values.push_back({0, word, true});
  } else {
    std::string error;
    const std::optional<int32_t> from = Expression::Evaluate(repeat.attribute("from").value(), vars, error);
    const std::optional<int32_t> to =
        from ? Expression::Evaluate(repeat.attribute("to").value(), vars, error) : std::nullopt;
    if (!from || !to) return Report(repeat, "repeat needs from and to, or in: " + error);
    if (int64_t{*to} - *from + 1 > kMaxCopies)
      return Report(repeat, "repeat makes more than " + std::to_string(kMaxCopies) + " copies");
    for (int64_t n = *from; n <= *to; ++n) values.push_back({static_cast<int32_t>(n), "", false});
  }
  if (values.size() > static_cast<size_t>(kMaxCopies))
    return Report(repeat, "repeat makes more than " + std::to_string(kMaxCopies) + " copies");
  return true;
}

bool XmlExpand::ExpandRepeat(pugi::xml_node repeat, LoopVariables& vars, int nesting) {
  if (nesting >= kMaxNesting)
    return Report(repeat, "repeats nested more than " + std::to_string(kMaxNesting) + " deep");
  const std::string var = repeat.attribute("var").value();
  if (var.empty()) return Report(repeat, "repeat without var");
  if (vars.count(var)) return Report(repeat, "repeat reuses the variable '" + var + "' of an enclosing repeat");
  if (!SubstituteAttributes(repeat, vars)) return false;
  std::vector<LoopValue> values;
  if (!Values(repeat, vars, values)) return false;
  pugi::xml_node parent = repeat.parent();
  for (const LoopValue& value : values) {
    vars[var] = value;
    for (pugi::xml_node body : repeat.children()) {
      if (body.type() != pugi::node_element) continue;
      pugi::xml_node copy = parent.insert_copy_before(body, repeat);
      // The copy stands where the repeat stood; expand it as a child of a one-element list.
      bool ok = true;
      if (std::strcmp(copy.name(), "repeat") == 0) {
        ok = ExpandRepeat(copy, vars, nesting + 1);
      } else if (++mElements > kMaxElements) {
        ok = Report(repeat, "more than " + std::to_string(kMaxElements) + " elements after expansion");
      } else {
        ok = SubstituteAttributes(copy, vars) && ExpandChildren(copy, vars, nesting + 1);
      }
      if (!ok) return vars.erase(var), false;
    }
  }
  vars.erase(var);
  parent.remove_child(repeat);
  return true;
}

}  // namespace Content
