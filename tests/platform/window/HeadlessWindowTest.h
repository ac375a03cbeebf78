#pragma once
// A fresh headless back end on the manual clock, a window class whose procedure records what it is
// sent, and helpers that drain the queue into plain records.

#include "platform/clock/Clock.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/window/WinUser.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

struct Record {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Record&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Record& r) {
  return os << "{" << r.hwnd << ", 0x" << std::hex << r.message << ", 0x" << r.wParam << ", 0x" << r.lParam << std::dec
            << "}";
}

class HeadlessWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto backend = std::make_unique<Velk::HeadlessBackend>();
    headless = backend.get();
    Velk::Backend::Install(std::move(backend));
    Velk::Clock::UseManual(1000);
    sent().clear();
  }

  void TearDown() override {
    Velk::Backend::Install(std::make_unique<Velk::HeadlessBackend>());
    Velk::Clock::UseReal();
  }

  static std::vector<Record>& sent() {
    static std::vector<Record> records;
    return records;
  }

  static LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    sent().push_back(Record{hwnd, message, wParam, lParam});
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  HWND MakeWindow(UINT classStyle = CS_DBLCLKS, DWORD style = WS_POPUP | WS_CAPTION, RECT r = {100, 50, 906, 675}) {
    WNDCLASSW wc;
    wc.style = classStyle;
    wc.lpfnWndProc = RecordingProc;
    std::wstring name = L"Test" + std::to_wstring(classStyle);
    wc.lpszClassName = name.c_str();
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, name.c_str(), L"Test", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                nullptr, nullptr, nullptr, nullptr);
    sent().clear();
    return hwnd;
  }

  static std::vector<Record> Drain() {
    std::vector<Record> records;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      records.push_back(Record{msg.hwnd, msg.message, msg.wParam, msg.lParam});
    }
    return records;
  }

  Velk::HeadlessBackend* headless = nullptr;
};
