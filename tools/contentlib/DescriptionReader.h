#pragma once
// The line-based description files (images, animations, fonts, sounds): '#' at the start of a line
// or after a blank starts a comment, one record per line, fields separated by blanks (a
// parenthesised group is one field), and options written key=value.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "contentlib/Findings.h"

namespace Content {

struct DescriptionLine {
  int number = 0;
  bool indented = false;
  std::vector<std::string> words;
  std::map<std::string, std::string> options;
};

class DescriptionReader {
 public:
  DescriptionReader(std::string file, Findings& findings) : mFile(std::move(file)), mFindings(findings) {}

  std::vector<DescriptionLine> Read(const std::string& text);

  // Each returns false after reporting "file:line: what".
  bool Fail(const DescriptionLine& line, const std::string& what);
  bool Number(const DescriptionLine& line, const std::string& text, double& value, double low, double high);
  bool Integer(const DescriptionLine& line, const std::string& text, int& value, int low, int high);
  bool OnlyOptions(const DescriptionLine& line, const std::set<std::string>& allowed);
  // Arguments of "name(a, b, ...)"; false when the word is not of that form.
  static bool Call(const std::string& word, std::string& name, std::vector<std::string>& args);

  const std::string& File() const { return mFile; }

 private:
  bool Tokenize(DescriptionLine& line, const std::string& text);

  std::string mFile;
  Findings& mFindings;
};

}  // namespace Content
