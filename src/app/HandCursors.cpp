#include "app/HandCursors.h"

#include "platform/cursor/Cursor.h"

#include <cstring>

namespace Velk {

namespace {

constexpr int kSize = 32;
constexpr int kRowBytes = kSize / 8;

// 'X' outline (black), '.' inside (white), anything else transparent; rows may be short.
using CursorArt = const char* const[kSize];

// clang-format off
CursorArt kPointingHand = {
    "",
    "",
    "",
    "          XX",
    "         X..X",
    "         X..X",
    "         X..X",
    "         X..X",
    "         X..XXX",
    "         X..X..XXX",
    "         X..X..X..XX",
    "         X..X..X..X.X",
    "      XX X........X..X",
    "     X..XX...........X",
    "     X...X...........X",
    "      X..............X",
    "       X.............X",
    "       X............X",
    "        X...........X",
    "        X..........X",
    "         X.........X",
    "         X.........X",
    "         XXXXXXXXXXX",
};

CursorArt kOpenHand = {
    "",
    "",
    "",
    "",
    "             XX",
    "         XX X..XXX",
    "        X..XX..X..X",
    "        X..XX..X..X X",
    "         X..X..X..XX.X",
    "         X..X..X..X..X",
    "       XX X........X..X",
    "      X..XX...........X",
    "      X...X..........X",
    "       X.............X",
    "        X............X",
    "        X...........X",
    "         X..........X",
    "          X........X",
    "          X........X",
    "          XXXXXXXXXX",
};
// clang-format on

HCURSOR MakeCursor(CursorArt art, int hotX, int hotY) {
  BYTE andPlane[kSize * kRowBytes];
  BYTE xorPlane[kSize * kRowBytes];
  std::memset(andPlane, 0xFF, sizeof(andPlane));
  std::memset(xorPlane, 0x00, sizeof(xorPlane));
  for (int y = 0; y < kSize; ++y) {
    const char* row = art[y] ? art[y] : "";
    for (int x = 0; x < kSize && row[x]; ++x) {
      BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
      int at = y * kRowBytes + x / 8;
      if (row[x] == 'X' || row[x] == '.') andPlane[at] &= static_cast<BYTE>(~bit);
      if (row[x] == '.') xorPlane[at] |= bit;
    }
  }
  return CreateCursor(nullptr, hotX, hotY, kSize, kSize, andPlane, xorPlane);
}

}  // namespace

HCURSOR CreatePointingHandCursor() { return MakeCursor(kPointingHand, 11, 4); }

HCURSOR CreateOpenHandCursor() { return MakeCursor(kOpenHand, 15, 10); }

}  // namespace Velk
