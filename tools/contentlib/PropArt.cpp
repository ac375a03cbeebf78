#include "contentlib/PropArt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Content {
namespace {

constexpr uint32_t kPlate = 0xFFF5F5F5;
constexpr uint32_t kMetal = 0xFF90A4AE;
constexpr uint32_t kShadow = 0xFF263238;

double Pulse(const CelRequest& cel) { return cel.of > 1 ? static_cast<double>(cel.frame) / (cel.of - 1) : 0; }

// A plate seen from the front: an oval as wide as the box, centred at cy, rx by ry.
void Oval(Canvas& c, double x, double y, double w, double h, double cy, double ry, uint32_t colour) {
  c.FillShape(
      x, y, x + w, y + h,
      [=](double px, double py) {
        const double dx = (px - x - w / 2) / (w / 2 - 0.5), dy = (py - cy) / ry;
        return (dx * dx + dy * dy - 1) * std::min(w, h) * 0.2;
      },
      colour);
}

// A plate low in the box, what lies on it above.
void Plate(Canvas& c, const Pictograms& p, double x, double y, double w, double h, const CelRequest& cel) {
  Oval(c, x, y, w, h, y + h * 0.78, h * 0.2, kPlate);
  if (cel.pictures.empty()) return c.Circle(x + w / 2, y + h * 0.75, std::min(w, h) * 0.15, cel.colour);
  PropArt::Row(c, p, x, y, w, h * 0.92, cel.pictures);
}

// A stack of clean plates: where the boss takes an empty one.
void Stack(Canvas& c, double x, double y, double w, double h, const CelRequest& cel) {
  for (int i = 0; i < 4; ++i) {
    const double cy = y + h * (0.8 - 0.17 * i);
    Oval(c, x, y, w, h, cy + 1.5, h * 0.17, Canvas::Scale(cel.colour, 0.75));  // the cafe's rim colour
    Oval(c, x, y, w, h, cy, h * 0.17, kPlate);
  }
}

// The coffee machine: a body with a light and knobs, a cup under the spout, a drip tray.
void Machine(Canvas& c, const Pictograms& p, double x, double y, double w, double h, const CelRequest& cel) {
  c.RoundRect(x + w * 0.08, y + 1, w * 0.84, h * 0.92, w * 0.1, cel.colour);
  c.RoundRect(x + w * 0.08, y + 1, w * 0.84, h * 0.2, w * 0.1, Canvas::Scale(cel.colour, 0.7));
  c.Circle(x + w * 0.25, y + h * 0.11, w * 0.05, cel.frame % 2 ? 0xFF66BB6A : 0xFFE53935);
  for (int i = 0; i < 2; ++i) c.Circle(x + w * (0.55 + i * 0.2), y + h * 0.11, w * 0.06, kMetal);
  c.RoundRect(x + w * 0.2, y + h * 0.3, w * 0.6, h * 0.5, w * 0.05, kShadow);
  c.Rect(x + w * 0.44, y + h * 0.3, w * 0.12, h * 0.1, kMetal);
  p.Draw(c, cel.pictures.empty() ? "coffee" : cel.pictures[0], x + w * 0.22, y + h * 0.42, w * 0.56, h * 0.38);
  c.Rect(x + w * 0.15, y + h * 0.8, w * 0.7, h * 0.05, kMetal);
}

// The wash stand: a cabinet, a basin with a tap, a sponge on the edge.
void Sink(Canvas& c, const Pictograms& p, double x, double y, double w, double h, const CelRequest& cel) {
  const double top = y + h * 0.42;
  c.Rect(x + w * 0.05, top, w * 0.9, h * 0.58 - 1, cel.colour);
  c.Rect(x + w * 0.49, top + h * 0.12, w * 0.02, h * 0.4, Canvas::Scale(cel.colour, 0.7));
  for (int side : {-1, 1}) c.Circle(x + w * (0.5 + side * 0.08), top + h * 0.3, w * 0.025, kShadow);
  c.RoundRect(x, top - h * 0.06, w, h * 0.1, h * 0.03, Canvas::Scale(cel.colour, 1.2));
  c.RoundRect(x + w * 0.12, top - h * 0.1, w * 0.5, h * 0.1, h * 0.04, 0xFF4FC3F7);     // water in the basin
  c.Line(x + w * 0.37, top - h * 0.1, x + w * 0.37, top - h * 0.32, w * 0.06, kMetal);  // the tap
  c.Line(x + w * 0.37, top - h * 0.32, x + w * 0.5, top - h * 0.32, w * 0.06, kMetal);
  c.Line(x + w * 0.5, top - h * 0.32, x + w * 0.5, top - h * 0.24, w * 0.05, kMetal);
  p.Draw(c, cel.pictures.empty() ? "wash" : cel.pictures[0], x + w * 0.62, top - h * 0.36, w * 0.36, h * 0.3);
}

// The trash bin: a tapered can with ridges; the lid lifts while it works.
void Bin(Canvas& c, double x, double y, double w, double h, const CelRequest& cel) {
  const double lift = std::sin(Pulse(cel) * std::numbers::pi) * h * 0.12, top = y + h * 0.22;
  const uint32_t dark = Canvas::Scale(cel.colour, 0.7);
  c.Triangle(x + w * 0.12, top, x + w * 0.88, top, x + w * 0.22, y + h - 1, cel.colour);
  c.Triangle(x + w * 0.88, top, x + w * 0.78, y + h - 1, x + w * 0.22, y + h - 1, cel.colour);
  for (int i = 1; i <= 3; ++i)
    c.Line(x + w * (0.2 + 0.15 * i), top + h * 0.1, x + w * (0.22 + 0.14 * i), y + h - 4, 1.5, dark);
  c.RoundRect(x + w * 0.06, top - h * 0.1 - lift, w * 0.88, h * 0.1, h * 0.04, dark);
  c.RoundRect(x + w * 0.4, top - h * 0.17 - lift, w * 0.2, h * 0.08, h * 0.03, dark);
}

// A crate or shelf box of a material, its pictogram large on the front; glows when ready.
void Crate(Canvas& c, const Pictograms& p, double x, double y, double w, double h, const CelRequest& cel) {
  const double glow = Pulse(cel);
  if (glow > 0)
    c.Circle(x + w / 2, y + h / 2, std::min(w, h) / 2 - 1,
             Canvas::WithAlpha(0xFFF59D, static_cast<uint32_t>(80 + 120 * glow)));
  c.RoundRect(x + w * 0.06, y + h * 0.45, w * 0.88, h * 0.53, w * 0.06, cel.colour);
  c.Rect(x + w * 0.06, y + h * 0.6, w * 0.88, h * 0.04, Canvas::Scale(cel.colour, 0.75));
  c.Rect(x + w * 0.06, y + h * 0.8, w * 0.88, h * 0.04, Canvas::Scale(cel.colour, 0.75));
  if (!cel.pictures.empty()) p.Draw(c, cel.pictures[0], x + w * 0.12, y + 1, w * 0.76, h * 0.76);
}

}  // namespace

