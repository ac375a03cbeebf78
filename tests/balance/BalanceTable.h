#pragma once
// content/levels/balance.tsv: per career day the band of money over goal that the reference player
// reaches on average over its seeds and whether it reaches the expert goal; per survival cafe the
// band of the shift's length in seconds.

#include <map>
#include <string>

namespace Balance {

struct Band {
  double low = 0.0;
  double high = 0.0;
  bool expert = false;  // career: the expert goal is reached on every seed
};

class BalanceTable {
 public:
  // False with the reason when the file is missing or a line is not "<l|e><n> low high [expert]".
  bool Read(const std::string& path, std::string& error);
  // Null when the table has no row for the level.
  const Band* Career(int day) const { return Find(mCareer, day); }
  const Band* Survival(int cafe) const { return Find(mSurvival, cafe); }

 private:
  static const Band* Find(const std::map<int, Band>& rows, int key);

  std::map<int, Band> mCareer;
  std::map<int, Band> mSurvival;
};

}  // namespace Balance
