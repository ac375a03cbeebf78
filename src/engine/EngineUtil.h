#pragma once
// Small helpers the scene engine and the cafe share: random numbers over the C runtime's generator
// (Velk::rand, seeded at start-up), a line intersection, the pictures' memory, and the debug log.

#include <functional>
#include <string>

#include "platform/base/WinTypes.h"

namespace Velk {
class Image;
class VelkAppBase;
}  // namespace Velk

// a + (b - a) * rand() / 32767: both ends can occur.
float RandomFloat(float a, float b);
// a to b, both included. One draw from the generator in every case; b <= a gives a.
int RandomInt(int a, int b);
// Lines through integer points with directions in degrees, the y axis pointing up. False, `out`
// unchanged, for parallel lines (or a crossing too far out to be a point).
bool LineIntersection(int x1, int y1, float angle1, int x2, int y2, float angle2, POINT& out);

// A picture only drawn: its decoded pixels go once the 3-D road holds it as textures (they come back
// from the textures when asked for). Until it is first drawn, and on the memory road, which draws from
// the pixels or from the display's copy made of them, it keeps them packed where that pays.
void DropPixelsAfterUpload(Velk::VelkAppBase* app, Velk::Image* image);

// Messages of the engine that nobody reads in a release: they go to the sink when one is set.
void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
using DebugLogSink = std::function<void(const std::string&)>;
// An empty sink drops the messages again.
void SetDebugLogSink(DebugLogSink sink);
