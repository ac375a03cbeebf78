#include "engine/EngineUtil.h"

#include <cmath>
#include <cstdarg>
#include <mutex>

#include "app/VelkAppBase.h"
#include "common/StringUtil.h"
#include "graphics/MemoryImage.h"
#include "platform/crt/Rand.h"

namespace {

std::mutex gSinkLock;
DebugLogSink gSink;

}  // namespace

float RandomFloat(float a, float b) {
  return a + (b - a) * static_cast<float>(Velk::rand()) / static_cast<float>(Velk::kRandMax);
}

int RandomInt(int a, int b) {
  int draw = Velk::rand();
  if (b <= a) return a;
  int64_t span = static_cast<int64_t>(b) - a;
  if (span == 1) return static_cast<float>(draw) / static_cast<float>(Velk::kRandMax) < 0.5f ? a : b;
  return static_cast<int>(a + draw % (span + 1));
}

void DropPixelsAfterUpload(Velk::VelkAppBase* app, Velk::Image* image) {
  auto* picture = dynamic_cast<Velk::MemoryImage*>(image);
  if (!picture || !app) return;
  if (app->Is3DModeOn())
    picture->DropBits();
  else
    picture->PackBits();
}

bool LineIntersection(int x1, int y1, float angle1, int x2, int y2, float angle2, POINT& out) {
  const float toRadians = 3.1415927f / 180.0f;
  float k1 = std::tan(angle1 * toRadians);
  float k2 = std::tan(angle2 * toRadians);
  if (k1 == k2) return false;
  float c1 = static_cast<float>(-y1) - k1 * static_cast<float>(x1);
  float c2 = static_cast<float>(-y2) - k2 * static_cast<float>(x2);
  float x = (c2 - c1) / (k1 - k2);
  float y = -(c1 + k1 * x);
  // A nearly parallel pair crosses beyond any int coordinate.
  const float limit = 2147483520.0f;
  if (!(std::fabs(x) < limit && std::fabs(y) < limit)) return false;
  out.x = static_cast<LONG>(x);
  out.y = static_cast<LONG>(y);
  return true;
}

void DebugLog(const char* format, ...) {
  std::lock_guard<std::mutex> guard(gSinkLock);
  if (!gSink || !format) return;
  va_list args;
  va_start(args, format);
  std::string text = Velk::VFormatString(format, args);
  va_end(args);
  gSink(text);
}

void SetDebugLogSink(DebugLogSink sink) {
  std::lock_guard<std::mutex> guard(gSinkLock);
  gSink = std::move(sink);
}
