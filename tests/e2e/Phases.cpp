// The scripts of the phases: what a player does, step by step, with the checks along the way.
#include "e2e/Phases.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "cafe/QCEngine3.h"
#include "common/Unicode.h"
#include "resources/PakInterface.h"

namespace E2e {

namespace {

// The game names its files with either separator.
size_t FileSize(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0 : static_cast<size_t>(size);
}

std::vector<std::wstring> ProfileNames(QCEngine3& game) {
  std::vector<QCProfile> profiles;
  game.mPref.ReadAllProfiles(profiles);
  std::vector<std::wstring> names;
  for (const QCProfile& profile : profiles) names.emplace_back(profile.mName);
  return names;
}

std::string Joined(const std::vector<std::wstring>& names) {
  std::string text;
  for (const std::wstring& name : names) text += (text.empty() ? "" : ",") + Velk::WideToUtf8(name);
  return text;
}

// Start-up as far as the first frame after loading: both archives from the program's folder, the
// loading thread finished and its screens handed over on the main thread, pref.dat in the data home.
void StartUp(Playthrough& play) {
  if (!play.Start()) play.Fail("start-up failed");
  QCEngine3& game = play.Game();
  play.Expect(game.GetPak()->GetArchives().size() == 2, "loc.pak and data.pak mounted beside the program");
  play.LoadResources();
  // An unchanged screen is presented again once a second.
  play.StepUntil([&game] { return game.mDrawCount > 0; }, 150, "the first frame");
  play.Log("pref " + std::to_string(FileSize(game.mPref.GetPath())) + " profiles " + Joined(ProfileNames(game)));
}

int Quit(Playthrough& play) {
  play.Close();
  return play.Finish();
}

// A first start from an empty home.
int NewPlayer(Playthrough& play) {
  StartUp(play);
  play.Expect(FileSize(play.Game().mPref.GetPath()) == 5240, "a fresh pref.dat of header and tables only");
  return Quit(play);
}

// A second start from the home the first one left.
int Restart(Playthrough& play) {
  StartUp(play);
  return Quit(play);
}

// Without data.pak the "Init" group cannot load: the game says so and ends the process itself.
int MissingData(Playthrough& play) {
  play.Start();
  play.Fail("the game went on without its data");
}

// Two profiles made as the main menu makes them.
int TwoProfiles(Playthrough& play) {
  StartUp(play);
  for (const wchar_t* name : {L"Ann", L"Bob"}) play.Game().mPref.CreateProfile(name, nullptr, nullptr);
  return Quit(play);
}

// One more profile over whatever the file holds.
int OneMoreProfile(Playthrough& play) {
  StartUp(play);
  play.Game().mPref.CreateProfile(L"Cid", nullptr, nullptr);
  play.Log("profiles now " + Joined(ProfileNames(play.Game())));
  return Quit(play);
}

// The same pictures from the headless run and from a real window; the parent compares them.
int ScreenPictures(Playthrough& play) {
  StartUp(play);
  // In a window the picture is shown 1:1, whatever the virtual screen's size.
  play.Game().SetWindowed(true);
  play.Step(2);
  play.KeepScreenPictures("first_frame");
  return Quit(play);
}

}  // namespace

int RunPhase(const std::string& name, PlaythroughOptions options) {
  static const std::map<std::string, std::function<int(Playthrough&)>> kPhases = {
      {"new_player", NewPlayer},       {"restart", Restart},
      {"missing_data", MissingData},   {"two_profiles", TwoProfiles},
      {"one_more_profile", OneMoreProfile}, {"screen_pictures", ScreenPictures},
  };
  const auto phase = kPhases.find(name);
  if (phase == kPhases.end()) return 2;
  options.expectMessageBox = name == "missing_data";
  Playthrough play(std::move(options));
  return phase->second(play);
}

}  // namespace E2e
