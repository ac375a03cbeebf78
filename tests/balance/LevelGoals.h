#pragma once
// The goals of every career day beside the day's green maximum: the money that serving every guest
// of the day brings when each product is handed over at full patience (the kind's
// client_money01_g, or the day's own override of it), with no tray coins. Read from the level files
// and cfg.xml as the content build staged them, independently of the generator that wrote them.

#include <map>
#include <string>
#include <vector>

namespace Balance {

struct DayGoals {
  int day = 0;
  int cafe = 0;  // from the scene document the level names
  int normal = 0;
  int expert = 0;
  int green = 0;  // the green maximum

  double Share() const { return green > 0 ? static_cast<double>(normal) / green : 0.0; }
  double ExpertShare() const { return green > 0 ? static_cast<double>(expert) / green : 0.0; }
};

class LevelGoals {
 public:
  // Days 1..days from `stageDir`/cfg/l<day>.xml; false with the reason when a file cannot be read,
  // lacks its goals or scene, or a guest's kind has no price.
  bool Read(const std::string& stageDir, int days, std::string& error);
  const std::vector<DayGoals>& Days() const { return mDays; }

 private:
  bool ReadDay(const std::string& path, int day, std::string& error);

  std::map<std::string, int> mPrices;  // kind -> client_money01_g of cfg.xml
  std::vector<DayGoals> mDays;
};

}  // namespace Balance
