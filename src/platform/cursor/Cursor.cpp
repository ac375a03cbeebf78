#include "platform/cursor/Cursor.h"

#include "platform/backend/Backend.h"

#include <map>
#include <mutex>

namespace {

struct CursorObject {
  void* native = nullptr;
  bool shared = false;
};

struct CursorTable {
  std::mutex lock;
  std::map<HCURSOR, CursorObject> cursors;
  std::map<WORD, HCURSOR> system;
  HCURSOR current = nullptr;
  uintptr_t next = 0x20000;
  uint64_t owner = 0;  // the serial of the back end the native cursors belong to
};

CursorTable& Table() {
  static CursorTable table;
  return table;
}

bool IsSystemCursor(uintptr_t id) {
  return (id >= 32512 && id <= 32515) || (id >= 32642 && id <= 32646) || id == 32648 || id == 32649;
}

// Cursors made by a back end that has since been replaced are forgotten, not freed.
void ForgetStale(CursorTable& t) {
  if (t.owner == Velk::Backend::Get().Serial()) return;
  t.cursors.clear();
  t.system.clear();
  t.current = nullptr;
  t.owner = Velk::Backend::Get().Serial();
}

HCURSOR Add(CursorTable& t, void* native, bool shared) {
  HCURSOR handle = reinterpret_cast<HCURSOR>(t.next);
  t.next += 4;
  t.cursors[handle] = CursorObject{native, shared};
  return handle;
}

}  // namespace

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  uintptr_t id = reinterpret_cast<uintptr_t>(name);
  if (instance || !IsSystemCursor(id)) return nullptr;
  auto& t = Table();
  std::lock_guard guard(t.lock);
  ForgetStale(t);
  auto it = t.system.find(static_cast<WORD>(id));
  if (it != t.system.end()) return it->second;
  void* native = Velk::Backend::Get().CreateSystemCursor(static_cast<WORD>(id));
  if (!native) return nullptr;
  HCURSOR handle = Add(t, native, true);
  t.system[static_cast<WORD>(id)] = handle;
  return handle;
}

HCURSOR CreateCursor(HINSTANCE, int xHotSpot, int yHotSpot, int width, int height, const void* andPlane,
                     const void* xorPlane) {
  if (width <= 0 || height <= 0 || width % 8 != 0 || !andPlane || !xorPlane) return nullptr;
  if (xHotSpot < 0 || yHotSpot < 0 || xHotSpot >= width || yHotSpot >= height) return nullptr;
  size_t bytes = static_cast<size_t>(width / 8) * static_cast<size_t>(height);
  Velk::CursorShape shape;
  shape.width = width;
  shape.height = height;
  shape.hotX = xHotSpot;
  shape.hotY = yHotSpot;
  shape.andPlane.assign(static_cast<const BYTE*>(andPlane), static_cast<const BYTE*>(andPlane) + bytes);
  shape.xorPlane.assign(static_cast<const BYTE*>(xorPlane), static_cast<const BYTE*>(xorPlane) + bytes);
  auto& t = Table();
  std::lock_guard guard(t.lock);
  ForgetStale(t);
  void* native = Velk::Backend::Get().CreateCursor(shape);
  return native ? Add(t, native, false) : nullptr;
}

BOOL DestroyCursor(HCURSOR cursor) {
  auto& t = Table();
  std::lock_guard guard(t.lock);
  ForgetStale(t);
  auto it = t.cursors.find(cursor);
  if (it == t.cursors.end()) return FALSE;
  if (it->second.shared) return TRUE;
  if (t.current == cursor) {
    Velk::Backend::Get().ShowCursor(nullptr);
    t.current = nullptr;
  }
  Velk::Backend::Get().DestroyCursor(it->second.native);
  t.cursors.erase(it);
  return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor) {
  auto& t = Table();
  std::lock_guard guard(t.lock);
  ForgetStale(t);
  HCURSOR previous = t.current;
  auto it = t.cursors.find(cursor);
  if (cursor && it == t.cursors.end()) return previous;
  Velk::Backend::Get().ShowCursor(cursor ? it->second.native : nullptr);
  t.current = cursor;
  return previous;
}

HCURSOR GetCursor() {
  auto& t = Table();
  std::lock_guard guard(t.lock);
  ForgetStale(t);
  return t.current;
}
