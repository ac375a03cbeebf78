#pragma once
// The back end under the window layer: `sdl` shows real windows and reads real input, `headless`
// has no window and takes its input from tests and demos. Each lives in a folder of its own and is
// a row of the one list (BackendList.cpp); one is chosen at start-up from VELK_BACKEND, and without
// it the first row (sdl). The program never runs unseen unless asked to: the application's first
// step of its start-up (EndUnlessSeen) ends the process with one line when the back end cannot
// show its windows to anyone.
//
// Everything above src/platform sees only the Windows-named calls. The facilities inside
// src/platform reach the back end only through this interface: the display's presenter, the
// audio output's sink and the screen-saver query included.

#include "platform/metrics/DisplayInfo.h"
#include "platform/metrics/ScreenSaverState.h"
#include "platform/window/InputTranslator.h"
#include "platform/window/WinUser.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Velk {

class AudioMixer;
class AudioSink;
class Backend;
class DDrawPresenter;

// One back end of the list: its VELK_BACKEND name and how it is made.
struct BackendRow {
  const char* name;
  std::unique_ptr<Backend> (*make)();
};

// The list; the first row is the one that runs when none is named.
std::span<const BackendRow> BackendRows();

// A monochrome cursor in the Windows AND/XOR form, one bit per pixel, rows padded to whole bytes.
struct CursorShape {
  int width = 0;
  int height = 0;
  int hotX = 0;
  int hotY = 0;
  std::vector<BYTE> andPlane;
  std::vector<BYTE> xorPlane;
};

// The buttons of a message box, in the order shown, and the answer each gives.
struct MessageBoxButton {
  int result;
  const char* label;
};

class Backend {
 public:
  Backend();
  virtual ~Backend() = default;

  // The back end in use, made from the environment on first use.
  static Backend& Get();
  // Replaces the back end; every window, class, queued message and timer of the old one is dropped.
  static void Install(std::unique_ptr<Backend> backend);
  // The back end VELK_BACKEND names, else the first row.
  static std::unique_ptr<Backend> FromEnvironment();
  // Ends the process (status 1, one line naming the display it tried) when `backend` cannot show
  // its windows to anyone and was not asked for by name.
  static void EndUnlessSeen(const Backend& backend);

  InputTranslator& Input() { return input_; }
  // Distinct for every back end made, so that objects one back end made are never handed to another.
  uint64_t Serial() const { return serial_; }

  virtual const char* Name() const = 0;
  // True when activation arrives as events of the back end rather than following the window calls.
  virtual bool ReportsFocus() const = 0;

  // `client` is the client area on screen. False when no native window could be made.
  virtual bool CreateNativeWindow(HWND hwnd, const std::wstring& title, const RECT& client, DWORD style) = 0;
  virtual void DestroyNativeWindow(HWND hwnd) = 0;
  virtual void ShowNativeWindow(HWND hwnd, int cmd) = 0;
  virtual void PlaceNativeWindow(HWND hwnd, const RECT& client) = 0;
  virtual void RaiseNativeWindow(HWND hwnd) = 0;
  // The back end's own window object (an SDL_Window* for sdl), or null.
  virtual void* NativeWindow(HWND hwnd) = 0;
  // The frame the desktop draws around a top-level window (left, top, right and bottom thickness);
  // nothing where the desktop has told of none, and the window table's own frame stands.
  virtual std::optional<RECT> NativeFrame(HWND) { return std::nullopt; }
  // Shows the window's primary surface: on the native window, or into memory where there is none.
  virtual std::unique_ptr<DDrawPresenter> PresenterForWindow(HWND hwnd) = 0;
  // The mixer's output: a real device, or the null sink where none opens. Never null.
  virtual std::unique_ptr<AudioSink> OpenAudioSink(AudioMixer& mixer) = 0;
  // The desktop's screen saver; nothing where the desktop cannot tell.
  virtual std::optional<ScreenSaverState> QueryScreenSaver() = 0;

  // Shows a picture of a window's client area (0x00RRGGBB rows): the windows drawn by the program
  // itself rather than by the display, such as those made of the system's controls.
  virtual void PresentClient(HWND hwnd, const uint32_t* pixels, int width, int height) {
    (void)hwnd, (void)pixels, (void)width, (void)height;
  }
  // Empty when its windows show where a person can see them, or when asked for by name (`byName`)
  // it runs at all; else one line naming the display it tried.
  virtual std::string CannotShow(bool byName) const {
    (void)byName;
    return "";
  }
  // True when its windows show on an X display, where a person can see them and answer them.
  virtual bool ShowsOnXDisplay() const { return false; }
  // Hides every top-level window that the process `pid` shows, through a display connection of
  // this process's own; false when there is no display to do it on.
  virtual bool HideWindowsOfProcess(int pid) {
    (void)pid;
    return false;
  }

  // Turns pending native events into queued messages.
  virtual void PumpEvents() = 0;
  // Waits at most `ms` for a native event.
  virtual void WaitEvents(DWORD ms) = 0;
  virtual void CaptureMouse(bool on) = 0;

  virtual DisplayInfo Display() = 0;

  // The pressed button's result, or 0 when no box could be shown.
  virtual int ShowMessageBox(HWND owner, const std::string& textUtf8, const std::string& captionUtf8, UINT type,
                             const std::vector<MessageBoxButton>& buttons) = 0;

  virtual bool SetClipboardText(const std::string& utf8) = 0;
  virtual bool GetClipboardText(std::string& utf8) = 0;

  // Native cursor objects; ShowCursor(null) hides the pointer.
  virtual void* CreateSystemCursor(WORD id) = 0;
  virtual void* CreateCursor(const CursorShape& shape) = 0;
  virtual void ShowCursor(void* cursor) = 0;
  virtual void DestroyCursor(void* cursor) = 0;

  virtual bool OpenUrl(const std::string& url) = 0;

  // The caret after a successful caret call (`call` is the call's name): its window (null once
  // destroyed), whether it shows and where, in client coordinates.
  virtual void CaretChanged(const char* call, HWND hwnd, bool shown, int x, int y) {
    (void)call, (void)hwnd, (void)shown, (void)x, (void)y;
  }

 private:
  InputTranslator input_;
  uint64_t serial_;
  // Made directly, by a test or a tool, it counts as asked for.
  bool byName_ = true;
};

}  // namespace Velk
