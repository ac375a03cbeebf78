#pragma once
// A presented frame and its coarse fingerprint: the frame reduced to 32 x 24 cell averages, kept as
// text beside the tests, so that a change of art shows as a readable diff and small differences
// between compilers pass.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace E2e {

// X8R8G8B8 pixels, row by row.
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  bool Empty() const { return pixels.empty(); }
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // The rectangle's pixels as a frame of their own, clipped to this frame.
  Frame Part(int x, int y, int w, int h) const;
  // The average colour of the rectangle, clipped to the frame; 0 when nothing of it is inside.
  uint32_t Average(int x, int y, int w, int h) const;
  // The largest difference of one channel between the two colours.
  static int ChannelDistance(uint32_t a, uint32_t b);
  // Kept as a PNG file, to look at beside a failure.
  bool WritePng(const std::string& path) const;
};

class FrameGrid {
 public:
  static constexpr int kColumns = 32;
  static constexpr int kRows = 24;

  static FrameGrid Reduce(const Frame& frame);
  // Reads the text form; nothing when it is not 24 lines of 32 colours (comment lines start with '#').
  static std::optional<FrameGrid> Parse(const std::string& text);
  // The golden of that name from tests/e2e/golden; nothing when it is missing or unreadable.
  static std::optional<FrameGrid> Golden(const std::string& name);
  std::string ToText(const std::string& title) const;

  // The largest channel difference of any cell, and the first cell where it occurs.
  int MaxDistance(const FrameGrid& other, int* worstCell = nullptr) const;
  // Each cell filled with its colour, to show beside a frame that failed.
  Frame Expand(int width, int height) const;

  uint32_t Cell(int column, int row) const { return cells_[static_cast<size_t>(row) * kColumns + column]; }

 private:
  std::array<uint32_t, kColumns * kRows> cells_{};
};

}  // namespace E2e
