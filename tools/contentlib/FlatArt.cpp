#include "contentlib/FlatArt.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <sstream>
#include <tuple>
#include <vector>

#include "contentlib/Figure.h"
#include "contentlib/PropArt.h"

namespace Content {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kInk = 0xFF3B2A1E;
constexpr uint32_t kDisabled = 0xFFB0B0B0;
constexpr uint32_t kEmpty = 0xFFC8C8C8;

const std::map<std::string, uint32_t>& Palette() {
  static const std::map<std::string, uint32_t> palette = {{"c1", 0xD9A441},
                                                          {"c1up", 0xF2C94C},
                                                          {"c2", 0x3A9E9A},
                                                          {"c2up", 0x56CCC6},
                                                          {"c3", 0x8E5A9B},
                                                          {"c3up", 0xB68AC2},
                                                          {"std", 0x3F51B5},
                                                          {"paper", 0xF3E9D2},
                                                          {"girl", 0xE36D8C},
                                                          {"student", 0x5B8DEF},
                                                          {"granny", 0xA3A3A3},
                                                          {"manager", 0x37474F},
                                                          {"baker", 0xC58B4E},
                                                          {"juicer", 0xF29E38},
                                                          {"cook", 0x7CB342},
                                                          {"icecream", 0xF48FB1},
                                                          {"smoothie", 0xBA68C8},
                                                          {"pizza", 0xE53935},
                                                          {"coffee", 0x6D4C41},
                                                          {"tea", 0x8BC34A},
                                                          {"cocoa", 0x4E342E},
                                                          {"cake", 0xFFCC80},
                                                          {"ice_cream", 0xF8BBD0},
                                                          {"juice", 0xFFA726},
                                                          {"smoothie_drink", 0xCE93D8},
                                                          {"sandwich", 0xD7CCC8},
                                                          {"pizza_slice", 0xEF5350},
                                                          {"super", 0xFFD700},
                                                          {"wash", 0x90CAF9},
                                                          {"white", 0xFFFFFF},
                                                          {"black", 0x000000},
                                                          {"ink", 0x3B2A1E}};
  return palette;
}

// A small fixed generator for the seeded styles.
class Random {
 public:
  explicit Random(uint32_t seed) : mState(seed * 2654435761u + 1) {}
  double Next() {
    mState = mState * 1664525u + 1013904223u;
    return (mState >> 8) / 16777216.0;
  }

 private:
  uint32_t mState;
};

void Star(Canvas& c, double cx, double cy, double r, uint32_t colour) {
  for (int i = 0; i < 5; ++i) {
    const double a = -kPi / 2 + i * 2 * kPi / 5;
    c.Triangle(cx, cy, cx + r * std::cos(a), cy + r * std::sin(a), cx + r * 0.4 * std::cos(a + kPi / 5),
               cy + r * 0.4 * std::sin(a + kPi / 5), colour);
    c.Triangle(cx, cy, cx + r * std::cos(a), cy + r * std::sin(a), cx + r * 0.4 * std::cos(a - kPi / 5),
               cy + r * 0.4 * std::sin(a - kPi / 5), colour);
  }
}

void Heart(Canvas& c, double cx, double cy, double r, uint32_t colour) {
  c.Circle(cx - r * 0.45, cy - r * 0.25, r * 0.5, colour);
  c.Circle(cx + r * 0.45, cy - r * 0.25, r * 0.5, colour);
  c.Triangle(cx - r * 0.93, cy - r * 0.1, cx + r * 0.93, cy - r * 0.1, cx, cy + r * 0.85, colour);
}

std::string Option(const ArtRequest& request, const std::string& key, const std::string& fallback) {
  auto it = request.options.find(key);
  return it == request.options.end() ? fallback : it->second;
}

}  // namespace

const std::set<std::string>& FlatArt::Glyphs() {
  static const std::set<std::string> glyphs = {"arrow", "left",      "up",    "down",  "grip", "bin",   "calendar",
                                               "loop",  "door",      "star",  "tick",  "knob", "medal", "coin",
                                               "broom", "snowflake", "heart", "cross", "plus", "minus", "none"};
  return glyphs;
}

const std::set<std::string>& FlatArt::CelShapes() {
  static const std::set<std::string> shapes = [] {
    std::set<std::string> all = {"rect", "round", "figure", "bubble", "bar", "badge", "stain", "sparkle"};
    all.insert(PropArt::Shapes().begin(), PropArt::Shapes().end());
    return all;
  }();
  return shapes;
}

const std::map<std::string, std::set<std::string>>& FlatArt::Styles() {
  static const std::map<std::string, std::set<std::string>> styles = {
      {"solid", {"colour"}},
      {"gradient", {"top", "bottom"}},
      {"wood", {"colour"}},
      {"paper", {"colour", "gutter"}},
      {"sheet", {"dir"}},
      {"panel", {"colour", "border", "title"}},
      {"button4", {"colour", "shape", "glyph", "picture"}},
      {"icon", {"colour", "glyph", "label", "shape", "ink", "picture"}},
      {"photo", {"colour", "scene", "label"}},
      {"stamp", {"colour", "label"}},
      {"clock", {"hand"}},
      {"pie", {"fill", "picture"}},
      {"stars", {"n", "of"}},
      {"hearts", {"n", "of"}},
      {"token", {"colour", "glyph", "variant"}},
      {"cursor", {"kind"}},
      {"comic", {"seed", "scene"}},
      {"diagram", {"topic", "ground"}},
      {"puff", {"frame", "of", "cels"}},
      {"star", {"frame", "of", "cels"}},
      {"spinner", {"frame", "of", "cels"}},
      {"ring", {"frame", "of", "cels"}},
      {"bar", {"frame", "of", "cels"}},
      {"noise", {"colour", "seed"}},
      {"cel", {"colour", "shape", "frame", "of"}},
  };
  return styles;
}

