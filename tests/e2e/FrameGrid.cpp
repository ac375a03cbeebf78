#include "e2e/FrameGrid.h"

#include "resources/ImageLib.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace E2e {

uint32_t Frame::Average(int x, int y, int w, int h) const {
  const int left = std::max(x, 0), top = std::max(y, 0);
  const int right = std::min(x + w, width), bottom = std::min(y + h, height);
  if (left >= right || top >= bottom) return 0;
  uint64_t sum[3] = {};
  for (int py = top; py < bottom; ++py) {
    for (int px = left; px < right; ++px) {
      const uint32_t c = At(px, py);
      sum[0] += (c >> 16) & 0xFF;
      sum[1] += (c >> 8) & 0xFF;
      sum[2] += c & 0xFF;
    }
  }
  const uint64_t n = static_cast<uint64_t>(right - left) * (bottom - top);
  // Rounded to the nearest, so that an even split does not drift downwards.
  auto mean = [n](uint64_t s) { return static_cast<uint32_t>((s + n / 2) / n); };
  return (mean(sum[0]) << 16) | (mean(sum[1]) << 8) | mean(sum[2]);
}

Frame Frame::Part(int x, int y, int w, int h) const {
  const int left = std::max(x, 0), top = std::max(y, 0);
  Frame part;
  part.width = std::max(0, std::min(x + w, width) - left);
  part.height = std::max(0, std::min(y + h, height) - top);
  for (int py = top; py < top + part.height; ++py) {
    for (int px = left; px < left + part.width; ++px) part.pixels.push_back(At(px, py));
  }
  return part;
}

int Frame::ChannelDistance(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift : {16, 8, 0}) {
    worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  }
  return worst;
}

bool Frame::WritePng(const std::string& path) const {
  std::unique_ptr<ImageLib::Image> image = ImageLib::Image::Create(width, height);
  if (!image) return false;
  for (size_t i = 0; i < pixels.size(); ++i) image->GetBits()[i] = pixels[i] | 0xFF000000u;
  return ImageLib::WritePNGImage(path, image.get());
}

std::optional<FrameGrid> FrameGrid::Golden(const std::string& name) {
  std::ifstream in(std::string(E2E_GOLDEN_DIR) + "/" + name + ".txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return Parse(text.str());
}

FrameGrid FrameGrid::Reduce(const Frame& frame) {
  FrameGrid grid;
  for (int row = 0; row < kRows; ++row) {
    const int top = row * frame.height / kRows, bottom = (row + 1) * frame.height / kRows;
    for (int column = 0; column < kColumns; ++column) {
      const int left = column * frame.width / kColumns, right = (column + 1) * frame.width / kColumns;
      grid.cells_[static_cast<size_t>(row) * kColumns + column] = frame.Average(left, top, right - left, bottom - top);
    }
  }
  return grid;
}

std::optional<FrameGrid> FrameGrid::Parse(const std::string& text) {
  FrameGrid grid;
  std::istringstream lines(text);
  std::string line;
  int row = 0;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (row == kRows) return std::nullopt;
    std::istringstream words(line);
    std::string word;
    int column = 0;
    while (words >> word) {
      if (column == kColumns || word.size() != 6 ||
          word.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return std::nullopt;
      }
      grid.cells_[static_cast<size_t>(row) * kColumns + column++] =
          static_cast<uint32_t>(std::stoul(word, nullptr, 16));
    }
    if (column != kColumns) return std::nullopt;
    ++row;
  }
  if (row != kRows) return std::nullopt;
  return grid;
}

std::string FrameGrid::ToText(const std::string& title) const {
  std::string text = "# " + title + ": " + std::to_string(kColumns) + " x " + std::to_string(kRows) +
                     " cell averages (RRGGBB) of the 800 x 600 frame\n";
  char word[8];
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      std::snprintf(word, sizeof word, "%06x", Cell(column, row) & 0xFFFFFF);
      text += word;
      text += column + 1 < kColumns ? ' ' : '\n';
    }
  }
  return text;
}

int FrameGrid::MaxDistance(const FrameGrid& other, int* worstCell) const {
  int worst = -1;
  for (size_t i = 0; i < cells_.size(); ++i) {
    const int d = Frame::ChannelDistance(cells_[i], other.cells_[i]);
    if (d > worst) {
      worst = d;
      if (worstCell) *worstCell = static_cast<int>(i);
    }
  }
  return worst;
}

Frame FrameGrid::Expand(int width, int height) const {
  Frame frame{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      frame.pixels[static_cast<size_t>(y) * width + x] = Cell(x * kColumns / width, y * kRows / height);
    }
  }
  return frame;
}

}  // namespace E2e
