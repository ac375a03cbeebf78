#pragma once
// The back end without a window. Tests and demos inject input here; message boxes are answered by
// the caller's hook; the clipboard is kept in the process and URLs are recorded, not opened.

#include "platform/backend/Backend.h"

#include <string>
#include <vector>

namespace Velk {

// One caret call as the back end saw it.
struct CaretRecord {
  std::string call;
  HWND hwnd = nullptr;
  bool shown = false;
  int x = 0;
  int y = 0;
  bool operator==(const CaretRecord&) const = default;
};

class HeadlessBackend : public Backend {
 public:
  HeadlessBackend();

  // Input, in client coordinates of `hwnd`. Modifier keys injected here are tracked, so a later
  // key or mouse record carries them.
  void InjectMouseMove(HWND hwnd, int x, int y);
  void InjectMouseButton(HWND hwnd, MouseButton button, bool down, int x, int y, int clicks = 1);
  void InjectWheel(HWND hwnd, int notches);
  void InjectMouseLeave(HWND hwnd);
  void InjectKey(HWND hwnd, UINT vk, bool down, bool repeat = false);
  void InjectText(HWND hwnd, const std::string& utf8);
  // Window events as a window manager would send them.
  void InjectFocus(HWND hwnd, bool gained);
  void InjectSize(HWND hwnd, WPARAM kind);
  void InjectMove(HWND hwnd, int clientX, int clientY);
  // A window manager giving the client area another size.
  void InjectResize(HWND hwnd, int clientWidth, int clientHeight);
  void InjectClose(HWND hwnd);
  void InjectExpose(HWND hwnd);
  // Replaces the desktop and announces the change to every window.
  void InjectDisplayChange(const DisplayInfo& display);

  void SetDisplay(const DisplayInfo& display) { display_ = display; }
  // Makes window creation fail, as a back end without video would.
  void FailWindowCreation(bool fail) { failWindows_ = fail; }
  const std::vector<std::string>& OpenedUrls() const { return openedUrls_; }
  // The cursor last set (null: hidden), and whether the mouse is captured.
  void* ShownCursor() const { return shownCursor_; }
  bool MouseCaptured() const { return captured_; }
  std::vector<CaretRecord>& CaretCalls() { return caretCalls_; }

  const char* Name() const override { return "headless"; }
  bool ReportsFocus() const override { return false; }
  bool CreateNativeWindow(HWND, const std::wstring&, const RECT&, DWORD) override { return !failWindows_; }
  void DestroyNativeWindow(HWND) override {}
  void ShowNativeWindow(HWND, int) override {}
  void PlaceNativeWindow(HWND, const RECT&) override {}
  void RaiseNativeWindow(HWND) override {}
  void* NativeWindow(HWND) override { return nullptr; }
  std::unique_ptr<DDrawPresenter> PresenterForWindow(HWND hwnd) override;
  std::unique_ptr<AudioSink> OpenAudioSink(AudioMixer& mixer) override;
  std::optional<ScreenSaverState> QueryScreenSaver() override { return std::nullopt; }
  void PumpEvents() override {}
  void WaitEvents(DWORD ms) override;
  void CaptureMouse(bool on) override { captured_ = on; }
  DisplayInfo Display() override { return display_; }
  int ShowMessageBox(HWND, const std::string&, const std::string&, UINT,
                     const std::vector<MessageBoxButton>&) override {
    return 0;
  }
  bool SetClipboardText(const std::string& utf8) override;
  bool GetClipboardText(std::string& utf8) override;
  void* CreateSystemCursor(WORD id) override;
  void* CreateCursor(const CursorShape& shape) override;
  void ShowCursor(void* cursor) override { shownCursor_ = cursor; }
  void DestroyCursor(void* cursor) override;
  bool OpenUrl(const std::string& url) override;
  void CaretChanged(const char* call, HWND hwnd, bool shown, int x, int y) override {
    caretCalls_.push_back(CaretRecord{call, hwnd, shown, x, y});
  }

 private:
  void TrackModifier(UINT vk, bool down);

  DisplayInfo display_;
  std::string clipboard_;
  std::vector<std::string> openedUrls_;
  std::vector<CaretRecord> caretCalls_;
  std::vector<std::unique_ptr<int>> cursors_;
  void* shownCursor_ = nullptr;
  bool captured_ = false;
  bool failWindows_ = false;
};

}  // namespace Velk
