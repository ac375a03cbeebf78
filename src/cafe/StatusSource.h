#pragma once
// Status objects find their character by name: "status_bubble_worker" and "status_hp_worker" + n
// show "worker" + n; "status_bubble_client" and "status_hp_client" + the rest show "client" + the
// rest (a seated customer's rest begins with "_sit").

#include <string>

class QCItem;
class QIStatSrc;

struct StatusSource {
  QCItem* item = nullptr;
  QIStatSrc* stat = nullptr;
};

// Binds a status object to its character and moves it there. An object that binds to nothing is
// taken out of play, with one line in the log.
StatusSource BindStatusSource(QCItem* status);

// The colours of the bars, as ARGB words.
namespace StatusColors {
inline constexpr unsigned kGreen = 0xFF70F044;
inline constexpr unsigned kYellow = 0xFFF9EF4D;
inline constexpr unsigned kRed = 0xFFFB2626;
inline constexpr unsigned kFrozen = 0xFF47D6FF;
}  // namespace StatusColors
