#pragma once
// The back end with real windows: SDL2 video, its event queue, message boxes, clipboard, cursors
// and URL opening. SDL video is used from the main thread only.

#include "platform/backend/Backend.h"

#include <atomic>
#include <map>
#include <set>

union SDL_Event;
struct SDL_Window;

namespace Velk {

class SdlBackend : public Backend {
 public:
  SdlBackend();
  ~SdlBackend() override;
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  // False when SDL video could not start; no window can then be made.
  bool Ready() const { return ready_; }
  // The X connection broke, found by a request on any thread: the program writes what it keeps as
  // at the end of a session, with no SDL call, and the process ends with status 1.
  [[noreturn]] static void EndAfterLostDisplay();
  // Translates one SDL event into queue records.
  void Translate(const SDL_Event& event);

  const char* Name() const override { return "sdl"; }
  bool ReportsFocus() const override { return true; }
  bool CreateNativeWindow(HWND hwnd, const std::wstring& title, const RECT& client, DWORD style) override;
  void DestroyNativeWindow(HWND hwnd) override;
  void ShowNativeWindow(HWND hwnd, int cmd) override;
  void PlaceNativeWindow(HWND hwnd, const RECT& client) override;
  void RaiseNativeWindow(HWND hwnd) override;
  void* NativeWindow(HWND hwnd) override;
  std::optional<RECT> NativeFrame(HWND hwnd) override;
  void PresentClient(HWND hwnd, const uint32_t* pixels, int width, int height) override;
  // SDL video started, on x11 or wayland unless `byName`.
  std::string CannotShow(bool byName) const override;
  // SDL's current video driver is "x11"; its offscreen and dummy drivers show nothing to anyone.
  bool ShowsOnXDisplay() const override;
  bool HideWindowsOfProcess(int pid) override;
  std::unique_ptr<DDrawPresenter> PresenterForWindow(HWND hwnd) override;
  // SDL's dummy driver, or no device that opens, gives the null sink: the program runs on, silent.
  std::unique_ptr<AudioSink> OpenAudioSink(AudioMixer& mixer) override;
  std::optional<ScreenSaverState> QueryScreenSaver() override;
  void PumpEvents() override;
  void WaitEvents(DWORD ms) override;
  void CaptureMouse(bool on) override;
  DisplayInfo Display() override;
  int ShowMessageBox(HWND owner, const std::string& textUtf8, const std::string& captionUtf8, UINT type,
                     const std::vector<MessageBoxButton>& buttons) override;
  bool SetClipboardText(const std::string& utf8) override;
  bool GetClipboardText(std::string& utf8) override;
  void* CreateSystemCursor(WORD id) override;
  void* CreateCursor(const CursorShape& shape) override;
  void ShowCursor(void* cursor) override;
  void DestroyCursor(void* cursor) override;
  bool OpenUrl(const std::string& url) override;
  void CaretChanged(const char* call, HWND hwnd, bool shown, int x, int y) override;

 private:
  HWND WindowOf(uint32_t windowId) const;
  void LeaveFrameToManager(HWND hwnd, SDL_Window* window);
  void ActivateOnPress(HWND hwnd);
  void TranslateWindowEvent(const SDL_Event& event);
  void TranslateKey(const SDL_Event& event);

  bool ready_ = false;
  std::atomic<bool> lost_{false};  // the display connection broke
  std::map<HWND, SDL_Window*> windows_;
  std::map<uint32_t, HWND> byId_;
  std::set<void*> cursors_;
};

}  // namespace Velk
