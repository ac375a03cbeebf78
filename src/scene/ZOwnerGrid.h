#pragma once
// The z-order's ownership grid, 800 x 600 cells, each owned by the nearest z-line at or above it in
// its column (the first registered on a tie) at a distance of rows + 1, or free. Every column is kept
// as the rows where an owner's stretch begins, so reads give the answers of the full grid in a few
// kilobytes instead of megabytes.

#include <vector>

class QCItemPart;

class ZOwnerGrid {
 public:
  struct Cell {
    int distance = 0;  // 0: free
    QCItemPart* owner = nullptr;
  };

  ZOwnerGrid(int width, int height);

  void Clear();
  // A line at row y of column x takes the cells below it down to the next line's.
  void Claim(int x, int y, QCItemPart* part);
  Cell At(int x, int y) const;
  // The first owner below row y of column x other than part, or null.
  QCItemPart* NextOwnerBelow(int x, int y, const QCItemPart* part) const;

 private:
  struct Stretch {
    int top;
    QCItemPart* owner;
  };
  using Column = std::vector<Stretch>;

  // The first stretch beginning below row y.
  static Column::const_iterator After(const Column& column, int y);

  int mHeight;
  std::vector<Column> mColumns;
};
