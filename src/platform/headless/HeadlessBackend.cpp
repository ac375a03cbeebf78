#include "platform/headless/HeadlessBackend.h"

#include "platform/clock/Clock.h"
#include "platform/headless/HeadlessPresenter.h"
#include "platform/headless/NullAudioSink.h"

#include <algorithm>

namespace Velk {

namespace {

// A 1024 x 768 desktop in 32 bits with a 30-pixel panel at the bottom.
DisplayInfo DefaultDisplay() {
  DisplayInfo info;
  info.desktop = DisplayMode{1024, 768, 32, 60};
  info.workArea = RECT{0, 0, 1024, 738};
  for (int bits : {16, 32}) {
    for (auto [w, h] : {std::pair{640, 480}, std::pair{800, 600}, std::pair{1024, 768}}) {
      info.modes.push_back(DisplayMode{w, h, bits, 60});
    }
  }
  return info;
}

}  // namespace

HeadlessBackend::HeadlessBackend() : display_(DefaultDisplay()) {}

void HeadlessBackend::TrackModifier(UINT vk, bool down) {
  KeyModifiers mods = Input().Modifiers();
  if (vk == VK_SHIFT) mods.shift = down;
  if (vk == VK_CONTROL) mods.ctrl = down;
  if (vk == VK_MENU) mods.alt = down;
  Input().SetModifiers(mods);
}

void HeadlessBackend::InjectMouseMove(HWND hwnd, int x, int y) { Input().MouseMove(hwnd, x, y); }

void HeadlessBackend::InjectMouseButton(HWND hwnd, MouseButton button, bool down, int x, int y, int clicks) {
  Input().MouseButton(hwnd, button, down, x, y, clicks);
}

void HeadlessBackend::InjectWheel(HWND hwnd, int notches) { Input().MouseWheel(hwnd, notches); }

void HeadlessBackend::InjectMouseLeave(HWND hwnd) { Input().MouseLeave(hwnd); }

void HeadlessBackend::InjectKey(HWND hwnd, UINT vk, bool down, bool repeat) {
  // Pressing Alt is itself a system key; releasing it is reported before the state drops.
  if (down) TrackModifier(vk, true);
  Input().Key(hwnd, vk, down, repeat);
  if (!down) TrackModifier(vk, false);
}

void HeadlessBackend::InjectText(HWND hwnd, const std::string& utf8) { Input().Text(hwnd, utf8); }

void HeadlessBackend::InjectFocus(HWND hwnd, bool gained) { Input().Activate(hwnd, gained); }

void HeadlessBackend::InjectSize(HWND hwnd, WPARAM kind) { Input().Size(hwnd, kind); }

void HeadlessBackend::InjectMove(HWND hwnd, int clientX, int clientY) { Input().Moved(hwnd, clientX, clientY); }

void HeadlessBackend::InjectResize(HWND hwnd, int clientWidth, int clientHeight) {
  Input().Resized(hwnd, clientWidth, clientHeight);
}

void HeadlessBackend::InjectClose(HWND hwnd) { Input().Close(hwnd); }

void HeadlessBackend::InjectExpose(HWND hwnd) { Input().Paint(hwnd); }

void HeadlessBackend::InjectDisplayChange(const DisplayInfo& display) {
  display_ = display;
  Input().DisplayChanged(display.desktop.bitsPerPixel, display.desktop.width, display.desktop.height);
}

// Nothing arrives by itself; let the clock move so timers come due (at once on the manual clock).
void HeadlessBackend::WaitEvents(DWORD ms) { Sleep(ms); }

bool HeadlessBackend::SetClipboardText(const std::string& utf8) {
  clipboard_ = utf8;
  return true;
}

bool HeadlessBackend::GetClipboardText(std::string& utf8) {
  utf8 = clipboard_;
  return true;
}

void* HeadlessBackend::CreateSystemCursor(WORD id) {
  cursors_.push_back(std::make_unique<int>(id));
  return cursors_.back().get();
}

void* HeadlessBackend::CreateCursor(const CursorShape&) {
  cursors_.push_back(std::make_unique<int>(0));
  return cursors_.back().get();
}

void HeadlessBackend::DestroyCursor(void* cursor) {
  if (shownCursor_ == cursor) shownCursor_ = nullptr;
  std::erase_if(cursors_, [&](const auto& c) { return c.get() == cursor; });
}

std::unique_ptr<DDrawPresenter> HeadlessBackend::PresenterForWindow(HWND) {
  return std::make_unique<HeadlessPresenter>();
}

std::unique_ptr<AudioSink> HeadlessBackend::OpenAudioSink(AudioMixer& mixer) {
  return std::make_unique<NullAudioSink>(mixer);
}

bool HeadlessBackend::OpenUrl(const std::string& url) {
  openedUrls_.push_back(url);
  return true;
}

}  // namespace Velk
