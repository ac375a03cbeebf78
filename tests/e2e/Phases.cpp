// The scripts of the phases: what a player does, step by step, with the checks along the way.
#include "e2e/Phases.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "cafe/QCBoard_Game3.h"
#include "cafe/QCEngine3.h"
#include "cafe/QCTutorial.h"
#include "engine/QCTexture.h"
#include "graphics/MemoryImage.h"
#include "platform/backend/Backend.h"
#include "platform/window/WinUser.h"
#include "engine/TextVars.h"
#include "screens/QBoard_Hud.h"
#include "screens/QCBoard_Briefing.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_LoadScreen.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCBoard_Splash.h"
#include "ui/QCList.h"
#include "ui/QCText.h"
#include "widgets/WidgetManager.h"
#include "common/Unicode.h"
#include "resources/PakInterface.h"
#include "raster/SpanFillerTable.h"

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

// A control by its path of names below a screen; a failure when one of them is missing.
QCCandyWidget* Control(Playthrough& play, QCCandyWidget* screen, std::initializer_list<const char*> path) {
  QCCandyWidget* widget = screen;
  std::string named;
  for (const char* name : path) {
    named += std::string(named.empty() ? "" : " > ") + name;
    widget = widget != nullptr ? widget->FindChild(name) : nullptr;
  }
  if (widget == nullptr) play.Fail("no control " + named);
  return widget;
}

// Up and fully shown: its fade in has run to its end (its show effect may go on holding it).
bool Settled(const QCCandyWidget* widget) {
  return widget != nullptr && widget->mVisible && !widget->mHiding && widget->mOpacity >= 1.0f;
}

std::string Text(const QCCandyWidget* widget) {
  const auto* text = dynamic_cast<const QCText*>(widget);
  return text != nullptr ? Velk::WideToUtf8(text->GetDisplayText()) : std::string();
}

// A probe of the centre of a picture control: what the picture's own pixels average there, in the
// image the game loaded, drawn from its source rectangle stretched over the control.
Probe PictureProbe(Playthrough& play, const std::string& what, QCCandyWidget* widget) {
  QCTexture* texture = widget->GetTexture(0, 0);
  Velk::Image* image = texture != nullptr && !texture->Frames().empty() ? texture->Frames().front().GetImage() : nullptr;
  auto* memory = dynamic_cast<Velk::MemoryImage*>(image);
  const uint32_t* bits = memory != nullptr ? memory->GetArgbBits() : nullptr;
  if (bits == nullptr) play.Fail("no pixels for the probe of " + what);
  Velk::Rect source = texture->GetSourceRect();
  if (source.mWidth <= 0 || source.mHeight <= 0) source = Velk::Rect(0, 0, memory->mWidth, memory->mHeight);
  const Frame picture{memory->mWidth, memory->mHeight, std::vector<uint32_t>(bits, bits + static_cast<size_t>(memory->mWidth) * memory->mHeight)};
  constexpr int kSide = 10;
  const int sx = source.mX + source.mWidth / 2 - kSide / 2 * source.mWidth / widget->mWidth;
  const int sy = source.mY + source.mHeight / 2 - kSide / 2 * source.mHeight / widget->mHeight;
  const uint32_t expected = picture.Average(sx, sy, std::max(1, kSide * source.mWidth / widget->mWidth),
                                            std::max(1, kSide * source.mHeight / widget->mHeight));
  const POINT at = widget->AbsolutePos();
  return Probe{what, at.x + widget->mWidth / 2 - kSide / 2, at.y + widget->mHeight / 2 - kSide / 2, kSide, kSide, expected};
}

// After loading the splash is the topmost screen, the menu backdrop the lowest, and the splash's
// first picture comes up; that picture.
QCCandyWidget* SplashUp(Playthrough& play) {
  QCEngine3& game = play.Game();
  const auto& stack = game.mWidgetManager->mWidgets;
  play.Expect(game.mSplash != nullptr && !game.mSplash->mPictures.empty(), "a splash with pictures");
  play.Expect(stack.back() == game.mScreens[QCEngine3::kSplashScreen], "the splash stacked on top of every screen");
  const auto backdrop = std::find(stack.begin(), stack.end(), game.mScreens[QCEngine3::kMenuScreen]);
  play.Expect(backdrop != stack.end() &&
                  std::none_of(stack.begin(), backdrop, [&](Velk::Widget* w) {
                    return std::find(game.mScreens.begin(), game.mScreens.end(), w) != game.mScreens.end();
                  }),
              "the menu backdrop below every other screen");
  QCCandyWidget* first = game.mSplash->mPictures.front();
  play.StepUntil([&] { return Settled(first); }, 500, "the splash's first picture");
  return first;
}

