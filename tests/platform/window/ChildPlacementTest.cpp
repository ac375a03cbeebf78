// A child window stands in its parent's client area: wherever the parent goes (moved by the program,
// or by the desktop, once or again) and wherever a child is put, the child's screen rectangle, its
// client coordinates, the press that lands on it and its place in the picture follow.

#include "HeadlessWindowTest.h"

#include "platform/window/ControlPainter.h"

namespace {

using Velk::ControlPainter;

class ChildPlacementTest : public HeadlessWindowTest {
 protected:
  // Pressed and let go at a client point of the parent: true when the button (id 7) was clicked.
  bool ClickedAt(HWND top, int x, int y) {
    sent().clear();
    headless->InjectMouseButton(top, Velk::MouseButton::Left, true, x, y);
    headless->InjectMouseButton(top, Velk::MouseButton::Left, false, x, y);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return !sent().empty() && sent().back().message == WM_COMMAND && sent().back().wParam == 7;
  }

  // The 188 x 24 button at (x, y) of the parent's client area, which is at (clientX, clientY).
  void ExpectButtonAt(HWND top, HWND button, int x, int y, int clientX, int clientY) {
    RECT outer{}, client{};
    GetWindowRect(button, &outer);
    GetClientRect(button, &client);
    EXPECT_EQ(std::vector<LONG>({outer.left, outer.top, outer.right, outer.bottom, client.right, client.bottom}),
              std::vector<LONG>({clientX + x, clientY + y, clientX + x + 188, clientY + y + 24, 188, 24}));
    POINT pt{clientX + x + 5, clientY + y + 6};
    ScreenToClient(button, &pt);
    EXPECT_EQ(std::make_pair(pt.x, pt.y), std::make_pair(LONG{5}, LONG{6}));
    EXPECT_TRUE(ClickedAt(top, x + 10, y + 10));
    EXPECT_FALSE(ClickedAt(top, x - 2, y + 10));
    // Raised: white along its top-left edge, dark along its bottom-right, the face around it.
    const Velk::ClientPicture p = ControlPainter::Paint(top);
    auto at = [&](int px, int py) { return p.pixels[static_cast<size_t>(py * p.width + px)]; };
    EXPECT_EQ(std::vector<uint32_t>({at(x, y), at(x + 187, y + 23), at(x - 1, y - 1), at(x + 188, y + 24)}),
              std::vector<uint32_t>({ControlPainter::kHighlight, ControlPainter::kDarkShadow, ControlPainter::kFace,
                                     ControlPainter::kFace}));
  }
};

TEST_F(ChildPlacementTest, ChildrenFollowTheirParentWhereverEitherIsPut) {
  // The client area is 400 x 300 at (103, 72): a 3-pixel frame and a 19-pixel caption.
  HWND top = MakeWindow(0, WS_POPUP | WS_CAPTION, RECT{100, 50, 506, 375});
  auto makeButton = [&](int x, int y) {
    return CreateWindowExW(0, L"BUTTON", L"Close Now", WS_CHILD | WS_VISIBLE, x, y, 188, 24, top,
                           reinterpret_cast<HMENU>(7), nullptr, nullptr);
  };
  HWND button = makeButton(204, 268);
  ExpectButtonAt(top, button, 204, 268, 103, 72);
  MoveWindow(top, 300, 200, 406, 325, TRUE);
  ExpectButtonAt(top, button, 204, 268, 303, 222);
  MoveWindow(top, 10, 20, 406, 325, TRUE);
  ExpectButtonAt(top, button, 204, 268, 13, 42);
  // As a window manager puts it: 2 pixels off where it was asked to be, then where it is dragged.
  headless->InjectMove(top, 15, 44);
  ExpectButtonAt(top, button, 204, 268, 15, 44);
  headless->InjectMove(top, 305, 374);
  ExpectButtonAt(top, button, 204, 268, 305, 374);
  DestroyWindow(button);
  button = makeButton(8, 268);
  ExpectButtonAt(top, button, 8, 268, 305, 374);
  MoveWindow(button, 204, 230, 188, 24, TRUE);
  ExpectButtonAt(top, button, 204, 230, 305, 374);
}

}  // namespace
