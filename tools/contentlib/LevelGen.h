#pragma once
// The career generator: from one row of the day table it draws the day's guests with a fixed
// pseudo-random sequence seeded by the day, works out the goals, and writes the level document and
// the day's two briefing texts. The same table gives the same files on every run.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "contentlib/CareerTable.h"
#include "contentlib/Findings.h"

namespace Content {

struct Guest {
  std::string time;  // seconds with one decimal, as written
  std::string kind;
  std::vector<std::string> entries;  // order masks, with "sit" before the seated product
};

struct GeneratedDay {
  int normal = 0, expert = 0;
  std::vector<Guest> guests;
};

class LevelGen {
 public:
  explicit LevelGen(const CareerTable& table) : mTable(table) {}

  // False with a finding when the row names a menu, cafe or table the other files lack.
  bool Check(const CareerDay& day, const std::string& file, Findings& findings) const;
  // The guests and goals of a day (rows that pass Check only).
  GeneratedDay Draw(const CareerDay& day) const;
  // The level document (UTF-8) over the scene's objects in document order; an object the rules do
  // not know is a finding.
  std::string Document(const CareerDay& day, const GeneratedDay& drawn, const std::vector<std::string>& sceneObjects,
                       const std::string& file, Findings& findings) const;
  // The career book's text of the day and the level's briefing: (breif_l{d}, breif_text_l{dd}).
  std::vector<std::pair<std::string, std::string>> Briefings(int day, int dayInCafe, int cafe, int guests, int normal,
                                                             int expert) const;

 private:
  std::string ObjectLine(const std::string& name, const CareerDay& day, bool& known) const;

  const CareerTable& mTable;
};

}  // namespace Content
