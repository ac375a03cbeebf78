#include "platform/sdl/SdlKeyMap.h"

#include "platform/window/WinUser.h"

#include <SDL.h>

#include <unordered_map>

namespace Velk {

UINT VirtualKeyFromSdl(int32_t keycode) {
  if (keycode >= SDLK_a && keycode <= SDLK_z) return static_cast<UINT>('A' + (keycode - SDLK_a));
  if (keycode >= SDLK_0 && keycode <= SDLK_9) return static_cast<UINT>('0' + (keycode - SDLK_0));
  if (keycode >= SDLK_F1 && keycode <= SDLK_F12) return VK_F1 + static_cast<UINT>(keycode - SDLK_F1);
  if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9) return VK_NUMPAD0 + 1 + static_cast<UINT>(keycode - SDLK_KP_1);
  static const std::unordered_map<int32_t, UINT> kKeys = {
      {SDLK_BACKSPACE, VK_BACK},
      {SDLK_TAB, VK_TAB},
      {SDLK_RETURN, VK_RETURN},
      {SDLK_KP_ENTER, VK_RETURN},
      {SDLK_LSHIFT, VK_SHIFT},
      {SDLK_RSHIFT, VK_SHIFT},
      {SDLK_LCTRL, VK_CONTROL},
      {SDLK_RCTRL, VK_CONTROL},
      {SDLK_LALT, VK_MENU},
      {SDLK_RALT, VK_MENU},
      {SDLK_PAUSE, VK_PAUSE},
      {SDLK_CAPSLOCK, VK_CAPITAL},
      {SDLK_ESCAPE, VK_ESCAPE},
      {SDLK_SPACE, VK_SPACE},
      {SDLK_PAGEUP, VK_PRIOR},
      {SDLK_PAGEDOWN, VK_NEXT},
      {SDLK_END, VK_END},
      {SDLK_HOME, VK_HOME},
      {SDLK_LEFT, VK_LEFT},
      {SDLK_UP, VK_UP},
      {SDLK_RIGHT, VK_RIGHT},
      {SDLK_DOWN, VK_DOWN},
      {SDLK_PRINTSCREEN, VK_SNAPSHOT},
      {SDLK_INSERT, VK_INSERT},
      {SDLK_DELETE, VK_DELETE},
      {SDLK_KP_0, VK_NUMPAD0},
      {SDLK_KP_MULTIPLY, VK_MULTIPLY},
      {SDLK_KP_PLUS, VK_ADD},
      {SDLK_KP_MINUS, VK_SUBTRACT},
      {SDLK_KP_PERIOD, VK_DECIMAL},
      {SDLK_KP_DIVIDE, VK_DIVIDE},
      {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},
      {SDLK_SCROLLLOCK, VK_SCROLL},
      {SDLK_SEMICOLON, VK_OEM_1},
      {SDLK_EQUALS, VK_OEM_PLUS},
      {SDLK_COMMA, VK_OEM_COMMA},
      {SDLK_MINUS, VK_OEM_MINUS},
      {SDLK_PERIOD, VK_OEM_PERIOD},
      {SDLK_SLASH, VK_OEM_2},
      {SDLK_BACKQUOTE, VK_OEM_3},
      {SDLK_LEFTBRACKET, VK_OEM_4},
      {SDLK_BACKSLASH, VK_OEM_5},
      {SDLK_RIGHTBRACKET, VK_OEM_6},
      {SDLK_QUOTE, VK_OEM_7},
  };
  auto it = kKeys.find(keycode);
  return it == kKeys.end() ? 0 : it->second;
}

}  // namespace Velk
