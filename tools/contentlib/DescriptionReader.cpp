#include "contentlib/DescriptionReader.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace Content {
namespace {

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// '#' starts a comment at the start of a line or after a blank; elsewhere it is part of a word
// (colour=#8D6E63).
size_t CommentStart(const std::string& line) {
  for (size_t i = 0; i < line.size(); ++i)
    if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return i;
  return line.size();
}

}  // namespace

std::vector<DescriptionLine> DescriptionReader::Read(const std::string& text) {
  std::vector<DescriptionLine> lines;
  size_t start = 0;
  int number = 0;
  while (start < text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    std::string raw = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    raw.erase(CommentStart(raw));
    if (Trim(raw).empty()) continue;
    DescriptionLine line;
    line.number = number;
    line.indented = raw[0] == ' ' || raw[0] == '\t';
    if (Tokenize(line, raw)) lines.push_back(std::move(line));
  }
  return lines;
}

bool DescriptionReader::Tokenize(DescriptionLine& line, const std::string& text) {
  std::vector<std::string> fields;
  std::string field;
  int depth = 0;
  for (char c : text) {
    if ((c == ' ' || c == '\t') && depth == 0) {
      if (!field.empty()) fields.push_back(field), field.clear();
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')' && --depth < 0) return Fail(line, "unbalanced ')'");
    field += c;
  }
  if (depth != 0) return Fail(line, "unclosed '('");
  if (!field.empty()) fields.push_back(field);
  for (const std::string& f : fields) {
    const size_t eq = f.find('=');
    const size_t paren = f.find('(');
    if (eq == std::string::npos || (paren != std::string::npos && paren < eq)) {
      line.words.push_back(f);
    } else if (eq == 0) {
      return Fail(line, "option without a name: '" + f + "'");
    } else if (!line.options.emplace(f.substr(0, eq), f.substr(eq + 1)).second) {
      return Fail(line, "option '" + f.substr(0, eq) + "' given twice");
    }
  }
  return true;
}

bool DescriptionReader::Fail(const DescriptionLine& line, const std::string& what) {
  mFindings.Add(mFile, line.number, what);
  return false;
}

bool DescriptionReader::Number(const DescriptionLine& line, const std::string& text, double& value, double low,
                               double high) {
  const char* begin = text.c_str();
  char* end = nullptr;
  value = std::strtod(begin, &end);
  if (text.empty() || *end != '\0' || !std::isfinite(value)) return Fail(line, "'" + text + "' is not a number");
  if (value < low || value > high)
    return Fail(line, "'" + text + "' is outside " + std::to_string(low) + " to " + std::to_string(high));
  return true;
}

bool DescriptionReader::Integer(const DescriptionLine& line, const std::string& text, int& value, int low, int high) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return Fail(line, "'" + text + "' is not a whole number");
  if (value < low || value > high)
    return Fail(line, "'" + text + "' is outside " + std::to_string(low) + " to " + std::to_string(high));
  return true;
}

bool DescriptionReader::OnlyOptions(const DescriptionLine& line, const std::set<std::string>& allowed) {
  for (const auto& [key, value] : line.options)
    if (!allowed.count(key)) return Fail(line, "unknown option '" + key + "'");
  return true;
}

bool DescriptionReader::Call(const std::string& word, std::string& name, std::vector<std::string>& args) {
  const size_t open = word.find('(');
  if (open == std::string::npos || open == 0 || word.back() != ')') return false;
  name = word.substr(0, open);
  args.clear();
  const std::string inside = word.substr(open + 1, word.size() - open - 2);
  size_t start = 0;
  while (start <= inside.size()) {
    const size_t comma = std::min(inside.find(',', start), inside.size());
    args.push_back(Trim(inside.substr(start, comma - start)));
    start = comma + 1;
  }
  if (args.size() == 1 && args[0].empty()) args.clear();
  return true;
}

}  // namespace Content
