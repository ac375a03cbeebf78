#include "platform/process/ProcessHeap.h"

#include <malloc.h>

namespace Velk {

void ShareProcessHeapBetweenThreads() { mallopt(M_ARENA_MAX, 1); }

}  // namespace Velk
