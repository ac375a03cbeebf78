#include "balance/BalanceTable.h"

#include <fstream>
#include <sstream>

namespace Balance {

bool BalanceTable::Read(const std::string& path, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = path + ": cannot be read";
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    char kind = 0;
    int level = 0;
    Band band;
    std::string expert;
    fields >> kind >> level >> band.low >> band.high;
    if (kind == 'l') fields >> expert;
    if (!fields || (kind != 'l' && kind != 'e') || band.low > band.high ||
        (kind == 'l' && expert != "yes" && expert != "no")) {
      error = path + ":" + std::to_string(number) + ": not \"l<day> low high yes|no\" nor \"e<cafe> low high\"";
      return false;
    }
    band.expert = expert == "yes";
    (kind == 'l' ? mCareer : mSurvival)[level] = band;
  }
  return true;
}

const Band* BalanceTable::Find(const std::map<int, Band>& rows, int key) {
  const auto it = rows.find(key);
  return it == rows.end() ? nullptr : &it->second;
}

}  // namespace Balance
