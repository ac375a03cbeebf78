// The crash report's upload road against a server of the test's own on 127.0.0.1: the details and
// progress windows as the window layer holds them, the request as it arrives, retry and abort.

#include "app/CrashSubmit.h"

#include "platform/backend/Backend.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/msgbox/MessageBox.h"
#include "platform/window/WindowTable.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace Velk {
namespace {

using namespace std::chrono_literals;

const std::string kBoundary = "---------------------------7d3e1f30eec";

// Takes one connection, reads one request whole, waits until released, answers 200 and closes.
class LocalServer {
 public:
  LocalServer() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listen(listener_, 4);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LocalServer() {
    release_ = true;
    stop_ = true;
    Join();
    close(listener_);
  }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  void HoldAnswer() { release_ = false; }
  void Release() { release_ = true; }
  std::string Received() {
    Join();
    return received_;
  }
  bool Connected() const { return connected_; }

 private:
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  bool Readable(int fd) {
    pollfd wait{fd, POLLIN, 0};
    while (!stop_) {
      if (poll(&wait, 1, 20) > 0) return true;
    }
    return false;
  }
  bool Complete() const {
    const size_t end = received_.find("\r\n\r\n");
    const size_t field = received_.find("Content-Length: ");
    if (end == std::string::npos || field == std::string::npos) return false;
    return received_.size() >= end + 4 + std::stoul(received_.substr(field + 16));
  }
  void Serve() {
    if (!Readable(listener_)) return;
    const int connection = accept(listener_, nullptr, nullptr);
    connected_ = true;
    char chunk[4096];
    while (!Complete() && Readable(connection)) {
      const ssize_t got = recv(connection, chunk, sizeof chunk, 0);
      if (got <= 0) break;
      received_.append(chunk, static_cast<size_t>(got));
    }
    while (!release_) std::this_thread::sleep_for(5ms);
    const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
    send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
    close(connection);
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> release_{true};
  std::atomic<bool> stop_{false};
  std::atomic<bool> connected_{false};
  std::string received_;
  std::thread thread_;
};

class CrashSubmitTest : public ::testing::Test {
 protected:
  CrashSubmitTest() { Backend::Install(std::make_unique<HeadlessBackend>()); }
  // A failed check leaves a window up: closing it lets the road end.
  ~CrashSubmitTest() override {
    while (runner_.joinable() && !done_) {
      for (const wchar_t* title : {L"Error Details", L"Submitting Report"}) {
        if (HWND window = FindWindow(title)) PostMessageW(window, WM_CLOSE, 0, 0);
      }
      std::this_thread::sleep_for(20ms);
    }
    if (runner_.joinable()) runner_.join();
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(ForkedExitStatus(), 0) << "a thread of the road is left behind";
  }

  // A process forked after the road ends as it means to; under the thread sanitizer a thread the road
  // left unjoined would end it with a leak report instead.
  static int ForkedExitStatus() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    int status = -1;
    waitpid(child, &status, 0);
    return status;
  }

  bool Finished(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      if (FindWindow(L"Error Details") == nullptr && FindWindow(L"Submitting Report") == nullptr && done_) break;
      std::this_thread::sleep_for(5ms);
    }
    return done_;
  }

  static HWND FindWindow(const std::wstring& title) {
    for (HWND each : WindowTable::Instance().All()) {
      auto w = WindowTable::Instance().Get(each);
      if (w && !w->parent && w->title == title && w->visible) return each;
    }
    return nullptr;
  }
  static HWND WaitForWindow(const std::wstring& title) {
    for (int i = 0; i < 1000; ++i) {
      if (HWND found = FindWindow(title)) return found;
      std::this_thread::sleep_for(5ms);
    }
    return nullptr;
  }
  static std::wstring Text(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  // The control's rectangle in its parent's client area.
  static RECT Place(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    POINT origin{0, 0};
    ClientToScreen(GetParent(hwnd), &origin);
    return RECT{rect.left - origin.x, rect.top - origin.y, rect.right - origin.x, rect.bottom - origin.y};
  }
  static void ExpectWindow(HWND hwnd, int x, int y, int width, int height) {
    RECT outer{};
    RECT client{};
    GetWindowRect(hwnd, &outer);
    GetClientRect(hwnd, &client);
    EXPECT_EQ(outer.left, x);
    EXPECT_EQ(outer.top, y);
    EXPECT_EQ(client.right - client.left, width);
    EXPECT_EQ(client.bottom - client.top, height);
  }
  static void ExpectControl(HWND parent, int id, const std::wstring& text, RECT place) {
    HWND control = GetDlgItem(parent, id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_EQ(Text(control), text) << id;
    const RECT got = Place(control);
    EXPECT_EQ(got.left, place.left) << id;
    EXPECT_EQ(got.top, place.top) << id;
    EXPECT_EQ(got.right - got.left, place.right) << id;
    EXPECT_EQ(got.bottom - got.top, place.bottom) << id;
  }
  // The control whose text is `text`, as the user would find it.
  static HWND Control(HWND parent, const std::wstring& text) {
    for (HWND each : WindowTable::Instance().All()) {
      if (GetParent(each) == parent && Text(each) == text) return each;
    }
    return nullptr;
  }
  static void Click(HWND control) { PostMessageW(control, WM_LBUTTONUP, 0, 0); }

  static CrashUploadFields Fields() {
    CrashUploadFields fields;
    fields.extra = {{"build", "42"}};
    fields.product = "VelkTest";
    fields.version = "1.0";
    fields.errorTitle = "Exception at 0001:00001234";
    fields.errorText = "Exception: Access Violation\r\n";
    fields.hasDemo = true;
    fields.demo.WriteByte('D');
    fields.demo.WriteByte(0);
    return fields;
  }

  std::thread runner_;
  std::atomic<bool> done_{false};
};

TEST_F(CrashSubmitTest, TheWindowsShowWhatTheyShouldAndTheServerReceivesTheReportByteForByte) {
  LocalServer server;
  server.HoldAnswer();
  runner_ = std::thread([&] {
    CrashSubmit::Run(server.Host(), Fields(), true);
    done_ = true;
  });

  HWND details = WaitForWindow(L"Error Details");
  ASSERT_NE(details, nullptr);
  ExpectWindow(details, 80, 80, 400, 300);
  HWND request = Control(details, L"Please help out by providing as much information as you can about this crash.");
  ASSERT_NE(request, nullptr);
  EXPECT_EQ(Place(request).left, 8);
  EXPECT_EQ(Place(request).bottom, 92);
  ExpectControl(details, 1, L"Continue", RECT{8, 268, 188, 24});
  ExpectControl(details, 2, L"Abort", RECT{204, 268, 188, 24});
  HWND comment = GetFocus();
  ASSERT_NE(comment, nullptr);
  EXPECT_EQ(GetParent(comment), details);
  EXPECT_EQ(Place(comment).top, 92);
  EXPECT_EQ(Place(comment).bottom, 260);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(details, 1)));
  SetWindowTextW(comment, std::wstring(9000, L'x').c_str());
  Click(Control(details, L"Continue"));