// The pictures go by; the menu opens on a first start with the name dialog.
QCBoard_MainMenu& NameDialogUp(Playthrough& play) {
  QCEngine3& game = play.Game();
  QCBoard_MainMenu& menu = *game.mMainMenu;
  play.StepUntil([&] { return !game.mSplash->mVisible; }, 3000, "the end of the splash pictures");
  play.StepUntil([&] { return Settled(menu.mCreateProfile) && Settled(menu.mMainDlg); }, 500, "the name dialog");
  return menu;
}

// Checkpoint splash.
void Splash(Playthrough& play) {
  QCCandyWidget* first = SplashUp(play);
  play.Checkpoint("splash", {PictureProbe(play, "the centre of the first splash picture", first)});
}

// Checkpoint name_dialog: Escape cannot close the first name dialog; "Ann" and Enter make the
// first profile.
void FirstName(Playthrough& play) {
  QCBoard_MainMenu& menu = NameDialogUp(play);
  play.Checkpoint("name_dialog");
  play.PressKey(VK_ESCAPE);
  play.Step(50);
  play.Expect(menu.mCreateProfile->mVisible, "Escape leaves the first name dialog open");
  play.Type("Ann");
  play.PressKey(VK_RETURN);
  play.StepUntil([&] { return !menu.mCreateProfile->mVisible; }, 200, "the name dialog closing");
  QCEngine3& game = play.Game();
  play.Expect(FileSize(game.mPref.GetPath()) == 5240 + 912, "pref.dat holds one profile");
  play.Expect(Joined(ProfileNames(game)) == "Ann", "the profile is Ann's");
}

// The menu after the splash, on a start with a profile.
QCBoard_MainMenu& MenuAfterSplash(Playthrough& play) {
  QCEngine3& game = play.Game();
  play.StepUntil([&] { return !game.mSplash->mVisible; }, 3000, "the end of the splash pictures");
  QCBoard_MainMenu& menu = *game.mMainMenu;
  play.StepUntil([&] { return Settled(menu.mMainDlg); }, 500, "the main menu");
  return menu;
}

// Checkpoint career_book: "Career" turns the page to the book, where day 1 is today.
void CareerBook(Playthrough& play) {
  QCEngine3& game = play.Game();
  play.ClickWidget(game.mMainMenu->mCareer, "main_menu > right_page > career");
  play.StepUntil([&] { return Settled(game.mCareer) && !game.mMainMenu->mVisible; }, 300, "the career book");
  play.Step(30);
  play.Expect(game.mCareer->mSelectedSlot == 1, "day 1 is today's page in the book");
  play.Checkpoint("career_book");
}

// Checkpoint comic: "Play" opens the day's comic pages; "Next" through them to the load screen.
void Comic(Playthrough& play) {
  QCEngine3& game = play.Game();
  QCBoard_Career& career = *game.mCareer;
  play.ClickWidget(career.mPlay, "career_menu > career_dlg > right_page > play_button");
  play.StepUntil([&] { return Settled(career.mComix); }, 300, "the comic");
  play.Step(100);
  play.Checkpoint("comic");
  // Each page slides in; "Next" takes effect once it is still.
  std::string pages = std::to_string(career.mComicIndex);
  for (int click = 0; click < 6 && career.mComix->mVisible; ++click) {
    play.Step(100);
    const int before = career.mComicIndex;
    play.ClickWidget(career.mComixNext, "comix > next_button");
    play.StepUntil([&] { return career.mComicIndex != before || !career.mComix->mVisible; }, 200, "the next comic page");
    if (career.mComix->mVisible) pages += "," + std::to_string(career.mComicIndex);
  }
  play.Expect(!career.mComix->mVisible, "the comic closed after its pages");
  play.Log("comic pages " + pages);
}

// Checkpoint briefing: the load screen while day 1 loads, then the briefing with the day's goals.
void Briefing(Playthrough& play) {
  QCEngine3& game = play.Game();
  play.StepUntil([&] { return game.mBoard->IsLevelLoading(); }, 300, "day 1 starting to load");
  play.Expect(game.mLoadScreen != nullptr && game.mLoadScreen->mVisible, "the load screen while day 1 loads");
  play.WaitFor([&] { return game.mLoadingThreadCompleted.load(); }, "day 1 loading on the level thread");
  play.StepUntil([&] { return !game.mBoard->IsLevelLoading(); }, 100, "the hand-over of day 1");
  play.Expect(!game.mLoadScreen->mVisible, "the load screen gone at the hand-over");
  play.StepUntil([&] { return game.mBoard->mBriefing != nullptr && Settled(game.mBoard->mBriefing); }, 500, "the briefing");
  play.Step(30);
  play.Checkpoint("briefing");
  play.Expect(Text(game.mBoard->mBriefing->mGoalLabel) == "Goal: $80", "the briefing's goal");
  play.Expect(Text(game.mBoard->mBriefing->mExpertLabel) == "Expert: $120", "the briefing's expert goal");
}

