#include "scene/ZOwnerGrid.h"

#include <algorithm>

ZOwnerGrid::ZOwnerGrid(int width, int height) : mHeight(height), mColumns(static_cast<size_t>(width)) {}

void ZOwnerGrid::Clear() {
  for (Column& column : mColumns) column.clear();
}

ZOwnerGrid::Column::const_iterator ZOwnerGrid::After(const Column& column, int y) {
  return std::upper_bound(column.begin(), column.end(), y, [](int row, const Stretch& s) { return row < s.top; });
}

void ZOwnerGrid::Claim(int x, int y, QCItemPart* part) {
  if (y >= mHeight) return;
  Column& column = mColumns[static_cast<size_t>(x)];
  const auto at = After(column, y);
  // A line already beginning on this row is as near and keeps the cells.
  if (at != column.begin() && std::prev(at)->top == y) return;
  column.insert(at, Stretch{y, part});
}

ZOwnerGrid::Cell ZOwnerGrid::At(int x, int y) const {
  const Column& column = mColumns[static_cast<size_t>(x)];
  const auto at = After(column, y);
  if (at == column.begin()) return Cell{};
  return Cell{y - std::prev(at)->top + 1, std::prev(at)->owner};
}

QCItemPart* ZOwnerGrid::NextOwnerBelow(int x, int y, const QCItemPart* part) const {
  if (y + 1 >= mHeight) return nullptr;
  const Column& column = mColumns[static_cast<size_t>(x)];
  auto at = After(column, y + 1);
  if (at != column.begin()) --at;
  for (; at != column.end(); ++at)
    if (at->owner && at->owner != part) return at->owner;
  return nullptr;
}
