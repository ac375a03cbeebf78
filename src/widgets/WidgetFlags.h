#pragma once
#include <cstdint>

namespace Velk {

// Masks handed down the widget tree during update, draw and the mouse hit test.
namespace WidgetFlag {
constexpr uint32_t Update = 1;
constexpr uint32_t InvalidateEachUpdate = 2;
constexpr uint32_t Draw = 4;
constexpr uint32_t ClipToBounds = 8;
constexpr uint32_t MouseInput = 16;
constexpr uint32_t Focusable = 32;
}  // namespace WidgetFlag

class WidgetFlagsChange {
 public:
  uint32_t mAddFlags = 0;
  uint32_t mRemoveFlags = 0;

  WidgetFlagsChange() = default;
  WidgetFlagsChange(uint32_t add, uint32_t remove) : mAddFlags(add), mRemoveFlags(remove) {}

  uint32_t Apply(uint32_t flags) const { return (flags | mAddFlags) & ~mRemoveFlags; }
};

// The masks above and below the modal widget; a node uses the first once the walk has passed the
// modal widget.
class ModalFlags {
 public:
  uint32_t mOverFlags = 0;
  uint32_t mUnderFlags = 0;
  bool mIsOver = false;

  uint32_t GetFlags() const { return mIsOver ? mOverFlags : mUnderFlags; }
};

class Margins {
 public:
  int mLeft = 0;
  int mTop = 0;
  int mRight = 0;
  int mBottom = 0;

  Margins() = default;
  Margins(int left, int top, int right, int bottom) : mLeft(left), mTop(top), mRight(right), mBottom(bottom) {}
};

}  // namespace Velk
