#pragma once

namespace Velk {

// One horizontal run of pixels.
struct Span {
  int y = 0;
  int x = 0;
  int width = 0;
};

}  // namespace Velk