bool FlatArt::Colour(const std::string& text, uint32_t& argb) {
  if (auto it = Palette().find(text); it != Palette().end()) return argb = 0xFF000000 | it->second, true;
  if (text.size() != 7 && text.size() != 9) return false;
  if (text[0] != '#' || text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos) return false;
  argb = static_cast<uint32_t>(std::strtoul(text.c_str() + 1, nullptr, 16));
  if (text.size() == 7) argb |= 0xFF000000;
  return true;
}

void FlatArt::DrawGlyph(Canvas& c, const std::string& glyph, double cx, double cy, double s, uint32_t col) {
  const double w = std::max(1.5, s * 0.12);
  if (glyph == "arrow" || glyph == "left") {
    const double d = glyph == "arrow" ? 1 : -1;
    c.Triangle(cx + d * s * 0.4, cy, cx - d * s * 0.3, cy - s * 0.4, cx - d * s * 0.3, cy + s * 0.4, col);
  } else if (glyph == "up" || glyph == "down") {
    const double d = glyph == "up" ? -1 : 1;
    c.Triangle(cx, cy + d * s * 0.4, cx - s * 0.4, cy - d * s * 0.3, cx + s * 0.4, cy - d * s * 0.3, col);
  } else if (glyph == "grip") {
    for (int i = -1; i <= 1; ++i) c.Line(cx - s * 0.35, cy + i * s * 0.25, cx + s * 0.35, cy + i * s * 0.25, w, col);
  } else if (glyph == "bin") {
    c.Rect(cx - s * 0.3, cy - s * 0.25, s * 0.6, s * 0.65, col);
    c.Rect(cx - s * 0.4, cy - s * 0.4, s * 0.8, s * 0.1, col);
  } else if (glyph == "calendar") {
    c.Rect(cx - s * 0.4, cy - s * 0.35, s * 0.8, s * 0.75, col);
    c.Rect(cx - s * 0.3, cy - s * 0.1, s * 0.6, s * 0.4, Canvas::Scale(col, 0.6));
  } else if (glyph == "loop") {
    c.Ring(cx, cy, s * 0.4, w * 1.5, col);
    c.Triangle(cx + s * 0.4, cy - s * 0.15, cx + s * 0.25, cy + s * 0.05, cx + s * 0.55, cy + s * 0.05, col);
  } else if (glyph == "door") {
    c.Rect(cx - s * 0.25, cy - s * 0.4, s * 0.5, s * 0.8, col);
    c.Circle(cx + s * 0.12, cy, s * 0.05, Canvas::Scale(col, 0.5));
  } else if (glyph == "star" || glyph == "medal") {
    if (glyph == "medal") c.Circle(cx, cy, s * 0.45, Canvas::Scale(col, 0.7));
    Star(c, cx, cy, s * 0.4, col);
  } else if (glyph == "tick") {
    c.Line(cx - s * 0.35, cy, cx - s * 0.1, cy + s * 0.3, w * 1.5, col);
    c.Line(cx - s * 0.1, cy + s * 0.3, cx + s * 0.4, cy - s * 0.35, w * 1.5, col);
  } else if (glyph == "knob" || glyph == "coin") {
    c.Circle(cx, cy, s * 0.35, col);
    c.Ring(cx, cy, s * 0.25, w, Canvas::Scale(col, 0.7));
  } else if (glyph == "broom") {
    c.Line(cx + s * 0.3, cy - s * 0.4, cx - s * 0.1, cy + s * 0.1, w, col);
    c.Triangle(cx - s * 0.1, cy + s * 0.05, cx - s * 0.45, cy + s * 0.4, cx + s * 0.1, cy + s * 0.4, col);
  } else if (glyph == "snowflake") {
    for (int i = 0; i < 3; ++i) {
      const double a = i * kPi / 3;
      c.Line(cx - s * 0.4 * std::cos(a), cy - s * 0.4 * std::sin(a), cx + s * 0.4 * std::cos(a),
             cy + s * 0.4 * std::sin(a), w, col);
    }
  } else if (glyph == "heart") {
    Heart(c, cx, cy, s * 0.45, col);
  } else if (glyph == "cross") {
    c.Line(cx - s * 0.3, cy - s * 0.3, cx + s * 0.3, cy + s * 0.3, w * 1.5, col);
    c.Line(cx - s * 0.3, cy + s * 0.3, cx + s * 0.3, cy - s * 0.3, w * 1.5, col);
  } else if (glyph == "plus" || glyph == "minus") {
    c.Line(cx - s * 0.3, cy, cx + s * 0.3, cy, w * 1.5, col);
    if (glyph == "plus") c.Line(cx, cy - s * 0.3, cx, cy + s * 0.3, w * 1.5, col);
  }
}