  HWND progress = WaitForWindow(L"Submitting Report");
  ASSERT_NE(progress, nullptr);
  EXPECT_FALSE(IsWindow(details)) << "the details window is gone";
  ExpectWindow(progress, 64, 64, 240, 64);
  HWND wait = Control(progress, L"Please Wait");
  ASSERT_NE(wait, nullptr);
  EXPECT_EQ(Place(wait).left, 24);
  EXPECT_EQ(Place(wait).top, 10);
  EXPECT_EQ(Place(wait).right, 248);
  EXPECT_EQ(Place(wait).bottom, 34);
  HWND abort = Control(progress, L"Abort");
  ASSERT_NE(abort, nullptr);
  EXPECT_EQ(Place(abort).left, 72);
  EXPECT_EQ(Place(abort).bottom, 58);
  for (int i = 0; i < 400 && Text(wait) == L"Please Wait"; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(Text(wait), L"Please Wait .") << "a dot each second";
  server.Release();
  ASSERT_TRUE(Finished(5s));

  auto part = [](const std::string& name, const std::string& value) {
    return "--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
  };
  const std::string body = part("build", "42") + part("prod", "VelkTest") + part("version", "1.0") +
                           part("usertext", std::string(8192, 'x')) + part("errortitle", "Exception at 0001:00001234") +
                           part("errortext", "Exception: Access Violation\r\n") + "--" + kBoundary +
                           "\r\nContent-Disposition: form-data; name=\"demofile\"; filename=\"hexfin.dmo\"\r\n"
                           "Content-Type: application/octet-stream\r\n\r\n" +
                           std::string("D\0", 2) + "\r\n--" + kBoundary + "--\r\n";
  const std::string expected =
      "POST /tramix_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=" + kBoundary +
      "\r\nUser-Agent: Mozilla/4.0 (compatible; hexfin)\r\nHost: " + server.Host() +
      "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
  EXPECT_EQ(server.Received(), expected);
}

TEST_F(CrashSubmitTest, ARefusedConnectionOffersRetryWhichSendsAgainAndCancelEnds) {
  int port = 0;
  {
    LocalServer closed;  // a port that was free a moment ago and is closed now
    port = std::stoi(closed.Host().substr(10));
  }
  std::vector<std::wstring> boxes;
  SetMessageBoxHook([&](const std::wstring& text, const std::wstring& caption, UINT type) {
    boxes.push_back(caption + L": " + text);
    EXPECT_EQ(type, MB_RETRYCANCEL);
    return boxes.size() == 1 ? IDRETRY : IDCANCEL;
  });
  runner_ = std::thread([&] {
    CrashSubmit::Run("127.0.0.1:" + std::to_string(port), Fields(), true);
    done_ = true;
  });
  HWND details = WaitForWindow(L"Error Details");
  ASSERT_NE(details, nullptr);
  Click(Control(details, L"Continue"));
  ASSERT_TRUE(Finished(5s));
  runner_.join();
  ASSERT_EQ(boxes.size(), 2u) << "Retry sent the report again";
  EXPECT_EQ(boxes[0], L"Connection Failed: Failed to connect to server.");
}

TEST_F(CrashSubmitTest, AbortEndsTheRoadInEitherWindow) {
  LocalServer server;
  runner_ = std::thread([&] {
    CrashSubmit::Run(server.Host(), Fields(), false);
    done_ = true;
  });
  HWND details = WaitForWindow(L"Error Details");
  ASSERT_NE(details, nullptr);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(details, 1))) << "nothing to send without the application";
  Click(Control(details, L"Continue"));
  Click(Control(details, L"Abort"));
  ASSERT_TRUE(Finished(5s));
  runner_.join();
  EXPECT_FALSE(server.Connected());

  done_ = false;
  server.HoldAnswer();
  runner_ = std::thread([&] {
    CrashSubmit::Run(server.Host(), Fields(), true);
    done_ = true;
  });
  details = WaitForWindow(L"Error Details");
  ASSERT_NE(details, nullptr);
  Click(Control(details, L"Continue"));
  HWND progress = WaitForWindow(L"Submitting Report");
  ASSERT_NE(progress, nullptr);
  for (int i = 0; i < 400 && !server.Connected(); ++i) std::this_thread::sleep_for(5ms);
  Click(Control(progress, L"Abort"));
  ASSERT_TRUE(Finished(5s)) << "aborted while the server kept its answer";
}

}  // namespace
}  // namespace Velk
