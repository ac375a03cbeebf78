#include "platform/crt/Rand.h"

#include <cstdint>
#include <mutex>

namespace {

std::mutex gRandLock;
uint32_t gRandState = 1;

}  // namespace

namespace Velk {

int rand() {
  std::lock_guard<std::mutex> hold(gRandLock);
  gRandState = gRandState * 214013u + 2531011u;
  return static_cast<int>((gRandState >> 16) & 0x7FFF);
}

void srand(unsigned seed) {
  std::lock_guard<std::mutex> hold(gRandLock);
  gRandState = seed;
}

}  // namespace Velk
