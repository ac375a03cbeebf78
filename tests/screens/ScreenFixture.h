#pragma once
// The screens' test world: the headless game of the UI tests with the cafe's application on a
// private pref.dat, a gameplay board that records what the screens ask of it, and a cfg\ui.xml of
// every screen made from a few building blocks.
#include <functional>
#include <string>
#include <vector>

#include "ScreenGame.h"
#include "platform/ScopedEnv.h"
#include "platform/ScratchFolder.h"
#include "RecordingBoard.h"
#include "ui/UiHarness.h"

// The folder of pref.dat, set before the application makes its store.
struct PrefHome {
  PrefHome() : data("XDG_DATA_HOME", (scratch / "share").c_str()) {}
  ScratchFolder scratch;
  ScopedEnv data;
};

namespace UiText {
// `<element type=...>` with the attributes and children given.
std::string Element(const std::string& type, const std::string& name, const std::string& attrs,
                    const std::string& children = "");
std::string Dialog(const std::string& name, const std::string& attrs, const std::string& children = "");
std::string Button(const std::string& name, int x, int y, bool visible = true);
std::string Label(const std::string& name, int x, int y, const std::string& children = "");
// A 732 x 565 double page with its two halves.
std::string Page(const std::string& name, const std::string& left, const std::string& right, bool visible);
// The turning leaves and the cover of a book screen.
std::string Leaves();
// The career book and the survival selection (made in the career tests' fixture).
std::string CareerMenu();
std::string SurvivalMenu();
// The in-game screens: "hud", "briefing_dialog" and "upgrade_menu" with `trays` trays.
std::string InGameScreens(int trays = 4);
// Every screen of the game; `extra` goes into the root as well.
std::string Screens(const std::string& extra = "");
}  // namespace UiText

class ScreenTest : private PrefHome, public UiHarness {
 protected:
  ScreenTest();
  ~ScreenTest() override;

  ScreenGame& Game() { return *static_cast<ScreenGame*>(engine.get()); }
  // Makes the screens from the description as the loading thread does and finishes the loading as
  // the main thread does (the splash, then the menus).
  void StartScreens(const std::string& uiXml = UiText::Screens());
  // A board in the widget manager, playing a level when `running`.
  RecordingBoard* AddBoard(bool running);
  // A button's release, reported to the dialog it sits in as a click would.
  void Release(QCCandyWidget* button);
  // The names of the profiles in pref.dat, in file order.
  std::vector<std::wstring> StoredProfiles();
  // The volumes set on the channel groups since the last call: {group, volume}.
  std::vector<std::pair<int, int>> TakeVolumes();
  // The effects that received "onshiftright" and "onshiftleft", in order.
  static std::vector<std::pair<std::string, void*>>& ShiftMessages();

  RecordingBoard* board = nullptr;
};