const std::set<std::string>& PropArt::Shapes() {
  static const std::set<std::string> shapes = {"plate", "stack", "picture", "machine", "sink", "bin", "crate"};
  return shapes;
}

void PropArt::Row(Canvas& c, const Pictograms& p, double x, double y, double w, double h,
                  const std::vector<std::string>& pictures) {
  if (pictures.empty()) return;
  const double n = static_cast<double>(pictures.size());
  const double side = std::min(h, w / n), left = x + (w - side * n) / 2, top = y + (h - side) / 2;
  for (size_t i = 0; i < pictures.size(); ++i)
    p.Draw(c, pictures[i], left + side * static_cast<double>(i), top, side, side);
}

void PropArt::Draw(Canvas& c, const Pictograms& p, double x, double y, double w, double h, const CelRequest& cel) {
  if (cel.shape == "plate")
    Plate(c, p, x, y, w, h, cel);
  else if (cel.shape == "stack")
    Stack(c, x, y, w, h, cel);
  else if (cel.shape == "picture")
    Row(c, p, x + 1, y + 1 + cel.frame % 2, w - 2, h - 2, cel.pictures);
  else if (cel.shape == "machine")
    Machine(c, p, x, y, w, h, cel);
  else if (cel.shape == "sink")
    Sink(c, p, x, y, w, h, cel);
  else if (cel.shape == "bin")
    Bin(c, x, y, w, h, cel);
  else if (cel.shape == "crate")
    Crate(c, p, x, y, w, h, cel);
}

}  // namespace Content
