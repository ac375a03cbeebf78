#pragma once
// The process heap: one heap shared by every thread, as the system's own process heap is.

namespace Velk {

// Every thread allocates from the same heap from here on. Pictures are decoded on the loading thread
// and freed on the main thread once their textures exist; with a heap per thread their memory would
// stay with the loading thread's heap while the main thread grows its own for the textures. A fixed
// mmap threshold saved as much, but made every large buffer of a frame a fresh mapping (a day-1
// frame went from 5.3 to 7.2 ms).
void ShareProcessHeapBetweenThreads();

}  // namespace Velk
