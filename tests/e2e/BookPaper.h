#pragma once
// The paper of the game's books (the main menu and the career book share their pages), as a frame
// check looks for it: its colour is the one a frame of the open book shows most, and a page shows
// as long runs of that colour along the rows, between its ruled lines.

#include <cstdint>
#include <optional>

#include "e2e/FrameGrid.h"
#include "e2e/XConnection.h"

namespace E2e {

class BookPaper {
 public:
  // Runs shorter than this may be a paper-coloured detail of some other picture.
  static constexpr int kRunLength = 40;

  // From a frame that shows the open book.
  explicit BookPaper(const Frame& book);

  uint32_t Colour() const { return colour_; }
  // The runs of the paper's colour, at least kRunLength pixels long, in the frame's rows; a part
  // of the frame with paper of its own (a dialog) is left out.
  int Runs(const Frame& frame, const std::optional<ScreenRect>& leftOut = std::nullopt) const;

 private:
  uint32_t colour_ = 0;
};

}  // namespace E2e