void FlatArt::DrawCel(Canvas& c, const Pictograms& pictograms, int x, int y, int w, int h, const CelRequest& cel) {
  const uint32_t dark = Canvas::Scale(cel.colour, 0.7);
  const double pulse = cel.of > 1 ? static_cast<double>(cel.frame) / (cel.of - 1) : 0;
  const double cx = x + w / 2.0, cy = y + h / 2.0, r = std::min(w, h) / 2.0 - 1;
  if (cel.shape == "rect") {
    c.Rect(x, y, w, h, cel.colour);
    c.Rect(x, y + h - std::max(2, h / 8), w, std::max(2, h / 8), dark);
  } else if (cel.shape == "round") {
    c.RoundRect(x + 1, y + 1, w - 2, h - 2, std::min(w, h) / 4.0, cel.colour);
    c.Rect(x + w * 0.2, y + h * 0.1 + pulse * 2, w * 0.6, 2, dark);
  } else if (cel.shape == "figure") {
    Figure::Draw(c, pictograms, x + 2, y + 1, w - 4, h - 2, cel.kind, cel.colour, cel.frame, cel.orient);
  } else if (cel.shape == "bubble") {
    c.RoundRect(x + 1, y + 1, w - 2, h * 0.75, 6, kWhite);
    c.Triangle(x + w * 0.3, y + h * 0.7, x + w * 0.5, y + h * 0.7, x + w * 0.3, y + h - 1, kWhite);
    c.Circle(cx, y + h * 0.38, std::min(w, h) * 0.18 * (1 + 0.2 * pulse), cel.colour);
  } else if (cel.shape == "bar") {
    const int segments = std::max(1, cel.of - 1), filled = cel.frame;
    for (int i = 0; i < segments; ++i) {
      const double segment = static_cast<double>(h) / segments;
      c.Rect(x, y + h - (i + 1) * segment + 0.5, w, segment - 1, i < filled ? kWhite : 0x40FFFFFF);
    }
  } else if (cel.shape == "badge") {
    c.Circle(cx, cy, r, cel.colour);
    Star(c, cx, cy, r * 0.6, kWhite);
  } else if (cel.shape == "stain") {
    // Dark spills and a cup's ring, so that a dirty table reads as dirty on any light top; the
    // game fades them in by how dirty the place is.
    const uint32_t spill = Canvas::WithAlpha(Canvas::Scale(cel.colour, 0.5), 0xD0);
    c.Circle(cx - r * 0.35, cy, r * 0.5, spill);
    c.Circle(cx - r * 0.05, cy + r * 0.25, r * 0.3, spill);
    c.Circle(cx + r * 0.75, cy - r * 0.35, r * 0.15, spill);
    c.Ring(cx + r * 0.45, cy + r * 0.1, r * 0.32, std::max(1.5, r * 0.08), spill);
  } else if (cel.shape == "sparkle") {
    // Soap bubbles and glints that rise and fade: the last frame leaves next to nothing behind.
    const uint32_t alpha = static_cast<uint32_t>(255 * (1 - 0.9 * pulse));
    const double rise = pulse * h * 0.2;
    for (const auto& [bx, by, br] :
         {std::tuple{-0.45, 0.35, 0.22}, {0.3, 0.45, 0.16}, {0.05, -0.1, 0.28}, {-0.2, 0.75, 0.12}})
      c.Ring(cx + bx * r, cy + by * r - rise, br * r, std::max(1.0, r * 0.06), Canvas::WithAlpha(cel.colour, alpha));
    Star(c, cx + r * 0.5, cy - r * 0.45 - rise, r * (0.25 + 0.1 * pulse), Canvas::WithAlpha(0xFFFFFF, alpha));
    Star(c, cx - r * 0.55, cy - r * 0.2 - rise, r * 0.16, Canvas::WithAlpha(0xFFFFFF, alpha));
  } else {
    PropArt::Draw(c, pictograms, x, y, w, h, cel);
  }
}

// One picture being drawn: the request's options, the canvas and the label painter.
class FlatArt::Context {
 public:
  Context(FlatArt& art, const ArtRequest& request, Picture& picture, std::string& error)
      : mArt(art), mRequest(request), mCanvas(picture), mError(error), w(request.width), h(request.height) {}

  bool Colour(const std::string& key, const std::string& fallback, uint32_t& out) {
    const std::string text = Option(mRequest, key, fallback);
    if (!FlatArt::Colour(text, out)) return mError = "unknown colour '" + text + "' for " + key, false;
    return true;
  }
  bool Int(const std::string& key, int fallback, int low, int high, int& out) {
    const std::string text = Option(mRequest, key, std::to_string(fallback));
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < low || v > high)
      return mError = key + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high),
             false;
    out = static_cast<int>(v);
    return true;
  }
  bool Word(const std::string& key, const std::string& fallback, const std::set<std::string>& allowed,
            std::string& out) {
    out = Option(mRequest, key, fallback);
    if (!allowed.count(out)) return mError = "unknown " + key + " '" + out + "'", false;
    return true;
  }
  bool Label(const std::string& text, int x, int y, int lw, int lh, uint32_t colour) {
    if (text.empty() || lw <= 0 || lh <= 0) return true;
    std::string words = text;
    for (char& ch : words) ch = ch == '_' ? ' ' : ch;  // labels are written with '_' for blanks
    return mArt.mRasterizer.DrawLabel(mArt.mFontsDir + "/DejaVuSans.ttf", words, mCanvas.Target(), x, y, lw, lh, colour,
                                      mError);
  }
  std::string Text(const std::string& key) const { return Option(mRequest, key, ""); }
  // A comma-separated list of pictograms; false when one is unknown.
  bool Pictures(const std::string& key, std::vector<std::string>& out) {
    std::stringstream list(Text(key));
    for (std::string name; std::getline(list, name, ',');) {
      if (!Pictograms::Names().count(name)) return mError = "unknown picture '" + name + "'", false;
      out.push_back(name);
    }
    return true;
  }
  const Pictograms& Pictures() const { return mArt.mPictograms; }

  FlatArt& mArt;
  const ArtRequest& mRequest;
  Canvas mCanvas;
  std::string& mError;
  const int w, h;
};

