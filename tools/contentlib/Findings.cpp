#include "contentlib/Findings.h"

namespace Content {

std::string Finding::Text() const {
  std::string text = file;
  if (line > 0) text += ":" + std::to_string(line);
  return text + ": " + what;
}

void Findings::Add(const std::string& file, int line, const std::string& what) { mList.push_back({file, line, what}); }

bool Findings::Mentions(const std::string& words) const {
  for (const Finding& f : mList)
    if (f.Text().find(words) != std::string::npos) return true;
  return false;
}

void Findings::Print(std::ostream& out) const {
  for (const Finding& f : mList) out << "contentgen: " << f.Text() << "\n";
}

}  // namespace Content
