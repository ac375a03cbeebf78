#include "platform/instance/HeldLocks.h"

#include <unistd.h>

#include <atomic>

namespace Velk {

namespace {

// The instance lock and the two folders' locks, with room to spare. A slot holds its descriptor
// plus one, so that the zero every slot starts with is an empty one.
constexpr int kSlots = 16;
std::atomic<int> gHeld[kSlots];
std::atomic<bool> gReleased{false};

static_assert(std::atomic<int>::is_always_lock_free, "the table is read from a signal handler");

}  // namespace

void HeldLocks::Keep(int fd) {
  for (std::atomic<int>& slot : gHeld) {
    int empty = 0;
    if (slot.compare_exchange_strong(empty, fd + 1)) return;
  }
}

// Each slot is emptied with one atomic step, so the descriptor is closed once whoever races.
void HeldLocks::Close(int fd) {
  for (std::atomic<int>& slot : gHeld) {
    int kept = fd + 1;
    if (slot.compare_exchange_strong(kept, 0)) {
      close(fd);
      return;
    }
  }
  if (!gReleased) close(fd);  // never kept: the table was full
}

void HeldLocks::ReleaseAll() {
  gReleased = true;
  for (std::atomic<int>& slot : gHeld) {
    if (const int kept = slot.exchange(0); kept > 0) close(kept - 1);
  }
}

}  // namespace Velk