namespace {

using Ctx = FlatArt::Context;

bool Solid(Ctx& x) {
  uint32_t c;
  if (!x.Colour("colour", "c1", c)) return false;
  x.mCanvas.Rect(0, 0, x.w, x.h, c);
  return true;
}

bool Gradient(Ctx& x) {
  uint32_t top, bottom;
  if (!x.Colour("top", "#FFFFFF", top) || !x.Colour("bottom", "c1", bottom)) return false;
  x.mCanvas.Gradient(top, bottom);
  return true;
}

bool Wood(Ctx& x) {
  uint32_t c;
  if (!x.Colour("colour", "c1", c)) return false;
  x.mCanvas.Gradient(Canvas::Scale(c, 1.1), Canvas::Scale(c, 0.85));
  for (int y = 40; y < x.h; y += 40) x.mCanvas.Rect(0, y - 1, x.w, 2, Canvas::WithAlpha(Canvas::Scale(c, 0.5), 0xA0));
  return true;
}

bool Paper(Ctx& x) {
  uint32_t c;
  int gutter;
  if (!x.Colour("colour", "paper", c) || !x.Int("gutter", 0, 0, x.w, gutter)) return false;
  Canvas& k = x.mCanvas;
  k.Rect(0, 0, x.w, x.h, c);
  for (int y = 24; y < x.h; y += 24) k.Rect(8, y, x.w - 16, 1, 0x203B2A1E);
  if (gutter > 0)
    for (int d = 0; d < 8; ++d) k.Rect(gutter - d, 0, 1, x.h, Canvas::WithAlpha(0x000000, 0x30 - d * 5));
  const uint32_t edge = Canvas::Scale(c, 0.7);
  k.Rect(0, 0, x.w, 1, edge), k.Rect(0, x.h - 1, x.w, 1, edge), k.Rect(0, 0, 1, x.h, edge),
      k.Rect(x.w - 1, 0, 1, x.h, edge);
  return true;
}

bool Sheet(Ctx& x) {
  std::string dir;
  uint32_t paper;
  if (!x.Word("dir", "f", {"f", "b"}, dir) || !x.Colour("colour", "paper", paper)) return false;
  Canvas& k = x.mCanvas;
  k.RoundRect(4, 4, x.w - 8, x.h - 8, 4, paper);
  const double fold = std::min(x.w, x.h) * 0.2, edge = dir == "f" ? x.w - 4 : 4, in = dir == "f" ? -fold : fold;
  k.Triangle(edge, 4, edge + in, 4, edge, 4 + fold, Canvas::Scale(paper, 0.75));
  k.Rect(dir == "f" ? x.w - 10 : 4, 4, 6, x.h - 8, 0x30000000);
  return true;
}

bool Panel(Ctx& x) {
  uint32_t c, border;
  if (!x.Colour("colour", "paper", c) || !x.Colour("border", "c1", border)) return false;
  if (c >> 24 == 0) {
    // A see-through panel is its frame alone: what lies under it stays in sight.
    const int edge = 4;
    x.mCanvas.Rect(0, 0, x.w, edge, border), x.mCanvas.Rect(0, x.h - edge, x.w, edge, border);
    x.mCanvas.Rect(0, edge, edge, x.h - 2 * edge, border),
        x.mCanvas.Rect(x.w - edge, edge, edge, x.h - 2 * edge, border);
    return true;
  }
  x.mCanvas.RoundRect(0, 0, x.w, x.h, 8, border);
  x.mCanvas.RoundRect(2, 2, x.w - 4, x.h - 4, 6, c);
  return x.Label(x.Text("title"), 8, 4, x.w - 16, std::min(28, x.h / 4), kInk);
}

void ButtonShape(Canvas& k, const std::string& shape, double y, int w, int h, uint32_t colour) {
  if (shape == "round") {
    k.RoundRect(0, y, w, h, h / 2.0, colour);
  } else if (shape == "ribbon") {
    k.Rect(h / 4.0, y, w - h / 2.0, h, colour);
    k.Triangle(0, y, h / 4.0, y, h / 4.0, y + h, colour);
    k.Triangle(w, y + h, w - h / 4.0, y, w - h / 4.0, y + h, colour);
  } else if (shape == "tab") {
    k.RoundRect(0, y, w, h, 6, colour);
    k.Rect(0, y + h / 2.0, w, h / 2.0, colour);
  } else {
    k.RoundRect(0, y, w, h, 4, colour);
  }
}

bool Button4(Ctx& x) {
  uint32_t c;
  std::string shape, glyph;
  std::vector<std::string> pictures;
  if (!x.Colour("colour", "c1", c) || !x.Word("shape", "square", {"round", "square", "ribbon", "tab"}, shape) ||
      !x.Word("glyph", "none", FlatArt::Glyphs(), glyph) || !x.Pictures("picture", pictures))
    return false;
  if (x.h % 4 != 0) return x.mError = "button4 needs a height divisible by 4 (four states)", false;
  const int state = x.h / 4;
  const uint32_t colours[4] = {c, Canvas::Scale(c, 1.2), Canvas::Scale(c, 0.8), kDisabled};
  for (int s = 0; s < 4; ++s) {
    const int shift = s == 2 ? 1 : 0;
    Picture face(x.w, state);
    Canvas k(face);
    ButtonShape(k, shape, 0, x.w - 1, state - 1, colours[s]);
    FlatArt::DrawGlyph(k, glyph, x.w / 2.0, state / 2.0, std::min(x.w, state) * 0.6, kWhite);
    PropArt::Row(k, x.Pictures(), x.w * 0.08, state * 0.12, x.w * 0.84, state * 0.76, pictures);
    for (int yy = 0; yy + shift < state; ++yy)
      for (int xx = 0; xx + shift < x.w; ++xx)
        x.mCanvas.Target().At(xx + shift, s * state + yy + shift) = face.At(xx, yy);
  }
  return true;
}

bool Icon(Ctx& x) {
  uint32_t c, ink;
  std::string glyph, shape;
  std::vector<std::string> pictures;
  // A white glyph reads on the palette's colours; a light face needs a dark ink.
  if (!x.Colour("colour", "c1", c) || !x.Colour("ink", "#FFFFFF", ink) ||
      !x.Word("glyph", "star", FlatArt::Glyphs(), glyph) || !x.Word("shape", "circle", {"circle", "square"}, shape) ||
      !x.Pictures("picture", pictures))
    return false;
  const bool labelled = !x.Text("label").empty();
  const int side = std::min(x.w, labelled ? x.h * 3 / 4 : x.h);
  if (shape == "circle")
    x.mCanvas.Circle(x.w / 2.0, side / 2.0, side / 2.0 - 1, c);
  else
    x.mCanvas.RoundRect((x.w - side) / 2.0, 0, side, side, side / 5.0, c);
  if (pictures.empty()) {
    FlatArt::DrawGlyph(x.mCanvas, glyph, x.w / 2.0, side / 2.0, side * 0.7, ink);
  } else {
    // The pictogram says what; the glyph, small in a corner, says how (a tick: it never happened).
    PropArt::Row(x.mCanvas, x.Pictures(), (x.w - side * 0.64) / 2.0, side * 0.18, side * 0.64, side * 0.64, pictures);
    if (glyph != "none") {
      x.mCanvas.Circle(x.w / 2.0 + side * 0.3, side * 0.76, side * 0.2, Canvas::Scale(c, 0.6));
      FlatArt::DrawGlyph(x.mCanvas, glyph, x.w / 2.0 + side * 0.3, side * 0.76, side * 0.32, kWhite);
    }
  }
  return x.Label(x.Text("label"), 0, side, x.w, x.h - side, kInk);
}

bool Photo(Ctx& x) {
  uint32_t c;
  std::string scene;
  if (!x.Colour("colour", "c1", c) || !x.Word("scene", "cafe", {"cafe", "cup", "day", "object"}, scene)) return false;
  Canvas& k = x.mCanvas;
  k.Gradient(0xFFBFE3F5, Canvas::Scale(c, 1.2));
  const double ground = x.h * 0.75, cx = x.w / 2.0, s = std::min(x.w, x.h) * 0.4;
  k.Rect(0, ground, x.w, x.h - ground, Canvas::Scale(c, 0.6));
  if (scene == "cafe") {
    k.Rect(cx - s, ground - s, 2 * s, s, c);
    k.Triangle(cx - s * 1.2, ground - s, cx + s * 1.2, ground - s, cx, ground - s * 1.7, Canvas::Scale(c, 0.7));
    k.Rect(cx - s * 0.2, ground - s * 0.6, s * 0.4, s * 0.6, Canvas::Scale(c, 0.5));
  } else if (scene == "cup") {
    k.RoundRect(cx - s * 0.5, ground - s, s, s, s * 0.2, kWhite);
    k.Ring(cx + s * 0.55, ground - s * 0.5, s * 0.25, 3, kWhite);
  } else if (scene == "day") {
    k.Circle(x.w * 0.75, x.h * 0.25, s * 0.35, 0xFFFFD54F);
  } else {
    k.Circle(cx, ground - s * 0.5, s * 0.5, c);
  }
  return x.Label(x.Text("label"), 2, static_cast<int>(ground), x.w - 4, x.h - static_cast<int>(ground), kWhite);
}

bool Stamp(Ctx& x) {
  uint32_t c;
  if (!x.Colour("colour", "pizza", c)) return false;
  // Drawn level in a scratch picture, then turned by 8 degrees into the target.
  Picture level(x.w, x.h);
  Canvas k(level);
  const double inset = std::min(x.w, x.h) * 0.12;
  k.RoundRect(inset, inset, x.w - 2 * inset, x.h - 2 * inset, 8, c);
  k.RoundRect(inset + 3, inset + 3, x.w - 2 * inset - 6, x.h - 2 * inset - 6, 6, 0xFFFFFFFF);
  k.RoundRect(inset + 5, inset + 5, x.w - 2 * inset - 10, x.h - 2 * inset - 10, 5, c);
  FlatArt::Context inner(x.mArt, x.mRequest, level, x.mError);
  if (!inner.Label(x.Text("label"), static_cast<int>(inset + 8), static_cast<int>(inset + 6),
                   static_cast<int>(x.w - 2 * inset - 16), static_cast<int>(x.h - 2 * inset - 12), kWhite))
    return false;
  const double a = 8 * kPi / 180, cs = std::cos(a), sn = std::sin(a);
  for (int y = 0; y < x.h; ++y)
    for (int xx = 0; xx < x.w; ++xx) {
      const double dx = xx - x.w / 2.0, dy = y - x.h / 2.0;
      const int sx = static_cast<int>(std::lround(cs * dx + sn * dy + x.w / 2.0));
      const int sy = static_cast<int>(std::lround(-sn * dx + cs * dy + x.h / 2.0));
      if (level.Inside(sx, sy)) x.mCanvas.Target().At(xx, y) = level.At(sx, sy);
    }
  return true;
}

bool Clock(Ctx& x) {
  int hand;
  if (!x.Int("hand", 0, 0, 360, hand)) return false;
  const double cx = x.w / 2.0, cy = x.h / 2.0, r = std::min(x.w, x.h) / 2.0 - 1;
  Canvas& k = x.mCanvas;
  k.Circle(cx, cy, r, kWhite);
  k.Ring(cx, cy, r, std::max(1.5, r * 0.1), kInk);
  for (int i = 0; i < 12; ++i) {
    const double a = i * kPi / 6;
    k.Line(cx + r * 0.75 * std::sin(a), cy - r * 0.75 * std::cos(a), cx + r * 0.85 * std::sin(a),
           cy - r * 0.85 * std::cos(a), 1, kInk);
  }
  const double a = hand * kPi / 180;
  k.Line(cx, cy, cx + r * 0.7 * std::sin(a), cy - r * 0.7 * std::cos(a), std::max(1.5, r * 0.12), 0xFFC62828);
  return true;
}

bool Pie(Ctx& x) {
  int fill;
  uint32_t c;
  std::vector<std::string> pictures;
  if (!x.Int("fill", 0, 0, 7, fill) || !FlatArt::Colour("c2", c) || !x.Pictures("picture", pictures)) return false;
  const double cx = x.w / 2.0, cy = x.h / 2.0, r = std::min(x.w, x.h) / 2.0 - 1;
  x.mCanvas.Circle(cx, cy, r, kEmpty);
  const double sweep = 2 * kPi * fill / 7;
  x.mCanvas.Fill(
      0, 0, x.w, x.h,
      [=](double px, double py) {
        double a = std::atan2(px - cx, cy - py);
        if (a < 0) a += 2 * kPi;
        return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r && a < sweep;
      },
      c);
  PropArt::Row(x.mCanvas, x.Pictures(), cx - r * 0.6, cy - r * 0.6, r * 1.2, r * 1.2, pictures);
  return true;
}

bool Symbols(Ctx& x, bool hearts) {
  int n, of;
  uint32_t c;
  if (!x.Int("of", 5, 1, 20, of) || !x.Int("n", 0, 0, of, n) || !FlatArt::Colour(hearts ? "pizza" : "super", c))
    return false;
  const double cell = static_cast<double>(x.w) / of, r = std::min(cell, static_cast<double>(x.h)) / 2 - 1;
  for (int i = 0; i < of; ++i) {
    const double cx = cell * (i + 0.5), cy = x.h / 2.0;
    if (hearts)
      Heart(x.mCanvas, cx, cy, r, i < n ? c : kEmpty);
    else
      Star(x.mCanvas, cx, cy, r, i < n ? c : kEmpty);
  }
  return true;
}

bool Token(Ctx& x) {
  uint32_t c;
  std::string glyph, variant;
  if (!x.Colour("colour", "super", c) || !x.Word("glyph", "coin", FlatArt::Glyphs(), glyph) ||
      !x.Word("variant", "plain", {"plain", "s", "e"}, variant))
    return false;
  const double cx = x.w / 2.0, cy = x.h / 2.0, r = std::min(x.w, x.h) / 2.0 - 1;
  Canvas& k = x.mCanvas;
  if (variant == "e") {
    for (int i = 0; i < 12; ++i) {
      const double a = i * kPi / 6;
      k.Triangle(cx, cy, cx + r * std::cos(a - 0.12), cy + r * std::sin(a - 0.12), cx + r * std::cos(a + 0.12),
                 cy + r * std::sin(a + 0.12), Canvas::WithAlpha(c, 0xC0));
    }
    k.Circle(cx, cy, r * 0.45, c);
    return true;
  }
  k.Circle(cx, cy, r, c);
  if (variant == "s") k.Ring(cx, cy, r, 2, kWhite);
  FlatArt::DrawGlyph(k, glyph, cx, cy, r * 1.3, kWhite);
  return true;
}

bool Cursor(Ctx& x) {
  std::string kind;
  if (!x.Word("kind", "arrow", {"arrow", "hand", "ibeam"}, kind)) return false;
  Canvas& k = x.mCanvas;
  const double s = std::min(x.w, x.h) - 2;
  auto shape = [&](double grow, uint32_t colour) {
    if (kind == "arrow") {
      k.Triangle(1 - grow, 1 - grow * 2, 1 - grow, s * 0.8 + grow, s * 0.6 + grow * 2, s * 0.6, colour);
      k.Line(s * 0.25, s * 0.5, s * 0.45, s * 0.95, s * 0.14 + grow * 2, colour);
    } else if (kind == "hand") {
      k.RoundRect(s * 0.2 - grow, s * 0.45 - grow, s * 0.6 + 2 * grow, s * 0.5 + 2 * grow, s * 0.1, colour);
      k.RoundRect(s * 0.3 - grow, 1 - grow, s * 0.15 + 2 * grow, s * 0.6, s * 0.07, colour);
    } else {
      k.Rect(s * 0.45 - grow, 1 - grow, s * 0.1 + 2 * grow, s - 1 + 2 * grow, colour);
      k.Rect(s * 0.3 - grow, 1 - grow, s * 0.4 + 2 * grow, s * 0.08 + 2 * grow, colour);
      k.Rect(s * 0.3 - grow, s - s * 0.08 - grow, s * 0.4 + 2 * grow, s * 0.08 + 2 * grow, colour);
    }
  };
  shape(1, kWhite);
  shape(0, kBlack);
  return true;
}

// What stands behind the people of one comic panel.
void ComicBackdrop(Canvas& k, const std::string& scene, double left, double top, double w, double h) {
  const double ground = top + h * 0.72;
  if (scene == "street") {
    k.Rect(left, top, w, ground - top, 0xFFBFE3F5);
    k.Rect(left + w * 0.08, top + h * 0.12, w * 0.84, ground - top - h * 0.12, 0xFFD9A441);
    for (int stripe = 0; stripe < 6; ++stripe)
      k.Rect(left + w * 0.06 + stripe * w * 0.148, top + h * 0.1, w * 0.148, h * 0.08,
             stripe % 2 ? kWhite : 0xFFC62828);
    k.Rect(left + w * 0.16, top + h * 0.3, w * 0.26, h * 0.2, 0xFF90CAF9);
    k.Rect(left + w * 0.58, top + h * 0.3, w * 0.22, ground - top - h * 0.3, 0xFF6D4C41);
    k.Rect(left, ground, w, top + h - ground, 0xFFB0BEC5);
    return;
  }
  k.Rect(left, top, w, ground - top, 0xFFF3E9D2);
  k.Rect(left, ground, w, top + h - ground, scene == "kitchen" ? 0xFFCFD8DC : 0xFFD7B98E);
  if (scene == "kitchen") {
    // The workers' tables along the back wall.
    k.Rect(left + w * 0.05, ground - h * 0.16, w * 0.9, h * 0.16, 0xFF8D6E63);
    k.Rect(left + w * 0.05, ground - h * 0.16, w * 0.9, h * 0.025, 0xFFA1887F);
  } else {
    // A picture on the wall and a table with a cup.
    k.Rect(left + w * 0.62, top + h * 0.12, w * 0.26, h * 0.16, 0xFF90CAF9);
    k.Rect(left + w * 0.6, ground - h * 0.02, w * 0.32, h * 0.05, 0xFF8D6E63);
    k.RoundRect(left + w * 0.72, ground - h * 0.07, w * 0.07, h * 0.05, 2, kWhite);
  }
}

// Two panels, one under each page's caption: the boss in her dress beside a guest or a worker of
// the cafe, drawn as the cafe draws them; the caption strip lies on the paper below the picture.
bool Comic(Ctx& x) {
  int seed;
  std::string scene;
  if (!x.Int("seed", 1, 0, 1000000, seed) || !x.Word("scene", "cafe", {"cafe", "kitchen", "street"}, scene))
    return false;
  static const std::vector<std::string> guests = {"girl", "student", "granny", "manager"};
  static const std::vector<std::string> workers = {"baker", "juicer", "cook", "icecream"};
  Random random(static_cast<uint32_t>(seed));
  Canvas& k = x.mCanvas;
  k.Rect(0, 0, x.w, x.h, 0xFF3B2A1E);
  const double panel = (x.w - 6) / 2.0, pictureHeight = x.h * 0.76;
  for (int p = 0; p < 2; ++p) {
    const double left = 2 + p * (panel + 2);
    k.Rect(left, 2, panel, x.h - 4, 0xFFF7F1E3);
    ComicBackdrop(k, scene, left + 8, 10, panel - 16, pictureHeight - 12);
    const std::vector<std::string>& others = scene == "kitchen" ? workers : guests;
    const std::string other = others[static_cast<size_t>(random.Next() * others.size()) % others.size()];
    uint32_t otherColour = 0xFF8D6E63;
    FlatArt::Colour(other, otherColour);
    const double fw = panel * 0.3, fh = pictureHeight * 0.62, feet = 10 + (pictureHeight - 12) * 0.9;
    const bool bossLeft = random.Next() < 0.5;
    Figure::Draw(k, x.Pictures(), left + panel * (bossLeft ? 0.14 : 0.56), feet - fh, fw, fh, "std", 0xFF3F51B5, p,
                 bossLeft ? "br" : "bl");
    Figure::Draw(k, x.Pictures(), left + panel * (bossLeft ? 0.56 : 0.14), feet - fh, fw, fh, other, otherColour, p + 1,
                 bossLeft ? "bl" : "br");
  }
  return true;
}

// The help page's table: every product, who or what makes it, and the sign of a guest who has
// not ordered yet.
struct ProductCard {
  const char* picture;
  const char* name;
  const char* maker;
};
constexpr ProductCard kProductCards[] = {{"coffee", "Coffee", "coffee_machine"},
                                         {"tea", "Tea", "tea_box"},
                                         {"cocoa", "Cocoa", "cocoa_box"},
                                         {"cake", "Cake", "baker"},
                                         {"juice", "Juice", "juicer"},
                                         {"sandwich", "Sandwich", "cook"},
                                         {"icecream", "Ice_cream", "ice_cream_maker"},
                                         {"smoothie", "Smoothie", "smoothie_maker"},
                                         {"pizza", "Pizza", "pizza_baker"},
                                         {"super", "Super_dish", "now_and_then"},
                                         {"wash", "Cloth", "wash_stand"},
                                         {"ready", "Not_ordered", "click_the_guest"}};

// Two columns on a page-high picture, four on a wide one; the names stay large enough to read on
// an 800 x 600 screen either way.
bool ProductTable(Ctx& x) {
  constexpr int kCards = sizeof kProductCards / sizeof kProductCards[0];
  const int columns = x.w > x.h ? 4 : 2, rows = kCards / columns;
  const double cw = static_cast<double>(x.w) / columns, ch = static_cast<double>(x.h) / rows;
  const int nameLine = static_cast<int>(ch * 0.3), makerLine = static_cast<int>(ch * 0.28);
  const double side = ch - nameLine - makerLine - 4;
  for (int i = 0; i < kCards; ++i) {
    const ProductCard& card = kProductCards[i];
    const int left = static_cast<int>(cw * (i % columns)), top = static_cast<int>(ch * (i / columns));
    x.Pictures().Draw(x.mCanvas, card.picture, left + (cw - side) / 2, top + 2, side, side);
    const int nameTop = top + static_cast<int>(side) + 3;
    if (!x.Label(card.name, left + 1, nameTop, static_cast<int>(cw) - 2, nameLine, kInk) ||
        !x.Label(card.maker, left + 1, nameTop + nameLine, static_cast<int>(cw) - 2, makerLine, 0xFF5D4037))
      return false;
  }
  return true;
}

// A sketch of one topic: the person at the left, what the topic is about at the right. On its own
// paper-coloured ground, or with ground=none straight on the page it lies on, whose ruling then
// runs on through it.
bool Diagram(Ctx& x) {
  std::string topic, ground;
  if (!x.Word("topic", "boss", {"boss", "guest", "worker", "tray", "products"}, topic) ||
      !x.Word("ground", "paper", {"paper", "none"}, ground))
    return false;
  Canvas& k = x.mCanvas;
  if (ground == "paper") k.Rect(0, 0, x.w, x.h, 0xFFF3E9D2);
  if (topic == "products") return ProductTable(x);
  const double s = std::min(x.w, x.h);
  static const std::map<std::string, std::pair<std::string, uint32_t>> people = {{"boss", {"std", 0xFF3F51B5}},
                                                                                 {"guest", {"girl", 0xFFE36D8C}},
                                                                                 {"worker", {"baker", 0xFFC58B4E}},
                                                                                 {"tray", {"std", 0xFF3F51B5}}};
  const auto& [kind, colour] = people.at(topic);
  Figure::Draw(k, x.Pictures(), x.w * 0.2, x.h * 0.2, s * 0.3, s * 0.6, kind, colour, 0, "br");
  const int bx = static_cast<int>(x.w * 0.5), side = static_cast<int>(s * 0.3);
  if (topic == "boss")
    FlatArt::DrawCel(k, x.Pictures(), bx, static_cast<int>(x.h * 0.3), side, side,
                     {"plate", 0xFF6D4C41, 0, 1, "", "", {"coffee"}});
  if (topic == "guest") {
    FlatArt::DrawCel(k, x.Pictures(), bx, static_cast<int>(x.h * 0.1), static_cast<int>(s * 0.4),
                     static_cast<int>(s * 0.35), {"bubble", kWhite, 0, 1, "", "", {}});
    x.Pictures().Draw(k, "cake", bx + s * 0.1, x.h * 0.1 + s * 0.04, s * 0.2, s * 0.18);
  }
  if (topic == "worker") k.Rect(x.w * 0.5, x.h * 0.55, x.w * 0.4, x.h * 0.1, 0xFF8D6E63);
  if (topic == "tray")
    for (int i = 0; i < 4; ++i) k.Circle(x.w * (0.5 + 0.1 * i), x.h * 0.5, s * 0.05, 0xFFFFD700);
  return true;
}

bool Frames(Ctx& x) {
  int of, frame;
  if (!x.Int("of", 8, 1, 64, of) || !x.Int("frame", 0, 0, of - 1, frame)) return false;
  const double t = static_cast<double>(frame) / of, cx = x.w / 2.0, cy = x.h / 2.0;
  const double r = std::min(x.w, x.h) / 2.0 - 1;
  Canvas& k = x.mCanvas;
  const std::string& style = x.mRequest.style;
  if (style == "puff") {
    k.Circle(cx, cy + r * (0.4 - t), r * (0.3 + 0.4 * t),
             Canvas::WithAlpha(0xFFFFFF, static_cast<uint32_t>(200 * (1 - t))));
  } else if (style == "star") {
    Star(k, cx, cy, r * (0.4 + 0.6 * std::sin(kPi * (t + 0.5 / of))), 0xFFFFF59D);
  } else if (style == "spinner") {
    for (int i = 0; i < 8; ++i) {
      const double a = 2 * kPi * (i / 8.0 + t);
      k.Circle(cx + r * 0.7 * std::cos(a), cy + r * 0.7 * std::sin(a), r * 0.15,
               Canvas::WithAlpha(0xFFFFFF, 60 + 24 * i));
    }
  } else if (style == "ring") {
    k.Ring(cx, cy, r * (0.3 + 0.7 * t), std::max(1.5, r * 0.15),
           Canvas::WithAlpha(0xD9A441, static_cast<uint32_t>(255 * (1 - t * 0.8))));
  } else {
    k.RoundRect(0, 0, x.w, x.h, x.h / 2.0, 0x60000000);
    k.RoundRect(1, 1, (x.w - 2) * (frame + 1.0) / of, x.h - 2, (x.h - 2) / 2.0, 0xFFD9A441);
  }
  return true;
}

bool NoiseStyle(Ctx& x) {
  uint32_t c;
  int seed;
  if (!x.Colour("colour", "c1", c) || !x.Int("seed", 1, 0, 1000000, seed)) return false;
  // Value noise on an 8 px grid, smoothly interpolated, plus a little grain.
  Random random(static_cast<uint32_t>(seed));
  const int gw = x.w / 8 + 2, gh = x.h / 8 + 2;
  std::vector<double> grid(static_cast<size_t>(gw) * gh);
  for (double& g : grid) g = random.Next();
  for (int y = 0; y < x.h; ++y)
    for (int xx = 0; xx < x.w; ++xx) {
      const int gx = xx / 8, gy = y / 8;
      const double fx = (xx % 8) / 8.0, fy = (y % 8) / 8.0;
      const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
      auto at = [&](int i, int j) { return grid[static_cast<size_t>(j) * gw + i]; };
      const double v = (at(gx, gy) * (1 - sx) + at(gx + 1, gy) * sx) * (1 - sy) +
                       (at(gx, gy + 1) * (1 - sx) + at(gx + 1, gy + 1) * sx) * sy;
      x.mCanvas.Target().At(xx, y) = Canvas::Scale(c, 0.8 + 0.3 * v + 0.05 * random.Next());
    }
  return true;
}

bool Cel(Ctx& x) {
  CelRequest cel;
  if (!x.Colour("colour", "c1", cel.colour) || !x.Word("shape", "rect", FlatArt::CelShapes(), cel.shape) ||
      !x.Int("of", 1, 1, 64, cel.of) || !x.Int("frame", 0, 0, cel.of - 1, cel.frame))
    return false;
  FlatArt::DrawCel(x.mCanvas, x.Pictures(), 0, 0, x.w, x.h, cel);
  return true;
}

const std::map<std::string, std::function<bool(Ctx&)>>& Painters() {
  static const std::map<std::string, std::function<bool(Ctx&)>> painters = {
      {"solid", Solid},
      {"gradient", Gradient},
      {"wood", Wood},
      {"paper", Paper},
      {"sheet", Sheet},
      {"panel", Panel},
      {"button4", Button4},
      {"icon", Icon},
      {"photo", Photo},
      {"stamp", Stamp},
      {"clock", Clock},
      {"pie", Pie},
      {"stars", [](Ctx& x) { return Symbols(x, false); }},
      {"hearts", [](Ctx& x) { return Symbols(x, true); }},
      {"token", Token},
      {"cursor", Cursor},
      {"comic", Comic},
      {"diagram", Diagram},
      {"puff", Frames},
      {"star", Frames},
      {"spinner", Frames},
      {"ring", Frames},
      {"bar", Frames},
      {"noise", NoiseStyle},
      {"cel", Cel}};
  return painters;
}

// A strip of cels drawn side by side (frames 0 .. cels-1 of cels), or the one picture.
bool DrawCels(FlatArt& art, const ArtRequest& request, const std::function<bool(Ctx&)>& painter, Picture& out,
              std::string& error) {
  auto cels = request.options.find("cels");
  if (cels == request.options.end()) {
    Ctx context(art, request, out, error);
    return painter(context);
  }
  const int count = std::atoi(cels->second.c_str());
  if (count < 1 || count > 64 || request.width % count != 0)
    return error = "cels must be 1 to 64 and divide the width", false;
  ArtRequest one = request;
  one.width = request.width / count;
  one.options.erase("cels");
  one.options["of"] = std::to_string(count);
  for (int i = 0; i < count; ++i) {
    one.options["frame"] = std::to_string(i);
    Picture cel(one.width, one.height);
    Ctx context(art, one, cel, error);
    if (!painter(context)) return false;
    for (int y = 0; y < cel.height; ++y)
      for (int x = 0; x < cel.width; ++x) out.At(i * one.width + x, y) = cel.At(x, y);
  }
  return true;
}

}  // namespace

bool FlatArt::Draw(const ArtRequest& request, Picture& out, std::string& error) {
  auto painter = Painters().find(request.style);
  if (painter == Painters().end()) return error = "unknown style '" + request.style + "'", false;
  if (request.width <= 0 || request.height <= 0 || request.width > 4096 || request.height > 4096)
    return error = "picture sides must be 1 to 4096", false;
  out = Picture(request.width, request.height);
  return DrawCels(*this, request, painter->second, out, error);
}

}  // namespace Content