// Checkpoint tutorial_1: "Start" closes the briefing and day 1 runs; the first guest comes and the
// tutorial's first note shows, with no money yet.
void FirstNote(Playthrough& play) {
  QCEngine3& game = play.Game();
  play.ClickWidget(game.mBoard->mBriefing->mStart, "briefing_dialog > start");
  play.StepUntil([&] { return !game.mBoard->mBriefing->mVisible; }, 300, "the briefing closing");
  play.Expect(game.mBoard->mRunning && game.mBoard->mVisible, "day 1 running");
  QBoard_Hud& hud = *game.mBoard->mHud;
  auto note = [&]() -> QCCandyWidget* {
    const auto it = hud.mTutorialControls.find(1);
    return it != hud.mTutorialControls.end() ? it->second : nullptr;
  };
  play.StepUntil([&] { return Settled(note()); }, 1000, "the first tutorial note");
  play.Step(30);
  play.Checkpoint("tutorial_1");
  play.Log("note " + Text(Control(play, note(), {"text"})));
  play.Expect(game.GetTextVars()->GetTextVar("money") == L"0", "no money yet");
}

// Phase 1: a first start from an empty home.
int NewPlayer(Playthrough& play) {
  StartUp(play);
  play.Expect(FileSize(play.Game().mPref.GetPath()) == 5240, "a fresh pref.dat of header and tables only");
  Splash(play);
  FirstName(play);
  CareerBook(play);
  Comic(play);
  Briefing(play);
  FirstNote(play);
  return Quit(play);
}

// Phase 2: a second start from the home the first one left greets its player.
int Restart(Playthrough& play) {
  StartUp(play);
  QCBoard_MainMenu& menu = MenuAfterSplash(play);
  play.Step(10);
  play.Expect(!menu.mCreateProfile->mVisible, "no name dialog once a profile exists");
  play.Log("greeting " + Text(Control(play, menu.mMainDlg, {"left_page", "who"})));
  play.Log("profile rows " + std::to_string(menu.mList->GetLines().size()));
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

// A start over a pref.dat without profiles asks for a name.
int AsksForName(Playthrough& play) {
  StartUp(play);
  NameDialogUp(play);
  play.Log("asks for a name");
  return Quit(play);
}

// Day 1 starts loading on the level thread; the window is closed before the hand-over.
int CloseWhileLoading(Playthrough& play) {
  StartUp(play);
  QCEngine3& game = play.Game();
  play.Expect(game.mBoard != nullptr, "a gameplay board");
  game.mBoard->StartLevelLoading(1, 0);
  play.Expect(game.mBoard->IsLevelLoading(), "day 1 loading");
  play.Log("loading day 1");
  return Quit(play);
}

// The first profile is made and the process is stopped by the parent while it saves.
int MakeAnn(Playthrough& play) {
  StartUp(play);
  NameDialogUp(play);
  play.Type("Ann");
  play.PressKey(VK_RETURN);
  play.Log("ann made");
  play.Step(100);
  return Quit(play);
}

// The memory road, as after a player turned the 3-D road off: the span fillers are there from
// start-up on, so the menu and the name dialog show their pictures.
int MemoryRoad(Playthrough& play) {
  play.Expect(!Velk::SpanFillerTable::Process().IsReady(), "no span fillers before start-up");
  StartUp(play);
  play.Expect(!play.Game().Is3DModeOn(), "the memory road");
  play.Expect(Velk::SpanFillerTable::Process().IsReady(), "the span fillers filled at start-up");
  NameDialogUp(play);
  play.Checkpoint("memory_name_dialog");
  return Quit(play);
}

// The same pictures from the headless run and from a real window; the parent compares them.
int ScreenPictures(Playthrough& play) {
  StartUp(play);
  // A real window shows the picture 1:1, whatever the virtual screen's size; headless the game
  // stays full screen, where the presented frame is the screen.
  if (std::string(Velk::Backend::Get().Name()) != "headless") play.Game().SetWindowed(true);
  SplashUp(play);
  play.KeepScreenPictures("splash");
  // The game's cursor shows over the menus: it is put where the headless run has it.
  play.MoveMouse(700, 550);
  NameDialogUp(play);
  play.KeepScreenPictures("name_dialog");
  return Quit(play);
}

}  // namespace

int RunPhase(const std::string& name, PlaythroughOptions options) {
  static const std::map<std::string, std::function<int(Playthrough&)>> kPhases = {
      {"new_player", NewPlayer},       {"restart", Restart},
      {"missing_data", MissingData},   {"two_profiles", TwoProfiles},
      {"one_more_profile", OneMoreProfile}, {"screen_pictures", ScreenPictures},
      {"asks_for_name", AsksForName},     {"close_while_loading", CloseWhileLoading},
      {"make_ann", MakeAnn},             {"memory_road", MemoryRoad},
      {"damaged_pref", AsksForName},
  };
  const auto phase = kPhases.find(name);
  if (phase == kPhases.end()) return 2;
  options.expectMessageBox = name == "missing_data" || name == "damaged_pref";
  Playthrough play(std::move(options));
  return phase->second(play);
}

}  // namespace E2e
