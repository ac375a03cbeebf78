#pragma once
#include <atomic>

namespace Velk {

class MemoryImage;

// One entry of the application's table of shared images. The count is atomic because the loading
// threads take and drop references while the main thread draws.
struct SharedImage {
  MemoryImage* mImage = nullptr;
  std::atomic<int> mRefCount{0};
};

// Raised when a shared image loses its last reference; the application's clean-up pass clears it
// after freeing the entries that nobody holds.
extern std::atomic<bool> gCleanupSharedImages;

}  // namespace Velk
