// The scripts of the phases: what a player does, step by step, with the checks along the way.
#include "e2e/Phases.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <thread>

#include "cafe/CafeConfigs.h"
#include "cafe/QCBoard_Game3.h"
#include "cafe/QCEngine3.h"
#include "cafe/QCTutorial.h"
#include "e2e/BookPaper.h"
#include "e2e/LevelPlayer.h"
#include "engine/QCCursorManager.h"
#include "engine/QCTexture.h"
#include "graphics/MemoryImage.h"
#include "platform/backend/Backend.h"
#include "platform/files/AtomicFile.h"
#include "platform/window/WinUser.h"
#include "engine/TextVars.h"
#include "screens/QBoard_Hud.h"
#include "screens/ConfirmDialogs.h"
#include "screens/QCBoard_Briefing.h"
#include "screens/QCBoard_Confirm2.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "screens/QCBoard_Help.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_LoadScreen.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCBoard_Menu.h"
#include "screens/QCBoard_Options.h"
#include "screens/QCBoard_Splash.h"
#include "screens/QCBoard_Survival.h"
#include "screens/QCBoard_HiScores.h"
#include "ui/QCCheckBox.h"
#include "ui/QCList.h"
#include "ui/QCText.h"
#include "widgets/WidgetManager.h"
#include "common/Unicode.h"
#include "resources/PakInterface.h"
#include "raster/SpanFillerTable.h"
#include "scene/QCPickItem.h"
#include "support/ScreenTargets.h"

