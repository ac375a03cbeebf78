#pragma once
// What the content builder found wrong: one line each, "file[:line]: what". Any finding fails the run.

#include <ostream>
#include <string>
#include <vector>

namespace Content {

struct Finding {
  std::string file;
  int line = 0;  // 0 when the finding is about a whole file
  std::string what;

  std::string Text() const;
};

class Findings {
 public:
  void Add(const std::string& file, int line, const std::string& what);
  void Add(const std::string& file, const std::string& what) { Add(file, 0, what); }

  bool Empty() const { return mList.empty(); }
  size_t Count() const { return mList.size(); }
  const std::vector<Finding>& List() const { return mList; }
  // True when some finding's text contains the given words.
  bool Mentions(const std::string& words) const;

  // Each finding on its own line, prefixed with "contentgen: ".
  void Print(std::ostream& out) const;

 private:
  std::vector<Finding> mList;
};

}  // namespace Content
