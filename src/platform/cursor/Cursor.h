#pragma once
// Mouse cursors: the system's shapes by IDC_ id, and 32 x 32 monochrome cursors made from AND and
// XOR planes. SetCursor(NULL) hides the pointer.

#include "platform/base/WinTypes.h"

#include <cstdint>

using LPCWSTR = const wchar_t*;

inline LPCWSTR MakeIntResourceW(WORD id) { return reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(id)); }

inline const LPCWSTR IDC_ARROW = MakeIntResourceW(32512);
inline const LPCWSTR IDC_IBEAM = MakeIntResourceW(32513);
inline const LPCWSTR IDC_WAIT = MakeIntResourceW(32514);
inline const LPCWSTR IDC_CROSS = MakeIntResourceW(32515);
inline const LPCWSTR IDC_SIZENWSE = MakeIntResourceW(32642);
inline const LPCWSTR IDC_SIZENESW = MakeIntResourceW(32643);
inline const LPCWSTR IDC_SIZEWE = MakeIntResourceW(32644);
inline const LPCWSTR IDC_SIZENS = MakeIntResourceW(32645);
inline const LPCWSTR IDC_SIZEALL = MakeIntResourceW(32646);
inline const LPCWSTR IDC_NO = MakeIntResourceW(32648);
inline const LPCWSTR IDC_HAND = MakeIntResourceW(32649);

// Only system cursors (instance null, an IDC_ id) can be loaded; the same id gives the same
// shared cursor, which DestroyCursor leaves alone.
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
inline HCURSOR LoadCursor(HINSTANCE instance, LPCWSTR name) { return LoadCursorW(instance, name); }
// Planes are `height` rows of whole bytes, one bit per pixel, most significant bit first.
HCURSOR CreateCursor(HINSTANCE instance, int xHotSpot, int yHotSpot, int width, int height, const void* andPlane,
                     const void* xorPlane);
BOOL DestroyCursor(HCURSOR cursor);
// Returns the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