namespace E2e {

namespace {

// Bounds in updates of 10 ms of game time: a career day, a survival shift.
constexpr int kDayUpdates = 60000;
constexpr int kShiftUpdates = 60000;
// Updates a screen is given to come to rest (slides and fades end) before a checkpoint looks at it.
constexpr int kLookDelayUpdates = 60;
// The policy serves at least the first minute of the survival shift.
constexpr float kServedSeconds = 60.0f;
// A write goes out in pieces of this size while a probe watches it.
constexpr size_t kProbePiece = 4096;

// The game names its files with either separator.
std::string DiskPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

size_t FileSize(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(DiskPath(path), error);
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
  play.Log(game.Is3DModeOn() ? "road 3-D" : "road memory");
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

// A probe of the centre of a control drawn from the texture: what the picture's own pixels average
// there, in the image the game loaded, drawn from its source rectangle stretched over the control.
Probe TextureProbe(Playthrough& play, const std::string& what, QCCandyWidget* widget, QCTexture* texture) {
  Velk::Image* image =
      texture != nullptr && !texture->Frames().empty() ? texture->Frames().front().GetImage() : nullptr;
  auto* memory = dynamic_cast<Velk::MemoryImage*>(image);
  const uint32_t* bits = memory != nullptr ? memory->GetArgbBits() : nullptr;
  if (bits == nullptr) play.Fail("no pixels for the probe of " + what);
  Velk::Rect source = texture->GetSourceRect();
  if (source.mWidth <= 0 || source.mHeight <= 0) source = Velk::Rect(0, 0, memory->mWidth, memory->mHeight);
  const Frame picture{memory->mWidth, memory->mHeight,
                      std::vector<uint32_t>(bits, bits + static_cast<size_t>(memory->mWidth) * memory->mHeight)};
  constexpr int kSide = 10;
  const int sx = source.mX + source.mWidth / 2 - kSide / 2 * source.mWidth / widget->mWidth;
  const int sy = source.mY + source.mHeight / 2 - kSide / 2 * source.mHeight / widget->mHeight;
  const uint32_t expected = picture.Average(sx, sy, std::max(1, kSide * source.mWidth / widget->mWidth),
                                            std::max(1, kSide * source.mHeight / widget->mHeight));
  const POINT at = widget->AbsolutePos();
  return Probe{what,    at.x + widget->mWidth / 2 - kSide / 2, at.y + widget->mHeight / 2 - kSide / 2, kSide, kSide,
               expected};
}

// A picture control's probe: its first normal texture.
Probe PictureProbe(Playthrough& play, const std::string& what, QCCandyWidget* widget) {
  return TextureProbe(play, what, widget, widget->GetTexture(0, 0));
}

// After loading the splash is the topmost screen, the menu backdrop the lowest, and the splash's
// first picture comes up; that picture.
QCCandyWidget* SplashUp(Playthrough& play) {
  QCEngine3& game = play.Game();
  const auto& stack = game.mWidgetManager->mWidgets;
  play.Expect(game.mSplash != nullptr && !game.mSplash->mPictures.empty(), "a splash with pictures");
  play.Expect(stack.back() == game.mScreens[QCEngine3::kSplashScreen], "the splash stacked on top of every screen");
  const auto backdrop = std::find(stack.begin(), stack.end(), game.mScreens[QCEngine3::kMenuScreen]);
  play.Expect(backdrop != stack.end() && std::none_of(stack.begin(), backdrop,
                                                      [&](Velk::Widget* w) {
                                                        return std::find(game.mScreens.begin(), game.mScreens.end(),
                                                                         w) != game.mScreens.end();
                                                      }),
              "the menu backdrop below every other screen");
  QCCandyWidget* first = game.mSplash->mPictures.front();
  play.StepUntil([&] { return Settled(first); }, 500, "the splash's first picture");
  return first;
}

// The pictures go by; the menu opens on a first start with the name dialog alone.
QCBoard_MainMenu& NameDialogUp(Playthrough& play) {
  QCEngine3& game = play.Game();
  QCBoard_MainMenu& menu = *game.mMainMenu;
  play.StepUntil([&] { return !game.mSplash->mVisible; }, 3000, "the end of the splash pictures");
  play.StepUntil([&] { return Settled(menu.mCreateProfile); }, 500, "the name dialog");
  play.Expect(!menu.mMainDlg->IsVisibleInTree(), "no main page behind the first name dialog");
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

// "Career" turns the page to the book.
void OpenCareerBook(Playthrough& play) {
  QCEngine3& game = play.Game();
  play.ClickWidget(game.mMainMenu->mCareer, "main_menu > right_page > career");
  play.StepUntil([&] { return Settled(game.mCareer) && !game.mMainMenu->mVisible; }, 300, "the career book");
  play.Step(30);
}

// Checkpoint career_book: the book opens where day 1 is today.
void CareerBook(Playthrough& play) {
  QCEngine3& game = play.Game();
  OpenCareerBook(play);
  play.Expect(game.mCareer->mSelectedSlot == 1, "day 1 is today's page in the book");
  play.Checkpoint("career_book");
}

// "Play" in the career book opens the day's comic.
QCBoard_Career& OpenComic(Playthrough& play) {
  QCBoard_Career& career = *play.Game().mCareer;
  play.ClickWidget(career.mPlay, "career_menu > career_dlg > right_page > play_button");
  play.StepUntil([&] { return Settled(career.mComix); }, 300, "the comic");
  play.Step(100);
  return career;
}

// "Next" through the comic's pages to the load screen.
void TurnComicPages(Playthrough& play, QCBoard_Career& career) {
  // Each page slides in; "Next" takes effect once it is still.
  std::string pages = std::to_string(career.mComicIndex);
  for (int click = 0; click < 6 && career.mComix->mVisible; ++click) {
    play.Step(100);
    const int before = career.mComicIndex;
    play.ClickWidget(career.mComixNext, "comix > next_button");
    play.StepUntil([&] { return career.mComicIndex != before || !career.mComix->mVisible; }, 200,
                   "the next comic page");
    if (career.mComix->mVisible) pages += "," + std::to_string(career.mComicIndex);
  }
  play.Expect(!career.mComix->mVisible, "the comic closed after its pages");
  play.Log("comic pages " + pages);
}

// Checkpoint comic: "Play" opens the day's comic pages; "Next" through them to the load screen.
void Comic(Playthrough& play) {
  QCBoard_Career& career = OpenComic(play);
  play.Checkpoint("comic");
  TurnComicPages(play, career);
}

// Checkpoint briefing: the load screen while day 1 loads, then the briefing with the day's goals.
// The run's level load number `load`: the load screen while it loads (a real window may hand the
// level over within the step that started the load), then the level's briefing, settled.
void LevelLoads(Playthrough& play, const std::string& level, int load) {
  QCEngine3& game = play.Game();
  play.StepUntil([&] { return play.LevelLoadsStarted() >= load; }, 300, level + " starting to load");
  if (play.LevelHandOvers() < load) {
    play.Expect(game.mLoadScreen != nullptr && game.mLoadScreen->mVisible, "the load screen while " + level + " loads");
  }
  play.WaitFor([&] { return game.mLoadingThreadCompleted.load(); }, level + " loading on the level thread");
  play.StepUntil([&] { return play.LevelHandOvers() >= load; }, 100, "the hand-over of " + level);
  play.Expect(!game.mLoadScreen->mVisible, "the load screen gone at the hand-over");
  play.StepUntil([&] { return game.mBoard->mBriefing != nullptr && Settled(game.mBoard->mBriefing); }, 500,
                 "the briefing");
  play.Step(30);
}

void Briefing(Playthrough& play) {
  QCEngine3& game = play.Game();
  LevelLoads(play, "day 1", 1);
  play.Checkpoint("briefing");
  play.Expect(Text(game.mBoard->mBriefing->mGoalLabel) == "Goal: $80", "the briefing's goal");
  play.Expect(Text(game.mBoard->mBriefing->mExpertLabel) == "Expert: $120", "the briefing's expert goal");
}

// "Start" closes the briefing and the level runs.
void StartPlay(Playthrough& play, const std::string& level) {
  QCEngine3& game = play.Game();
  play.ClickWidget(game.mBoard->mBriefing->mStart, "briefing_dialog > start");
  play.StepUntil([&] { return !game.mBoard->mBriefing->mVisible; }, 300, "the briefing closing");
  play.Expect(game.mBoard->mRunning && game.mBoard->mVisible, level + " running");
}

// The HUD's tutorial note with the number, null until the HUD has it.
QCCandyWidget* Note(QBoard_Hud& hud, int number) {
  const auto it = hud.mTutorialControls.find(number);
  return it != hud.mTutorialControls.end() ? it->second : nullptr;
}

// Checkpoint tutorial_1: "Start" closes the briefing and day 1 runs; the first guest comes and the
// tutorial's first note shows, with no money yet.
void FirstNote(Playthrough& play) {
  QCEngine3& game = play.Game();
  StartPlay(play, "day 1");
  QBoard_Hud& hud = *game.mBoard->mHud;
  auto note = [&] { return Note(hud, 1); };
  play.StepUntil([&] { return Settled(note()); }, 1000, "the first tutorial note");
  play.Step(30);
  play.Checkpoint("tutorial_1");
  play.Log("note " + Text(Control(play, note(), {"text"})));
  play.Expect(game.GetTextVars()->GetTextVar("money") == L"0", "no money yet");
}

// A first start from an empty home, up to day 1's first note.
void ToFirstNote(Playthrough& play) {
  StartUp(play);
  play.Expect(FileSize(play.Game().mPref.GetPath()) == 5240, "a fresh pref.dat of header and tables only");
  Splash(play);
  FirstName(play);
  CareerBook(play);
  Comic(play);
  Briefing(play);
  FirstNote(play);
}

// Day 1 played on from its first note by the serving policy's clicks: its notes to the end of the
// script, then the remaining guests; the day is won once it ends with the goal reached. With the
// notes left to the script, it looks at the screens a new player meets on the way: checkpoint
// dirty_table at the note that asks to clean the baker's table, demonstration once the script's
// own moves are under way beside the guests' bubbles, and closing_time with the closed sign up.
// Looking clicks nothing: the day plays as it would unwatched.
void PlayDayOne(Playthrough& play, bool clickNotesAway) {
  QCBoard_Game3& board = *play.Game().mBoard;
  QBoard_Hud& hud = *board.mHud;
  LevelPlayer player(play, clickNotesAway);
  const auto lookAt = [&](const std::string& checkpoint, const std::function<bool()>& shown) {
    if (clickNotesAway) return;
    player.PlayUntil(shown, kDayUpdates, "the screen of checkpoint " + checkpoint);
    int updates = 0;
    player.PlayUntil([&] { return ++updates > kLookDelayUpdates; }, kLookDelayUpdates + 1, checkpoint + " settling");
    play.Checkpoint(checkpoint);
  };
  lookAt("dirty_table", [&] { return Settled(Note(hud, 12)); });
  lookAt("demonstration", [&] { return Settled(hud.mTutorBg); });
  player.PlayUntil([&] { return !board.mTutorial->IsRunning(); }, kDayUpdates, "the end of day 1's notes");
  play.Log("tutorial over");
  lookAt("closing_time", [&] { return Settled(hud.mClosed) || board.mEnded; });
  player.PlayUntil([&] { return board.mEnded; }, kDayUpdates, "the end of day 1");
  play.Expect(board.mGoalReached, "day 1 won");
}

// The level end: the board hands the day to the career book, which opens on it and counts the
// money up from 0 to the day's money and badges; the day carries its mark and the next is today.
void DayEnds(Playthrough& play, int day) {
  QCEngine3& game = play.Game();
  QCBoard_Career& career = *game.mCareer;
  const std::string named = "day " + std::to_string(day);
  play.StepUntil([&] { return career.mVisible && career.mCounting; }, 500, "the career book after " + named);
  int shown = 0;
  bool rising = true;
  while (career.mCounting) {
    play.Step();
    // Until the count has begun "score" holds the day's best, published as the page opened.
    if (career.mCountTime <= 0.0f) continue;
    const int now = std::stoi("0" + Velk::WideToUtf8(game.GetTextVars()->GetTextVar("score")));
    rising = rising && now >= shown;
    shown = now;
  }
  play.Expect(rising && shown == career.mCountedMoney && career.mCountedMoney >= game.mBoard->mMoney,
              "the money counted up to " + named + "'s");
  play.Log(named + " money " + std::to_string(game.mBoard->mMoney) + " counted " + std::to_string(shown));
  const int today = game.mPref.GetProfile()->mCurrentDay;
  play.Expect(today == day + 1, "day " + std::to_string(day + 1) + " is today");
  const int slot = day - career.mOffset - 1;
  play.Expect(career.mPage.goalMarks[slot]->mVisible || career.mPage.expertMarks[slot]->mVisible,
              named + " carries its mark");
}

// Nothing of the books shows while a day runs: neither the book the day was started from nor the
// main menu that lay behind it (the board does not cover the whole screen). A dialog of the day's
// own with paper of its own is left out.
void NoBookIn(Playthrough& play, const Frame& frame, const BookPaper& paper, const std::string& when,
              QCCandyWidget* dialog = nullptr) {
  std::optional<ScreenRect> leftOut;
  if (dialog != nullptr) {
    const POINT at = dialog->AbsolutePos();
    leftOut = ScreenRect{at.x, at.y, dialog->mWidth, dialog->mHeight};
  }
  const int runs = paper.Runs(frame, leftOut);
  if (runs > 0) play.Fail(std::to_string(runs) + " runs of the book's paper on the screen " + when);
  play.Log("no book " + when);
}

void NoBookAround(Playthrough& play, const BookPaper& paper, const std::string& when, QCCandyWidget* dialog = nullptr) {
  NoBookIn(play, play.ShownFrame(when), paper, when, dialog);
}

// The menu backdrop's star twinkles at a new place of the screen each time, the wood that a day
// leaves showing beside its token tray among them. Put there while fully in, it must not show: the
// wood under it looks as the wood beside it does.
void NoMenuStar(Playthrough& play, LevelPlayer& player, const std::string& when) {
  constexpr ScreenRect kOnTheWood{16, 540, 32, 32};
  constexpr ScreenRect kWoodBeside{64, 540, 32, 32};
  constexpr int kWoodTolerance = 8;
  QCCandyWidget* star = Control(play, play.Game().mMenu, {"sparkle"});
  // Fully in, it stays where it is for a third of its twinkle.
  player.PlayUntil([&] { return star->mOpacity >= 1.0f; }, 200, "the menu star fully in " + when);
  star->mOffset = {kOnTheWood.x, kOnTheWood.y};
  // The move is taken up by the next update and drawn with the frame after.
  const DWORD draws = play.Game().mDrawCount;
  player.PlayUntil([&] { return play.Game().mDrawCount >= draws + 2; }, 20, "frames with the menu star moved " + when);
  const Frame frame = play.ShownFrame("the menu star " + when);
  const uint32_t under = frame.Average(kOnTheWood.x, kOnTheWood.y, kOnTheWood.width, kOnTheWood.height);
  const uint32_t beside = frame.Average(kWoodBeside.x, kWoodBeside.y, kWoodBeside.width, kWoodBeside.height);
  if (Frame::ChannelDistance(under, beside) > kWoodTolerance) {
    play.Fail("the menu's star shows beside the token tray " + when);
  }
  play.Log("no menu star " + when);
}

// "Next" in the book starts the next day: its briefing, then the policy plays it to its end; no
// page of a book shows around the briefing or at the day's first second, half minute and minute,
// nor the menu's star.
void NextDay(Playthrough& play, int day) {
  QCEngine3& game = play.Game();
  QCBoard_Career& career = *game.mCareer;
  play.StepUntil([&] { return Settled(career.mNext) && !career.mNext->mDisabled; }, 500, "the next button");
  // The check must see a book where one shows.
  const Frame book = play.ShownFrame("the book");
  const BookPaper paper(book);
  play.Expect(paper.Runs(book) > 0, "the book's paper seen in the book");
  const int loads = play.LevelLoadsStarted();
  play.ClickWidget(career.mNext, "career_menu > career_dlg > right_page > next_button");
  const std::string named = "day " + std::to_string(day);
  LevelLoads(play, named, loads + 1);
  QCBoard_Game3& board = *game.mBoard;
  NoBookAround(play, paper, "around the briefing", board.mBriefing);
  StartPlay(play, named);
  LevelPlayer player(play, false);
  for (const int second : {1, 30, 60}) {
    player.PlayUntil([&] { return board.mPlayTime >= static_cast<float>(second) || board.mEnded; }, kDayUpdates,
                     "second " + std::to_string(second) + " of " + named);
    if (!board.mEnded) NoBookAround(play, paper, "at second " + std::to_string(second) + " of " + named);
  }
  if (!board.mEnded) NoMenuStar(play, player, "after a minute of " + named);
  player.PlayUntil([&] { return board.mEnded; }, kDayUpdates, "the end of " + named);
  play.Expect(board.mGoalReached, named + " won");
}

// The book's back button turns to the main menu, once the page that brought the book up lies still.
void BackToMainMenu(Playthrough& play, QCCandyWidget* back, const std::string& name) {
  QCEngine3& game = play.Game();
  play.StepUntil([&] { return !game.mMainMenu->mFlipping; }, 300, "the page turn to the book");
  play.ClickWidget(back, name);
  play.StepUntil(
      [&] { return Settled(game.mMainMenu->mMainDlg) && game.mMainMenu->mVisible && !game.mMainMenu->mFlipping; }, 500,
      "the main menu");
}

// The main menu's quit button ends the run in order.
int QuitFromMainMenu(Playthrough& play) {
  QCEngine3& game = play.Game();
  play.StepUntil([&] { return Settled(game.mMainMenu->mMainDlg) && !game.mMainMenu->mFlipping; }, 500, "the main menu");
  // The page may still slide after its turn: click only where the button has come to rest.
  POINT last{-1, -1};
  int still = 0;
  play.StepUntil(
      [&] {
        const POINT at = game.mMainMenu->mQuit->AbsolutePos();
        still = (at.x == last.x && at.y == last.y) ? still + 1 : 0;
        last = at;
        return still >= 10;
      },
      500, "the quit button at rest");
  play.ClickWidget(game.mMainMenu->mQuit, "main_menu > right_page > quit");
  play.StepUntil([&] { return game.mShutdown.load(); }, 100, "the end of the run after quit");
  return play.Finish();
}

// A first start from an empty home, day 1 by its notes (left for the script to take away) to its
// level end in the book.
void ToLevelEnd(Playthrough& play) {
  ToFirstNote(play);
  PlayDayOne(play, false);
  DayEnds(play, 1);
  play.Checkpoint("level_end");
}

// Phase 1: a first start from an empty home; day 1 by its notes, day 2 from the book's "Next",
// both won; back to the main menu and quit there.
int NewPlayer(Playthrough& play) {
  ToLevelEnd(play);
  NextDay(play, 2);
  DayEnds(play, 2);
  BackToMainMenu(play, play.Game().mCareer->mBack, "career_menu > career_dlg > left_page > back_button");
  return QuitFromMainMenu(play);
}

// Phase 1 up to day 1's level end, closed there.
int LevelEndOnly(Playthrough& play) {
  ToLevelEnd(play);
  return Quit(play);
}

// Phase 1 up to day 1's first note, closed there.
int FirstNoteOnly(Playthrough& play) {
  ToFirstNote(play);
  return Quit(play);
}

// Says so and holds the save half written, long enough for the parent's kill to land inside it.
void HoldTheSave(size_t written) {
  if (written < kProbePiece) return;
  std::printf("step saving\n");
  std::fflush(stdout);
  std::this_thread::sleep_for(std::chrono::seconds(5));
}

// Day 1 with each note clicked away as soon as it is up, won; the parent kills the process while
// the level end writes pref.dat.
int NotesClickedAwayThenKilled(Playthrough& play) {
  ToFirstNote(play);
  PlayDayOne(play, true);
  Velk::SetAtomicWriteProbe(HoldTheSave);
  play.StepUntil([&] { return play.Game().mCareer->mVisible; }, 500, "the level end");
  play.Fail("the level end saved without being stopped");
}

// A check box's texture set in the order the box reads it: unchecked normal, over and disabled,
// then the checked three.
constexpr int kCheckedNormalTexture = 3;

// The box as the frame shows it with the pointer elsewhere: its normal texture of the state.
Probe BoxProbe(Playthrough& play, const std::string& name, QCCheckBox* box, bool checked) {
  return TextureProbe(play, name + (checked ? " ticked" : " unticked"), box,
                      box->GetTexture(0, checked ? kCheckedNormalTexture : 0));
}

void OpenOptions(Playthrough& play) {
  QCEngine3& game = play.Game();
  play.ClickWidget(game.mMainMenu->mSettings, "main_menu > right_page > settings");
  play.StepUntil([&] { return Settled(game.mOptions); }, 300, "the options");
}

// Both boxes against the frame, the pointer away from them.
void CheckBoxes(Playthrough& play, const std::string& checkpoint, bool mute, bool fullScreen) {
  QCBoard_Options& options = *play.Game().mOptions;
  play.MoveMouse(700, 560);
  play.Step(10);
  play.Checkpoint(checkpoint, {BoxProbe(play, "mute_checkbox", options.mMuteCheckbox, mute),
                               BoxProbe(play, "fullscreen_checkbox", options.mFullscreenCheckbox, fullScreen)});
}

void CloseOptions(Playthrough& play, QCCandyWidget* button, const std::string& name) {
  QCEngine3& game = play.Game();
  play.ClickWidget(button, "options > " + name);
  play.StepUntil([&] { return !game.mOptions->mVisible; }, 300, "the options closing");
}

// The pref.dat header's windowed and mute bytes as the file on disk holds them.
std::string StoredScreenAndMute(Playthrough& play) {
  std::ifstream in(DiskPath(play.Game().mPref.GetPath()), std::ios::binary);
  char header[30] = {};
  in.read(header, sizeof header);
  return "windowed " + std::to_string(header[28]) + " mute " + std::to_string(header[29]);
}

// The options from the main menu: Mute ticked, the full-screen box unticked, applied (a window);
// opened again, both shown so; Mute unticked, full screen ticked, applied (full screen again).
int Options(Playthrough& play) {
  StartUp(play);
  FirstName(play);
  QCEngine3& game = play.Game();
  QCBoard_Options& options = *game.mOptions;
  OpenOptions(play);
  CheckBoxes(play, "options", false, true);
  play.ClickWidget(options.mMuteCheckbox, "options > mute_checkbox");
  play.ClickWidget(options.mFullscreenCheckbox, "options > fullscreen_checkbox");
  CheckBoxes(play, "options_ticked", true, false);
  play.Expect(game.mPref.mHeader.mMute == 1, "muted while the box is ticked");
  CloseOptions(play, options.mApply, "apply");
  play.Expect(game.mIsWindowed, "a window after apply");
  play.Log("pref " + StoredScreenAndMute(play));
  OpenOptions(play);
  CheckBoxes(play, "options_ticked", true, false);
  play.ClickWidget(options.mMuteCheckbox, "options > mute_checkbox");
  play.ClickWidget(options.mFullscreenCheckbox, "options > fullscreen_checkbox");
  CloseOptions(play, options.mApply, "apply");
  play.Expect(!game.mIsWindowed, "full screen after apply");
  play.Log("pref " + StoredScreenAndMute(play));
  OpenOptions(play);
  CheckBoxes(play, "options", false, true);
  CloseOptions(play, options.mCancel, "cancel");
  return QuitFromMainMenu(play);
}

// The survival book from the main menu: cafe 1 chosen, the only one open to a new career.
void SurvivalBook(Playthrough& play) {
  QCEngine3& game = play.Game();
  QCBoard_Survival& book = *game.mSurvival;
  play.ClickWidget(game.mMainMenu->mSurvival, "main_menu > right_page > survival");
  play.StepUntil([&] { return Settled(&book) && !game.mMainMenu->mVisible; }, 300, "the survival book");
  play.Step(30);
  play.Expect(book.mSelectedCafe == 1, "cafe 1 chosen in the survival book");
  play.Expect(book.mCafeButtons[1]->mDisabled && book.mCafeButtons[2]->mDisabled,
              "cafes 2 and 3 closed to a new career");
  play.Checkpoint("survival_book");
}

// Whether the shift's money ranks in the survival table even after the losses still to come: the
// shift ends when lives fall below 0, one for each guest who leaves unserved (two may leave in
// one update), and each such guest takes the highest loss any kind of guest can cost.
bool RanksAfterTheLosses(QCEngine3& game, const QCBoard_Game3& board) {
  int highestLoss = 0;
  for (const auto& [name, config] : gClientConfigs) highestLoss = std::max(highestLoss, config.mLossesMoney);
  const int lowest = game.mPref.GetHiScoreTable(true)[QCPref::kTableEntries - 1].mScore;
  return board.mMoney - (board.mLives + 2) * highestLoss > lowest;
}

// The survival table as the hi-score screen shows it once its page has turned, a row a line.
void LogSurvivalRows(Playthrough& play) {
  QCEngine3& game = play.Game();
  play.StepUntil([&] { return !game.mMainMenu->mFlipping; }, 300, "the page turn to the hi-scores");
  play.Step();
  QCCandyWidget* page = game.mHiScores->mRightPage;
  for (int i = 0; i < QCPref::kTableEntries; ++i) {
    const std::string row = "1" + std::to_string(i);
    play.Log("survival row " + std::to_string(i) + " " + Text(Control(play, page, {("line" + row).c_str()})) + " " +
             Text(Control(play, page, {("score" + row).c_str()})));
  }
}

// A survival shift: the book, cafe 1, its briefing; the policy serves for a minute and on until
// the money ranks in the survival table, then nobody is served: the guests leave unhappy, a life
// each, and the fourth ends the shift. Then the hi-score screen when the money ranks, else the
// survival book; back to the main menu and quit there.
int SurvivalShift(Playthrough& play) {
  StartUp(play);
  FirstName(play);
  QCEngine3& game = play.Game();
  SurvivalBook(play);
  play.ClickWidget(game.mSurvival->mPlay, "survival_menu > survival_dlg > right_page > play_button");
  LevelLoads(play, "survival cafe 1", 1);
  play.Checkpoint("survival_briefing");
  play.Log("briefing " + Text(game.mBoard->mBriefing->mGoalLabel));
  StartPlay(play, "survival cafe 1");
  QCBoard_Game3& board = *game.mBoard;
  {
    LevelPlayer player(play, false);
    player.PlayUntil([&] { return board.mPlayTime >= kServedSeconds && RanksAfterTheLosses(game, board); },
                     kShiftUpdates, "money that ranks in the survival table");
    play.Log("serving stops at $" + std::to_string(board.mMoney) + " with lives " + std::to_string(board.mLives));
    player.IdleUntil([&] { return !board.mRunning; }, kShiftUpdates, "the end of the shift");
  }
  play.Log("shift money " + std::to_string(board.mMoney));
  play.StepUntil([&] { return Settled(game.mSurvival) || Settled(game.mHiScores); }, 500, "a screen after the shift");
  if (Settled(game.mHiScores)) {
    play.Log("hi-score screen");
    LogSurvivalRows(play);
    BackToMainMenu(play, game.mHiScores->mClose, "hiscores > close");
  } else {
    play.Log("survival book");
    BackToMainMenu(play, game.mSurvival->mCancel, "survival_menu > survival_dlg > right_page > cancel_button");
  }
  return QuitFromMainMenu(play);
}

// Phase 2: a second start from the home the first one left greets its player.
int Restart(Playthrough& play) {
  StartUp(play);
  QCBoard_MainMenu& menu = MenuAfterSplash(play);
  play.Step(10);
  play.Expect(!menu.mCreateProfile->mVisible, "no name dialog once a profile exists");
  play.Log("greeting " + Text(Control(play, menu.mMainDlg, {"left_page", "who"})));
  play.Log("profile rows " + std::to_string(menu.mList->GetLines().size()));
  OpenCareerBook(play);
  const QCBoard_Career& career = *play.Game().mCareer;
  play.Log("career book today " + std::to_string(career.mOffset + career.mSelectedSlot));
  std::string done;
  for (int slot = 0; slot < QCBoard_Career::kSlots; ++slot) {
    if (career.mPage.goalMarks[slot]->mVisible || career.mPage.expertMarks[slot]->mVisible) {
      done += (done.empty() ? "" : ",") + std::to_string(career.mOffset + slot + 1);
    }
  }
  play.Log("days done " + done);
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

// Each control wholly on the 800 x 600 screen, and a click at its middle reaches it.
void AnswerWhereDrawn(Playthrough& play, const std::vector<std::pair<QCCandyWidget*, std::string>>& controls) {
  Velk::WidgetManager& manager = *play.Game().mWidgetManager;
  for (const auto& [control, name] : controls) {
    if (control == nullptr || !control->IsVisibleInTree()) play.Fail("the control " + name + " is not shown");
    const POINT at = control->AbsolutePos();
    play.Expect(at.x >= 0 && at.y >= 0 && at.x + control->mWidth <= 800 && at.y + control->mHeight <= 600,
                name + " on the screen");
    play.Expect(manager.GetAnyWidgetAt(at.x + control->mWidth / 2, at.y + control->mHeight / 2) == control,
                name + " answers where it is drawn");
  }
}

// The help book still: its slide and its page turn over.
bool HelpStill(QCEngine3& game, int offset) {
  return game.mHelp->mVisible && !game.mMainMenu->mFlipping && game.mHelp->mOffset.x == offset;
}

std::string HelpTitle(Playthrough& play) {
  QCBoard_Help& help = *play.Game().mHelp;
  return Text(Control(play, help.mPages[static_cast<size_t>(help.mCurrentPage)], {"left_page", "title"}));
}

// One page on with the button (next or prev), once it has turned.
void TurnHelpPage(Playthrough& play, QCCandyWidget* button, const std::string& name) {
  QCEngine3& game = play.Game();
  const int before = game.mHelp->mCurrentPage;
  play.ClickWidget(button, name);
  play.StepUntil([&] { return game.mHelp->mCurrentPage != before && HelpStill(game, 400); }, 200,
                 "the help page turning");
  play.Log("help page " + HelpTitle(play));
}

// Help from the pause menu: over a fresh home, day 1 runs to its first note; Escape pauses it and
// Help opens the help book beside the pause book (checkpoint pause_help) with every control of both
// answering where it is drawn; the pages are read forward and back, Close turns back to the pause
// menu (checkpoint pause_help_closed), Resume goes on with the day: its clock runs and the guest's
// place answers a click.
int PauseHelp(Playthrough& play) {
  ToFirstNote(play);
  QCEngine3& game = play.Game();
  QCBoard_Game3& board = *game.mBoard;
  QCBoard_EscapeMenu& pause = *board.mEscapeMenu;
  QCBoard_Help& help = *game.mHelp;
  const std::optional<POINT> place =
      TestSupport::ScreenTargets(game).PointOf(QCPickItem::FindPickable("client_place02"));
  if (!place) play.Fail("the guest's place cannot be clicked");
  play.MoveMouse(place->x, place->y);
  play.Log("cursor over the guest's place " + game.GetCursorManager()->GetCurrentName());
  play.PressKey(VK_ESCAPE);
  play.StepUntil([&] { return pause.mVisible; }, 100, "the pause menu");
  play.MoveMouse(place->x + 1, place->y);
  play.Step(30);
  play.Expect(game.GetCursorManager()->GetCurrentName() == "normal", "no hand over the pause book");
  const float clock = board.mPlayTime;
  play.ClickWidget(pause.mHelp, "escape_dlg > right_page > help");
  play.StepUntil([&] { return HelpStill(game, 400) && pause.mOffset.x == -400; }, 300,
                 "the help book beside the pause book");
  play.Step(30);
  play.Checkpoint("pause_help");
  AnswerWhereDrawn(play, {{pause.mResume, "resume"},
                          {pause.mRestart, "restart"},
                          {pause.mSettings, "settings"},
                          {pause.mHelp, "help"},
                          {pause.mQuit, "quit"},
                          {help.mNextBtn, "next_btn"},
                          {help.mPrevBtn, "prev_btn"},
                          {help.mClose, "close"}});
  play.Log("help page " + HelpTitle(play));
  while (!help.mNextBtn->mDisabled) TurnHelpPage(play, help.mNextBtn, "next_btn");
  while (!help.mPrevBtn->mDisabled) TurnHelpPage(play, help.mPrevBtn, "prev_btn");
  play.ClickWidget(help.mClose, "close");
  play.StepUntil([&] { return !help.mVisible && !game.mMainMenu->mFlipping && pause.mOffset.x == 0; }, 300,
                 "the pause menu back");
  play.Step(30);
  play.Expect(pause.mVisible && board.mPlayTime == clock, "the pause menu back and the day still paused");
  play.Checkpoint("pause_help_closed");
  play.ClickWidget(pause.mResume, "resume");
  play.StepUntil([&] { return !pause.mVisible; }, 100, "the pause menu closing");
  play.Step(100);
  play.Expect(board.mPlayTime > clock, "the day's clock runs again");
  const int step = board.mTutorial->CurrentStep();
  play.Click(place->x, place->y);
  play.StepUntil([&] { return board.mTutorial->CurrentStep() > step; }, 300, "the guest's place answering");
  play.Log("the guest's place answers");
  return Quit(play);
}

// The middle of where a control is drawn now.
POINT Middle(Velk::Widget* widget) {
  const POINT at = widget->AbsolutePos();
  return {at.x + widget->mWidth / 2, at.y + widget->mHeight / 2};
}

// The numbers of the notes up now, shown or on their way in or out.
std::string NotesUp(QBoard_Hud& hud) {
  std::string up;
  for (const auto& [number, note] : hud.mTutorialControls) {
    if (note->mVisible) up += (up.empty() ? "" : ",") + std::to_string(number);
  }
  return up;
}

// Escape, then a button of the pause book that asks a question, and "yes" to it. The answer's click
// waits in the queue behind the button's, as a quick player's does: the question takes it inside
// the button's release.
void AnswerYesFromThePauseBook(Playthrough& play, QCCandyWidget* QCBoard_EscapeMenu::*button, const std::string& name) {
  QCBoard_EscapeMenu& pause = *play.Game().mBoard->mEscapeMenu;
  play.PressKey(VK_ESCAPE);
  play.StepUntil([&] { return Settled(&pause); }, 100, "the pause menu");
  const POINT at = Middle(pause.*button), yes = Middle(GetConfirm2()->mBtnYes);
  play.Log("control escape_dlg > right_page > " + name + ", then yes");
  play.QueueClick(at.x, at.y);
  play.QueueClick(yes.x, yes.y);
  play.Step();
  play.StepUntil([&] { return !pause.mVisible; }, 100, "the pause menu closing after " + name);
}

// Day 1 loaded again, up to its briefing: the level thread may have loaded it within the update
// that started the load.
void DayOneLoadedAgain(Playthrough& play) {
  QCBoard_Game3& board = *play.Game().mBoard;
  play.StepUntil([&] { return !board.IsLevelLoading() && board.mRunning && Settled(board.mBriefing); }, 500,
                 "the briefing of day 1 begun again");
}

// Day 1 begun again with the pause book's Restart, up to its briefing.
void RestartDayOne(Playthrough& play) {
  AnswerYesFromThePauseBook(play, &QCBoard_EscapeMenu::mRestart, "restart");
  DayOneLoadedAgain(play);
}

// A first start through the name dialog, the career book and day 1's comic to day 1's briefing.
void ToDayOneBriefing(Playthrough& play) {
  StartUp(play);
  FirstName(play);
  OpenCareerBook(play);
  TurnComicPages(play, OpenComic(play));
  LevelLoads(play, "day 1", 1);
}

// Day 1 from its briefing, played as the player plays it: no note shows with the briefing, then the
// notes come, each logged as it shows, up to note `last` (to the end of the notes when it is 0).
void DayOneNotes(Playthrough& play, LevelPlayer& player, int last = 0) {
  QCBoard_Game3& board = *play.Game().mBoard;
  play.Expect(NotesUp(*board.mHud).empty(), "no note with the briefing");
  play.Log("day 1 begins");
  StartPlay(play, "day 1");
  if (last > 0) {
    player.PlayUntil([&] { return Note(*board.mHud, last)->mVisible; }, kDayUpdates, "note " + std::to_string(last));
    return;
  }
  player.PlayUntil([&] { return !board.mTutorial->IsRunning(); }, kDayUpdates, "the end of day 1's notes");
  play.Log("tutorial over");
}

// The number in the environment variable; 0 when it is not set.
int NumberFrom(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr ? std::atoi(value) : 0;
}

// Day 1 played to a note and begun again there, as the phase's environment says: E2E_RESTART_AT
// names the note at which the pause book's Restart is clicked, or "menu" to leave the day at note
// 4 for the main menu and start it again from the book. The day begun again runs up to the note
// E2E_LAST_NOTE names, or to the end of its notes.
int RestartAtANote(Playthrough& play) {
  const char* at = std::getenv("E2E_RESTART_AT");
  const std::string where = at != nullptr ? at : "menu";
  ToDayOneBriefing(play);
  QCBoard_Game3& board = *play.Game().mBoard;
  StartPlay(play, "day 1");
  {
    const int note = where == "menu" ? 4 : std::atoi(where.c_str());
    LevelPlayer player(play, false);
    player.PlayUntil([&] { return Note(*board.mHud, note)->mVisible; }, kDayUpdates, "note " + std::to_string(note));
    player.IdleUntil([&] { return Settled(Note(*board.mHud, note)); }, 100, "note " + std::to_string(note) + " up");
  }
  if (where == "menu") {
    AnswerYesFromThePauseBook(play, &QCBoard_EscapeMenu::mQuit, "quit");
    QCEngine3& game = play.Game();
    play.StepUntil([&] { return Settled(game.mMainMenu->mMainDlg) && game.mMainMenu->mVisible; }, 500, "the main menu");
    OpenCareerBook(play);
    TurnComicPages(play, OpenComic(play));
    DayOneLoadedAgain(play);
  } else {
    RestartDayOne(play);
  }
  LevelPlayer player(play, false);
  DayOneNotes(play, player, NumberFrom("E2E_LAST_NOTE"));
  return Quit(play);
}

// The turning leaves of the book whose page turns now, when they are drawn.
QCCandyWidget* TurningLeaves(QCEngine3& game) {
  QCBoard_MainMenu& menu = *game.mMainMenu;
  if (!menu.mFlipping || menu.mFlipPage == nullptr || menu.mFlipPage->mParentWidget == nullptr) return nullptr;
  QCCandyWidget* leaves = menu.mFlipPage->mParentWidget->FindChild("f_pages");
  return leaves != nullptr && leaves->IsVisibleInTree() ? leaves : nullptr;
}

// Resume, X, "<" and ">" wherever they are drawn now answer a click at the middle of what shows of
// them; "<" and ">" are not drawn while a page of the help book turns.
void BookControlsAnswerWhereDrawn(Playthrough& play) {
  QCEngine3& game = play.Game();
  QCBoard_Help& help = *game.mHelp;
  const bool helpPageTurns = game.mMainMenu->mFlipping && game.mMainMenu->mFlipPage != nullptr &&
                             game.mMainMenu->mFlipPage->mParentWidget == &help;
  QCCandyWidget* leaves = TurningLeaves(game);
  const std::pair<QCCandyWidget*, const char*> controls[] = {
      {game.mBoard->mEscapeMenu->mResume, "resume"}, {help.mClose, "X"}, {help.mPrevBtn, "<"}, {help.mNextBtn, ">"}};
  for (const auto& [control, name] : controls) {
    if (!control->IsVisibleInTree()) continue;
    const std::string when = " at update " + std::to_string(game.mUpdateCount);
    if (helpPageTurns && (control == help.mPrevBtn || control == help.mNextBtn)) {
      play.Fail(std::string(name) + " drawn while a page turns" + when);
    }
    Velk::Rect drawn;
    control->GetBounds(drawn);
    if (drawn.mWidth <= 0 || drawn.mHeight <= 0) continue;
    const POINT at{drawn.mX + drawn.mWidth / 2, drawn.mY + drawn.mHeight / 2};
    if (leaves != nullptr) {
      Velk::Rect over;
      leaves->GetBounds(over);
      if (at.x >= over.mX && at.x < over.mX + over.mWidth && at.y >= over.mY && at.y < over.mY + over.mHeight) continue;
    }
    // The books' covers draw nothing: what a click meets under them is what the player sees there.
    std::vector<QCCandyWidget*> covers;
    for (QCCandyWidget* book :
         {static_cast<QCCandyWidget*>(&help), static_cast<QCCandyWidget*>(game.mBoard->mEscapeMenu)}) {
      QCCandyWidget* cover = book->FindChild("f_cover");
      if (cover != nullptr && cover->mMouseVisible) covers.push_back(cover);
    }
    for (QCCandyWidget* cover : covers) cover->mMouseVisible = false;
    const bool onTop = game.mWidgetManager->GetAnyWidgetAt(at.x, at.y) == control;
    for (QCCandyWidget* cover : covers) cover->mMouseVisible = true;
    if (onTop && game.mWidgetManager->GetAnyWidgetAt(at.x, at.y) != control) {
      play.Fail(std::string(name) + " drawn at " + std::to_string(at.x) + "," + std::to_string(at.y) +
                " does not answer there" + when);
    }
  }
}

// Day 1 paused at its first note: Help, ">", X while every slide and page turn of the two books
// runs, each control that is drawn answering where it is drawn at every update.
int BookSlides(Playthrough& play) {
  ToDayOneBriefing(play);
  QCEngine3& game = play.Game();
  QCBoard_Game3& board = *game.mBoard;
  StartPlay(play, "day 1");
  LevelPlayer(play, false).PlayUntil([&] { return Note(*board.mHud, 1)->mVisible; }, kDayUpdates, "note 1");
  QCBoard_EscapeMenu& pause = *board.mEscapeMenu;
  QCBoard_Help& help = *game.mHelp;
  play.PressKey(VK_ESCAPE);
  play.StepUntil([&] { return pause.mVisible; }, 100, "the pause menu");
  play.WatchEveryUpdate([&] { BookControlsAnswerWhereDrawn(play); });
  play.ClickWidget(pause.mHelp, "escape_dlg > right_page > help");
  play.StepUntil([&] { return HelpStill(game, 400) && pause.mOffset.x == -400; }, 300,
                 "the help book beside the pause book");
  play.ClickWidget(help.mNextBtn, "next_btn");
  play.StepUntil([&] { return HelpStill(game, 400) && help.mCurrentPage == 1; }, 300, "the next help page");
  play.ClickWidget(help.mClose, "close");
  play.StepUntil([&] { return !help.mVisible && !game.mMainMenu->mFlipping && pause.mOffset.x == 0; }, 300,
                 "the pause menu back");
  play.Log("ok the controls answered where drawn");
  play.WatchEveryUpdate(nullptr);
  // Help once more, X, and Resume clicked where it is drawn 0.5 s later, its page still turning back
  // (before that it is drawn off the screen's left edge).
  play.ClickWidget(pause.mHelp, "escape_dlg > right_page > help");
  play.StepUntil([&] { return HelpStill(game, 400); }, 300, "the help book beside the pause book");
  play.ClickWidget(help.mClose, "close");
  play.Step(50);
  Velk::Rect drawn;
  pause.mResume->GetBounds(drawn);
  play.Expect(game.mMainMenu->mFlipping && drawn.mX >= 0 && drawn.mWidth > 0, "resume drawn while its page turns back");
  play.ServerClick(drawn.mX + drawn.mWidth / 2, drawn.mY + drawn.mHeight / 2);
  play.StepUntil([&] { return !pause.mVisible; }, 30, "resume answering while the books slide back");
  const float clock = board.mPlayTime;
  play.Step(10);
  play.Expect(board.mPlayTime > clock, "the day goes on after resume clicked during the slide back");
  return Quit(play);
}

// Day 1 in a real window with each note clicked away through the X server E2E_NOTE_CLICK_MS after
// it starts to show, and again E2E_SECOND_CLICK_MS later when that is set (what is looked at then:
// LevelPlayer); with E2E_RESTART_FIRST the day is begun again with the pause book's Restart at its
// first note before that.
int NotesClickedThroughTheServer(Playthrough& play) {
  ToDayOneBriefing(play);
  if (std::getenv("E2E_RESTART_FIRST") != nullptr) {
    QCBoard_Game3& board = *play.Game().mBoard;
    StartPlay(play, "day 1");
    LevelPlayer(play, false).PlayUntil([&] { return Note(*board.mHud, 1)->mVisible; }, kDayUpdates, "note 1");
    RestartDayOne(play);
  }
  LevelPlayer player(play, NumberFrom("E2E_NOTE_CLICK_MS"), NumberFrom("E2E_SECOND_CLICK_MS"));
  DayOneNotes(play, player);
  return Quit(play);
}

// Keys typed on the main page and on the profile page, once the name dialog is gone, make no
// profile: the player stays who they were.
void TypedOnThePages(Playthrough& play, QCBoard_MainMenu& menu) {
  const auto typeAName = [&](const std::string& name) {
    play.Type(name);
    play.PressKey(VK_RETURN);
    play.Step(50);
  };
  typeAName("Bob");
  play.ClickWidget(menu.mProfileOpen, "main_menu > profile_open");
  play.StepUntil([&] { return Settled(menu.mSelectProfile) && !menu.mFlipping; }, 300, "the profile page");
  typeAName("Cid");
  QCEngine3& game = play.Game();
  play.Expect(
      Joined(ProfileNames(game)) == "Ann" && menu.mList->GetLines().size() == 1 && !menu.mCreateProfile->mVisible,
      "typing on the pages made no profile");
  play.Log("current profile " + Velk::WideToUtf8(game.mPref.GetProfile()->mName));
}

// A first start: clicks where the main page's buttons lie, while the name dialog is up, open
// nothing, and no page of the book shows around the dialog, nor its bookmark; after a name the
// main page greets the player, and what the player types on the pages makes no profile.
int NameBeforeTheMenu(Playthrough& play) {
  StartUp(play);
  QCBoard_MainMenu& menu = NameDialogUp(play);
  QCEngine3& game = play.Game();
  const Frame asking = play.ShownFrame("the name dialog");
  play.Expect(!menu.mProfileOpen->IsVisibleInTree(), "no bookmark without the book");
  // Create with no name, then the bookmark to the profile page, then the main page's buttons.
  for (QCCandyWidget* button : {menu.mCreateName, menu.mProfileOpen, menu.mCareer, menu.mSurvival, menu.mScores,
                                menu.mSettings, menu.mHelp, menu.mQuit}) {
    const POINT at = button->AbsolutePos();
    play.Click(at.x + button->mWidth / 2, at.y + button->mHeight / 2);
    play.Step(50);
  }
  const std::vector<QCCandyWidget*> screens = {game.mCareer, game.mSurvival, game.mHiScores, game.mOptions, game.mHelp};
  play.Expect(std::none_of(screens.begin(), screens.end(), [](QCCandyWidget* s) { return s->mVisible; }) &&
                  !game.mShutdown && Settled(menu.mCreateProfile) && !menu.mMainDlg->IsVisibleInTree() &&
                  !menu.mSelectProfile->IsVisibleInTree(),
              "the clicks opened nothing");
  play.Type("Ann");
  play.PressKey(VK_RETURN);
  play.StepUntil([&] { return Settled(menu.mMainDlg) && !menu.mCreateProfile->mVisible; }, 200, "the main page");
  const Frame book = play.ShownFrame("the main page");
  const BookPaper paper(book);
  play.Expect(paper.Runs(book) > 0, "the book's paper seen on the main page");
  NoBookIn(play, asking, paper, "around the name dialog", menu.mCreateProfile);
  play.Log("greeting " + Text(Control(play, menu.mMainDlg, {"left_page", "who"})));
  TypedOnThePages(play, menu);
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
      {"new_player", NewPlayer},
      {"restart", Restart},
      {"missing_data", MissingData},
      {"two_profiles", TwoProfiles},
      {"one_more_profile", OneMoreProfile},
      {"screen_pictures", ScreenPictures},
      {"asks_for_name", AsksForName},
      {"close_while_loading", CloseWhileLoading},
      {"make_ann", MakeAnn},
      {"memory_road", MemoryRoad},
      {"damaged_pref", AsksForName},
      {"cut_pref", OneMoreProfile},
      {"first_note", FirstNoteOnly},
      {"to_level_end", LevelEndOnly},
      {"notes_clicked_away_then_killed", NotesClickedAwayThenKilled},
      {"options", Options},
      {"survival_shift", SurvivalShift},
      {"pause_help", PauseHelp},
      {"notes_clicked_through_the_server", NotesClickedThroughTheServer},
      {"restart_at_a_note", RestartAtANote},
      {"book_slides", BookSlides},
      {"name_before_the_menu", NameBeforeTheMenu},
  };
  const auto phase = kPhases.find(name);
  if (phase == kPhases.end()) return 2;
  options.expectMessageBox = name == "missing_data" || name == "damaged_pref" || name == "cut_pref";
  Playthrough play(std::move(options));
  return phase->second(play);
}

}  // namespace E2e
