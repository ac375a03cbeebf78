#include "e2e/BookPaper.h"

#include <unordered_map>

namespace E2e {

BookPaper::BookPaper(const Frame& book) {
  std::unordered_map<uint32_t, int> counts;
  int most = 0;
  for (uint32_t pixel : book.pixels) {
    const int count = ++counts[pixel];
    if (count > most) {
      most = count;
      colour_ = pixel;
    }
  }
}

int BookPaper::Runs(const Frame& frame, const std::optional<ScreenRect>& leftOut) const {
  auto inside = [&leftOut](int x, int y) {
    return leftOut && x >= leftOut->x && x < leftOut->x + leftOut->width && y >= leftOut->y &&
           y < leftOut->y + leftOut->height;
  };
  int runs = 0;
  for (int y = 0; y < frame.height; ++y) {
    int length = 0;
    for (int x = 0; x < frame.width; ++x) {
      length = frame.At(x, y) == colour_ && !inside(x, y) ? length + 1 : 0;
      if (length == kRunLength) ++runs;
    }
  }
  return runs;
}

}  // namespace E2e
