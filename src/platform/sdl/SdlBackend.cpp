#include "platform/sdl/SdlBackend.h"

#include "platform/base/PlatformText.h"
#include "platform/headless/HeadlessPresenter.h"
#include "platform/headless/NullAudioSink.h"
#include "platform/process/ForkWatch.h"
#include "platform/sdl/SdlAudioSink.h"
#include "platform/sdl/SdlCursorPlanes.h"
#include "platform/sdl/MessageBoxText.h"
#include "platform/sdl/SdlKeyMap.h"
#include "platform/sdl/SdlPresenter.h"
#include "platform/sdl/XBoxFocus.h"
#include "platform/sdl/XConnectionWatch.h"
#include "platform/sdl/XFaultHook.h"
#include "platform/sdl/XProcessWindows.h"
#include "platform/sdl/XScreenSaver.h"
#include "platform/sdl/XWindowFrame.h"
#include "platform/window/WindowTable.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>

namespace Velk {

namespace {

constexpr UINT kIconMask = 0xF0;
constexpr UINT kIconError = 0x10;
constexpr UINT kIconWarning = 0x30;
// How long writing the settings after a lost display may take before the process ends regardless.
constexpr unsigned kLostDisplaySeconds = 2;

// The back end whose X connection is watched.
std::atomic<SdlBackend*> gWatched{nullptr};

Uint32 MessageBoxFlags(UINT type) {
  switch (type & kIconMask) {
    case kIconError:
      return SDL_MESSAGEBOX_ERROR;
    case kIconWarning:
      return SDL_MESSAGEBOX_WARNING;
    default:
      return SDL_MESSAGEBOX_INFORMATION;
  }
}

const char* SetValue(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

// The displays the environment names, or that it names none.
std::string NoDisplay() {
  const char* x = SetValue("DISPLAY");
  const char* wayland = SetValue("WAYLAND_DISPLAY");
  if (!x && !wayland) return "no display: DISPLAY and WAYLAND_DISPLAY are unset";
  return std::string("cannot open the display ") + (x ? x : "") + (x && wayland ? " or " : "") +
         (wayland ? wayland : "");
}

}  // namespace

SdlBackend::SdlBackend() {
  // Closing the last window is a WM_CLOSE for the program to handle, not a request to quit.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // Termination signals are the program's own (a close request), the same in every back end.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // As on Windows, the click that activates a window reaches it too: a button clicked at once on a
  // window that just appeared is clicked.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // The desktop's screen saver may start: the program pauses for it while it is due.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // Where video cannot start, CannotShow says which display was tried.
  ready_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  if (ready_ && ShowsOnXDisplay() && XConnectionWatch::Install(&SdlBackend::EndAfterLostDisplay)) {
    gWatched = this;
  }
}

void SdlBackend::EndAfterLostDisplay() {
  static std::atomic<bool> ending{false};
  thread_local bool endingHere = false;
  if (endingHere) _exit(1);  // the dead connection was touched again while ending
  // Another thread found the connection gone first: it ends the process once the program has
  // written what it keeps, whatever this one holds meanwhile.
  if (ending.exchange(true)) {
    for (;;) pause();
  }
  endingHere = true;
  std::fputs("The connection to the display was lost; the program ends.\n", stderr);
  // Only a last resort: nothing below waits for what the thread of the failed request holds.
  std::signal(SIGALRM, SIG_DFL);
  alarm(kLostDisplaySeconds);
  if (SdlBackend* backend = gWatched.load()) backend->lost_ = true;
  // As at the end of the session: the program writes what it keeps, and the process ends here.
  SendMessageW(HWND_BROADCAST, WM_ENDSESSION, TRUE, 0);
  std::fflush(nullptr);
  _exit(1);
}

SdlBackend::~SdlBackend() {
  SdlBackend* self = this;
  gWatched.compare_exchange_strong(self, nullptr);
  for (auto& [hwnd, window] : windows_) SDL_DestroyWindow(window);
  for (void* cursor : cursors_) SDL_FreeCursor(static_cast<SDL_Cursor*>(cursor));
  if (ready_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlBackend::CreateNativeWindow(HWND hwnd, const std::wstring& title, const RECT& client, DWORD style) {
  if (!ready_) return false;
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if ((style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
  SDL_Window* window = SDL_CreateWindow(PlatformText::Utf16ToUtf8(title).c_str(), client.left, client.top,
                                        client.right - client.left, client.bottom - client.top, flags);
  if (!window) {
    std::fprintf(stderr, "SDL window could not be made: %s\n", SDL_GetError());
    return false;
  }
  windows_[hwnd] = window;
  byId_[SDL_GetWindowID(window)] = hwnd;
  return true;
}

// A window manager puts the corner of its own frame where a window asks to be when it first
// shows, so a window with a caption asks for the corner of its whole rectangle there and hears
// where its client area went once it is framed. Without a manager the client area stands where the
// window's frame leaves it.
void SdlBackend::LeaveFrameToManager(HWND hwnd, SDL_Window* window) {
  if (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) return;
  const std::optional<Window> w = WindowTable::Instance().Get(hwnd);
  if (!w || (w->style & WS_CAPTION) != WS_CAPTION || !XWindowFrame::ManagerRuns(window)) return;
  SDL_SetWindowPosition(window, w->rect.left, w->rect.top);
}

std::optional<RECT> SdlBackend::NativeFrame(HWND hwnd) {
  auto* window = static_cast<SDL_Window*>(NativeWindow(hwnd));
  if (!window) return std::nullopt;
  return XWindowFrame::Extents(window);
}

void SdlBackend::DestroyNativeWindow(HWND hwnd) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  byId_.erase(SDL_GetWindowID(it->second));
  // The window's renderer and texture go first; a presenter that outlives the window leaves it alone.
  SdlPresenter::WindowGone(it->second);
  SDL_DestroyWindow(it->second);
  windows_.erase(it);
}

void SdlBackend::ShowNativeWindow(HWND hwnd, int cmd) {
  auto* window = static_cast<SDL_Window*>(NativeWindow(hwnd));
  if (!window) return;
  if (cmd != SW_HIDE) LeaveFrameToManager(hwnd, window);
  switch (cmd) {
    case SW_HIDE:
      SDL_HideWindow(window);
      return;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      SDL_MinimizeWindow(window);
      return;
    case SW_MAXIMIZE:
      SDL_ShowWindow(window);
      SDL_MaximizeWindow(window);
      return;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      SDL_ShowWindow(window);
      SDL_RestoreWindow(window);
      SDL_RaiseWindow(window);
      return;
    case SW_SHOWNOACTIVATE:
      SDL_ShowWindow(window);
      SDL_RestoreWindow(window);
      return;
    case SW_SHOW:
      SDL_ShowWindow(window);
      SDL_RaiseWindow(window);
      return;
    default:
      SDL_ShowWindow(window);
      return;
  }
}

void SdlBackend::PlaceNativeWindow(HWND hwnd, const RECT& client) {
  auto* window = static_cast<SDL_Window*>(NativeWindow(hwnd));
  if (!window) return;
  SDL_SetWindowPosition(window, client.left, client.top);
  SDL_SetWindowSize(window, client.right - client.left, client.bottom - client.top);
}

void SdlBackend::RaiseNativeWindow(HWND hwnd) {
  if (auto* window = static_cast<SDL_Window*>(NativeWindow(hwnd))) SDL_RaiseWindow(window);
}

void* SdlBackend::NativeWindow(HWND hwnd) {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second;
}

void SdlBackend::PresentClient(HWND hwnd, const uint32_t* pixels, int width, int height) {
  // The window's own pixels, not a renderer's texture: a renderer would make the window again, and
  // a window made again is gone from the screen for a moment, with the clicks that land then.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  auto* window = static_cast<SDL_Window*>(NativeWindow(hwnd));
  SDL_Surface* target = window ? SDL_GetWindowSurface(window) : nullptr;
  if (!target || !pixels) return;
  SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32, width * 4,
                                                            SDL_PIXELFORMAT_RGB888);
  if (!picture) return;
  SDL_BlitSurface(picture, nullptr, target, nullptr);
  SDL_FreeSurface(picture);
  SDL_UpdateWindowSurface(window);
}

// Where no display opens SDL falls back to a driver that draws into memory: asked for by name, the
// back end may run so; otherwise the program would run unseen.
std::string SdlBackend::CannotShow(bool byName) const {
  if (!ready_) return NoDisplay();
  const char* driver = SDL_GetCurrentVideoDriver();
  if (byName || std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0) return "";
  const char* named = SetValue("SDL_VIDEODRIVER");
  return named ? std::string("SDL_VIDEODRIVER=") + named + " shows no window" : NoDisplay();
}

bool SdlBackend::ShowsOnXDisplay() const {
  const char* driver = ready_ ? SDL_GetCurrentVideoDriver() : nullptr;
  return driver && std::strcmp(driver, "x11") == 0;
}

bool SdlBackend::HideWindowsOfProcess(int pid) { return ShowsOnXDisplay() && XProcessWindows::Withdraw(pid); }

// A window the back end has no native window for (none made, or a null one) is shown into memory.
std::unique_ptr<DDrawPresenter> SdlBackend::PresenterForWindow(HWND hwnd) {
  if (void* window = hwnd ? NativeWindow(hwnd) : nullptr) return std::make_unique<SdlPresenter>(window);
  return std::make_unique<HeadlessPresenter>();
}

std::unique_ptr<AudioSink> SdlBackend::OpenAudioSink(AudioMixer& mixer) {
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  if (!(driver && std::strcmp(driver, "dummy") == 0)) {
    if (auto sink = SdlAudioSink::Open(mixer)) return sink;
  }
  return std::make_unique<NullAudioSink>(mixer);
}

std::optional<ScreenSaverState> SdlBackend::QueryScreenSaver() { return XScreenSaver::Query(); }

HWND SdlBackend::WindowOf(uint32_t windowId) const {
  auto it = byId_.find(windowId);
  return it == byId_.end() ? nullptr : it->second;
}

void SdlBackend::PumpEvents() {
  if (!ready_) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) Translate(event);
  // Frames the cursor thread put on the primary are shown from here, on the main thread.
  SdlPresenter::ShowPending();
  if (!windows_.empty()) XFaultHook::Poll(windows_.begin()->second);
}

void SdlBackend::WaitEvents(DWORD ms) {
  if (ready_) {
    SDL_WaitEventTimeout(nullptr, static_cast<int>(ms));
  } else {
    SDL_Delay(ms);
  }
}

void SdlBackend::Translate(const SDL_Event& event) {
  auto& input = Input();
  switch (event.type) {
    case SDL_QUIT:
      // A signal or session end: ask the first window to close.
      if (!windows_.empty()) input.Close(windows_.begin()->first);
      return;
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(event);
      return;
    case SDL_DISPLAYEVENT: {
      DisplayInfo display = Display();
      input.DisplayChanged(display.desktop.bitsPerPixel, display.desktop.width, display.desktop.height);
      return;
    }
    case SDL_MOUSEMOTION:
      if (HWND hwnd = WindowOf(event.motion.windowID)) input.MouseMove(hwnd, event.motion.x, event.motion.y);
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      HWND hwnd = WindowOf(event.button.windowID);
      static const std::unordered_map<int, MouseButton> kButtons = {{SDL_BUTTON_LEFT, MouseButton::Left},
                                                                    {SDL_BUTTON_RIGHT, MouseButton::Right},
                                                                    {SDL_BUTTON_MIDDLE, MouseButton::Middle}};
      auto button = kButtons.find(event.button.button);
      if (!hwnd || button == kButtons.end()) return;
      if (event.type == SDL_MOUSEBUTTONDOWN) ActivateOnPress(hwnd);
      input.MouseButton(hwnd, button->second, event.type == SDL_MOUSEBUTTONDOWN, event.button.x, event.button.y,
                        event.button.clicks);
      return;
    }
    case SDL_MOUSEWHEEL:
      if (HWND hwnd = WindowOf(event.wheel.windowID)) {
        int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        input.MouseWheel(hwnd, notches);
      }
      return;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      TranslateKey(event);
      return;
    case SDL_TEXTINPUT:
      if (HWND hwnd = WindowOf(event.text.windowID)) input.Text(hwnd, event.text.text);
      return;
    default:
      return;
  }
}

// With no window manager nobody gives a clicked window the keyboard, and an inactive program acts
// on no click: as on Windows, the press activates the window before it is handled.
void SdlBackend::ActivateOnPress(HWND hwnd) {
  auto* window = static_cast<SDL_Window*>(NativeWindow(hwnd));
  if (!window || (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) || !ShowsOnXDisplay() ||
      XWindowFrame::ManagerRuns(window))
    return;
  SDL_SetWindowInputFocus(window);
  Input().Activate(hwnd, true);
}

void SdlBackend::TranslateWindowEvent(const SDL_Event& event) {
  HWND hwnd = WindowOf(event.window.windowID);
  if (!hwnd) return;
  auto& input = Input();
  switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
      input.Close(hwnd);
      return;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      input.Activate(hwnd, true);
      return;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      input.Activate(hwnd, false);
      return;
    case SDL_WINDOWEVENT_MINIMIZED:
      input.Size(hwnd, SIZE_MINIMIZED);
      return;
    case SDL_WINDOWEVENT_MAXIMIZED:
      input.Size(hwnd, SIZE_MAXIMIZED);
      return;
    case SDL_WINDOWEVENT_RESTORED:
      input.Size(hwnd, SIZE_RESTORED);
      return;
    case SDL_WINDOWEVENT_MOVED:
      input.Moved(hwnd, event.window.data1, event.window.data2);
      return;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      input.Resized(hwnd, event.window.data1, event.window.data2);
      return;
    case SDL_WINDOWEVENT_EXPOSED:
      input.Paint(hwnd);
      return;
    case SDL_WINDOWEVENT_ENTER:
      input.MouseEnter(hwnd);
      return;
    case SDL_WINDOWEVENT_LEAVE:
      input.MouseLeave(hwnd);
      return;
    default:
      return;
  }
}

void SdlBackend::TranslateKey(const SDL_Event& event) {
  HWND hwnd = WindowOf(event.key.windowID);
  if (!hwnd && !windows_.empty()) hwnd = windows_.begin()->first;
  if (!hwnd) return;
  Uint16 mod = event.key.keysym.mod;
  Input().SetModifiers(KeyModifiers{(mod & KMOD_SHIFT) != 0, (mod & KMOD_CTRL) != 0, (mod & KMOD_ALT) != 0});
  Input().Key(hwnd, VirtualKeyFromSdl(event.key.keysym.sym), event.type == SDL_KEYDOWN, event.key.repeat != 0);
}

void SdlBackend::CaptureMouse(bool on) {
  if (ready_) SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE);
}

