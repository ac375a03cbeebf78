#include "contentlib/Figure.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Content {
namespace {

constexpr uint32_t kSkin = 0xFFF1C27D;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kInk = 0xFF3B2A1E;
constexpr uint32_t kShoe = 0xFF3E2723;

// Where the parts of one figure lie in its box.
struct Body {
  double cx, r, headY, neck, hip, foot, torso, swing, look;
  bool back;
};

Body Measure(double x, double y, double w, double h, int frame, const std::string& facing) {
  Body b{};
  b.cx = x + w / 2;
  b.r = std::min(w * 0.17, h * 0.095);
  b.headY = y + 1 + b.r * 2.3;  // room above the head for a hat
  b.neck = b.headY + b.r * 0.9;
  b.hip = y + h * 0.7;
  b.foot = y + h - 1.5;
  b.torso = std::min(w * 0.44, b.r * 2.6);
  b.swing = std::sin(frame * std::numbers::pi / 2) * w * 0.07;
  b.look = facing.find('r') != std::string::npos ? 1 : facing.find('l') != std::string::npos ? -1 : 0;
  b.back = facing.find('t') != std::string::npos;
  return b;
}

void Legs(Canvas& c, const Body& b, uint32_t colour) {
  const double stroke = b.r * 0.55, apart = b.torso * 0.22;
  for (int side : {-1, 1}) {
    const double footX = b.cx + side * apart + side * b.swing;
    c.Line(b.cx + side * apart, b.hip, footX, b.foot - stroke * 0.5, stroke, colour);
    c.Circle(footX + b.look * stroke * 0.3, b.foot - stroke * 0.4, stroke * 0.55, kShoe);
  }
}

void Arms(Canvas& c, const Body& b, uint32_t sleeve) {
  const double stroke = b.r * 0.5, shoulder = b.neck + b.r * 0.45;
  for (int side : {-1, 1}) {
    const double sx = b.cx + side * (b.torso / 2 - stroke * 0.3);
    const double hx = b.cx + side * (b.torso / 2 + b.r * 0.35), hy = b.hip - b.r * 0.2 - side * b.swing * 0.6;
    c.Line(sx, shoulder, hx, hy, stroke, sleeve);
    c.Circle(hx, hy, stroke * 0.55, kSkin);
  }
}

void Torso(Canvas& c, const Body& b, uint32_t colour) {
  c.RoundRect(b.cx - b.torso / 2, b.neck, b.torso, b.hip - b.neck + b.r * 0.3, b.r * 0.5, colour);
}

void Head(Canvas& c, const Body& b, uint32_t hair) {
  // Hair over the top of the head; from behind it covers all of it.
  c.Circle(b.cx, b.headY, b.r, b.back ? hair : kSkin);
  if (b.back) return;
  c.Fill(
      static_cast<int>(b.cx - b.r - 1), static_cast<int>(b.headY - b.r - 1), static_cast<int>(b.cx + b.r + 2),
      static_cast<int>(b.headY + 1),
      [&](double px, double py) {
        const double dx = px - b.cx, dy = py - b.headY;
        return dx * dx + dy * dy <= b.r * b.r && dy < -b.r * 0.25 + dx * b.look * 0.3;
      },
      hair);
  const double eye = std::max(0.6, b.r * 0.14), ex = b.cx + b.look * b.r * 0.35;
  if (b.look <= 0) c.Circle(ex - b.r * 0.35, b.headY + b.r * 0.1, eye, kInk);
  if (b.look >= 0) c.Circle(ex + b.r * 0.35, b.headY + b.r * 0.1, eye, kInk);
  c.Line(ex - b.r * 0.2, b.headY + b.r * 0.5, ex + b.r * 0.2, b.headY + b.r * 0.5, std::max(0.8, b.r * 0.1),
         0xFFB0605A);
}

// A cook's hat, a shirt in the trade's colour and a white apron with the trade's product on it.
void Worker(Canvas& c, const Pictograms& p, const Body& b, uint32_t colour, const std::string& sign) {
  Legs(c, b, 0xFF455A64);
  Torso(c, b, colour);
  Arms(c, b, colour);
  const double apronTop = b.neck + b.r * 0.7, apronW = b.torso * 0.86;
  c.RoundRect(b.cx - apronW / 2, apronTop, apronW, b.hip - apronTop + b.r * 0.6, b.r * 0.25, kWhite);
  p.Draw(c, sign, b.cx - apronW / 2 + 1, apronTop + 1, apronW - 2, apronW - 2);
  Head(c, b, 0xFF5D4037);
  const double band = b.headY - b.r * 0.75, hat = b.r * 0.85;
  c.RoundRect(b.cx - b.r * 0.85, band - hat, b.r * 1.7, hat + b.r * 0.15, b.r * 0.2, kWhite);
  for (int i = -1; i <= 1; ++i) c.Circle(b.cx + i * b.r * 0.55, band - hat, b.r * 0.55, kWhite);
  c.Rect(b.cx - b.r * 0.85, band - b.r * 0.05, b.r * 1.7, std::max(1.0, b.r * 0.2), 0xFFCFD8DC);
}

// The boss: a dark uniform dress, white collar, a gold name badge and a ponytail.
void Boss(Canvas& c, const Body& b, uint32_t colour) {
  Legs(c, b, kSkin);
  const uint32_t hair = 0xFF3E2723;
  if (!b.back)
    c.Circle(b.cx - b.look * b.r * 0.9 + (b.look == 0 ? b.r * 0.95 : 0), b.headY - b.r * 0.2, b.r * 0.55, hair);
  Torso(c, b, colour);
  c.Triangle(b.cx - b.torso * 0.62, b.hip + b.r * 1.3, b.cx + b.torso * 0.62, b.hip + b.r * 1.3, b.cx, b.neck + b.r,
             colour);
  Arms(c, b, colour);
  if (!b.back) {
    c.Triangle(b.cx - b.r * 0.6, b.neck, b.cx + b.r * 0.6, b.neck, b.cx, b.neck + b.r * 0.7, kWhite);
    c.Circle(b.cx + b.torso * 0.22, b.neck + b.r * 1.2, std::max(1.0, b.r * 0.28), 0xFFFFD54F);
  }
  Head(c, b, hair);
}

void Girl(Canvas& c, const Body& b, uint32_t colour) {
  const uint32_t hair = 0xFF8D4A2B;
  Legs(c, b, kSkin);
  c.RoundRect(b.cx - b.r * 1.15, b.headY - b.r * 0.3, b.r * 2.3, b.r * 1.9, b.r * 0.6, hair);  // long hair behind
  Torso(c, b, colour);
  c.Triangle(b.cx - b.torso * 0.7, b.hip + b.r * 1.1, b.cx + b.torso * 0.7, b.hip + b.r * 1.1, b.cx, b.neck + b.r * 0.8,
             colour);
  Arms(c, b, colour);
  Head(c, b, hair);
  c.Circle(b.cx + b.r * 0.75, b.headY - b.r * 0.85, b.r * 0.35, 0xFFE91E63);
  c.Circle(b.cx + b.r * 0.3, b.headY - b.r * 1.0, b.r * 0.35, 0xFFE91E63);
}

void Student(Canvas& c, const Body& b, uint32_t colour) {
  Legs(c, b, 0xFF1A237E);
  c.RoundRect(b.cx - b.torso / 2 - b.r * 0.5 - (b.back ? -b.torso * 0.3 : 0), b.neck + b.r * 0.3, b.torso * 0.7,
              b.torso * 0.8, b.r * 0.3, 0xFFFFA000);  // a backpack
  Torso(c, b, colour);
  Arms(c, b, colour);
  Head(c, b, 0xFF212121);
  const uint32_t cap = 0xFFD32F2F;
  c.Fill(
      static_cast<int>(b.cx - b.r - 1), static_cast<int>(b.headY - b.r - 1), static_cast<int>(b.cx + b.r + 2),
      static_cast<int>(b.headY),
      [&](double px, double py) {
        const double dx = px - b.cx, dy = py - b.headY;
        return dx * dx + dy * dy <= b.r * b.r * 1.05 && dy < -b.r * 0.3;
      },
      cap);
  if (!b.back)
    c.RoundRect(b.cx + (b.look >= 0 ? 0 : -b.r * 1.5), b.headY - b.r * 0.45, b.r * 1.5, b.r * 0.3, b.r * 0.15, cap);
}

void Granny(Canvas& c, const Body& b, uint32_t colour) {
  Legs(c, b, 0xFF6D4C41);
  Torso(c, b, colour);
  c.Triangle(b.cx - b.torso * 0.6, b.hip + b.r * 1.3, b.cx + b.torso * 0.6, b.hip + b.r * 1.3, b.cx, b.neck + b.r,
             colour);
  Arms(c, b, colour);
  const double hand = b.cx + b.torso / 2 + b.r * 0.35;
  c.Line(hand, b.hip - b.r * 0.4, hand + b.r * 0.3, b.foot, std::max(1.0, b.r * 0.22), 0xFF5D4037);  // a cane
  const uint32_t hair = 0xFFE0E0E0;
  c.Circle(b.cx, b.headY - b.r * 1.05, b.r * 0.5, hair);  // a bun
  Head(c, b, hair);
  if (!b.back)
    for (int side : {-1, 1})
      c.Ring(b.cx + b.look * b.r * 0.35 + side * b.r * 0.35, b.headY + b.r * 0.1, b.r * 0.28, std::max(0.8, b.r * 0.1),
             kInk);
}

// The manager pays most: a dark suit, a red tie, and a money bag in the hand.
void Manager(Canvas& c, const Pictograms& p, const Body& b, uint32_t colour) {
  Legs(c, b, colour);
  Torso(c, b, colour);
  Arms(c, b, colour);
  if (!b.back) {
    c.Triangle(b.cx - b.r * 0.55, b.neck, b.cx + b.r * 0.55, b.neck, b.cx, b.neck + b.r * 1.2, kWhite);
    c.Triangle(b.cx - b.r * 0.2, b.neck + b.r * 0.2, b.cx + b.r * 0.2, b.neck + b.r * 0.2, b.cx, b.neck + b.r * 1.9,
               0xFFD32F2F);
  }
  Head(c, b, 0xFF424242);
  const double bag = b.r * 1.7;
  p.Draw(c, "moneybag", b.cx + b.torso / 2 - bag * 0.1, b.hip - bag * 0.55, bag, bag);
}

void Plain(Canvas& c, const Body& b, uint32_t colour) {
  Legs(c, b, Canvas::Scale(colour, 0.6));
  Torso(c, b, colour);
  Arms(c, b, colour);
  Head(c, b, Canvas::Scale(colour, 0.5));
}

}  // namespace

const std::map<std::string, std::string>& Figure::TradeSigns() {
  static const std::map<std::string, std::string> signs = {{"baker", "cake"},        {"juicer", "juice"},
                                                           {"cook", "sandwich"},     {"icecream", "icecream"},
                                                           {"smoothie", "smoothie"}, {"pizza", "pizza"}};
  return signs;
}

void Figure::Draw(Canvas& c, const Pictograms& p, double x, double y, double w, double h, const std::string& kind,
                  uint32_t colour, int frame, const std::string& facing) {
  const Body b = Measure(x, y, w, h, frame, facing);
  if (const auto sign = TradeSigns().find(kind); sign != TradeSigns().end())
    Worker(c, p, b, colour, sign->second);
  else if (kind == "std")
    Boss(c, b, colour);
  else if (kind == "girl")
    Girl(c, b, colour);
  else if (kind == "student")
    Student(c, b, colour);
  else if (kind == "granny")
    Granny(c, b, 0xFF9575CD);
  else if (kind == "manager")
    Manager(c, p, b, colour);
  else
    Plain(c, b, colour);
}

}  // namespace Content
