#pragma once
// What the widget fuzzer does with one input, shared with the replay of the inputs it kept: the
// bytes as a dialog element, built, updated, drawn, clicked, dragged and typed at, then removed.
#include <string>

#include "UiTestWorld.h"

namespace widget_fuzz {

inline void Run(UiTestWorld& world, const std::string& xml) {
  QCDialog* dialog = world.Build(xml);
  world.Update(20);
  world.Draw();
  for (int y = 5; y < 600; y += 40) {
    for (int x = 5; x < 800; x += 60) world.Click(x, y, (x + y) % 7 == 0 ? 2 : 1);
  }
  world.Press(30, 150);
  world.MoveTo(200, 150);
  world.MoveTo(-20, 700);
  world.Release(-20, 700);
  for (int key : {36, 39, 39, 37, 35, 8, 46, 13, 27, 90}) world.KeyDown(key);
  world.Type(L"Ab \u0416~");
  world.Hold(16, true);
  world.KeyDown(37);
  world.Hold(16, false);
  world.Hold(17, true);
  for (wchar_t ch : {L'\x03', L'\x18', L'\x16', L'\x1a', L'\x1a'}) world.Char(ch);
  world.Hold(17, false);
  world.Update(3);
  world.Draw();
  world.Manager()->RemoveChild(dialog);
  delete dialog;
}

}  // namespace widget_fuzz