DisplayInfo SdlBackend::Display() {
  DisplayInfo info;
  if (!ready_) return info;
  SDL_DisplayMode mode;
  // Four bytes a pixel is what Windows calls a 32-bit desktop, whatever SDL counts as used bits.
  auto toMode = [](const SDL_DisplayMode& m) {
    return DisplayMode{m.w, m.h, static_cast<int>(SDL_BYTESPERPIXEL(m.format)) * 8, m.refresh_rate};
  };
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) info.desktop = toMode(mode);
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
    info.workArea = RECT{usable.x, usable.y, usable.x + usable.w, usable.y + usable.h};
  } else {
    info.workArea = RECT{0, 0, info.desktop.width, info.desktop.height};
  }
  int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
    DisplayMode m = toMode(mode);
    if (std::find(info.modes.begin(), info.modes.end(), m) == info.modes.end()) info.modes.push_back(m);
  }
  return info;
}

int SdlBackend::ShowMessageBox(HWND owner, const std::string& textUtf8, const std::string& captionUtf8, UINT type,
                               const std::vector<MessageBoxButton>& buttons) {
  if (buttons.empty() || lost_) return 0;
  std::vector<SDL_MessageBoxButtonData> data;
  for (size_t i = 0; i < buttons.size(); ++i) {
    Uint32 flags = 0;
    if (i == 0) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (i + 1 == buttons.size()) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back(SDL_MessageBoxButtonData{flags, buttons[i].result, buttons[i].label});
  }
  const std::string text = WrapMessageText(textUtf8);
  auto* ownerWindow = static_cast<SDL_Window*>(NativeWindow(owner));
  // Owned by the program's window, the box stays above it even in full screen.
  SDL_MessageBoxData box{MessageBoxFlags(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
                         ownerWindow,
                         captionUtf8.c_str(),
                         text.c_str(),
                         static_cast<int>(data.size()),
                         data.data(),
                         nullptr};
  int pressed = 0;
  std::optional<XBoxFocus> focus;
  if (ShowsOnXDisplay()) focus.emplace(captionUtf8);
  int shown = 0;
  {
    // The toolkit shows the box from a process it forks: a close signal must not wait on it.
    ForkWatch watch;
    shown = SDL_ShowMessageBox(&box, &pressed);
  }
  // The keyboard goes back to the window the box was over, as a window manager would give it.
  if (focus && focus->FocusedByHand() && ownerWindow) SDL_SetWindowInputFocus(ownerWindow);
  if (shown != 0 || pressed <= 0) return 0;
  return pressed;
}

bool SdlBackend::SetClipboardText(const std::string& utf8) { return ready_ && SDL_SetClipboardText(utf8.c_str()) == 0; }

bool SdlBackend::GetClipboardText(std::string& utf8) {
  if (!ready_) return false;
  char* text = SDL_GetClipboardText();
  if (!text) return false;
  utf8 = text;
  SDL_free(text);
  return true;
}

void* SdlBackend::CreateSystemCursor(WORD id) {
  static const std::unordered_map<WORD, SDL_SystemCursor> kCursors = {
      {32512, SDL_SYSTEM_CURSOR_ARROW},     {32513, SDL_SYSTEM_CURSOR_IBEAM},    {32514, SDL_SYSTEM_CURSOR_WAIT},
      {32515, SDL_SYSTEM_CURSOR_CROSSHAIR}, {32642, SDL_SYSTEM_CURSOR_SIZENWSE}, {32643, SDL_SYSTEM_CURSOR_SIZENESW},
      {32644, SDL_SYSTEM_CURSOR_SIZEWE},    {32645, SDL_SYSTEM_CURSOR_SIZENS},   {32646, SDL_SYSTEM_CURSOR_SIZEALL},
      {32648, SDL_SYSTEM_CURSOR_NO},        {32649, SDL_SYSTEM_CURSOR_HAND}};
  auto it = kCursors.find(id);
  if (!ready_ || it == kCursors.end()) return nullptr;
  SDL_Cursor* cursor = SDL_CreateSystemCursor(it->second);
  if (cursor) cursors_.insert(cursor);
  return cursor;
}

void* SdlBackend::CreateCursor(const CursorShape& shape) {
  if (!ready_) return nullptr;
  SdlCursorPlanes planes = ToSdlCursorPlanes(shape.andPlane, shape.xorPlane);
  SDL_Cursor* cursor =
      SDL_CreateCursor(planes.data.data(), planes.mask.data(), shape.width, shape.height, shape.hotX, shape.hotY);
  if (cursor) cursors_.insert(cursor);
  return cursor;
}

void SdlBackend::ShowCursor(void* cursor) {
  if (!ready_) return;
  if (!cursor) {
    SDL_ShowCursor(SDL_DISABLE);
    return;
  }
  SDL_SetCursor(static_cast<SDL_Cursor*>(cursor));
  SDL_ShowCursor(SDL_ENABLE);
}

void SdlBackend::DestroyCursor(void* cursor) {
  if (cursors_.erase(cursor)) SDL_FreeCursor(static_cast<SDL_Cursor*>(cursor));
}

bool SdlBackend::OpenUrl(const std::string& url) { return ready_ && SDL_OpenURL(url.c_str()) == 0; }

// The caret itself is never drawn; its position tells an input method where typing happens.
void SdlBackend::CaretChanged(const char*, HWND, bool shown, int x, int y) {
  if (!ready_ || !shown) return;
  SDL_Rect rect{x, y, 0, 0};
  SDL_SetTextInputRect(&rect);
}

}  // namespace Velk
