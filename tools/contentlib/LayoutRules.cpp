// Rule 14: texts laid out where a player can read them on the 800 x 600 screen. A button's label
// fits inside its button with room at both ends; a caption's words, wrapped as the game wraps
// them, fit in the caption's box, and the box lies inside the panel it belongs to and under no
// button; and no text is drawn smaller than 11 px.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "contentlib/GameRules.h"
#include "contentlib/UiBox.h"
#include "contentlib/Utf16Writer.h"
#include "contentlib/ValidatorRules.h"

namespace Content::ValidatorRules {
namespace {

constexpr int kLeastPixels = 11;
constexpr int kLabelRoom = 4;  // free pixels a button keeps at each end of its label

using Box = UiBox;

// What the layout needs of one image font: each character's advance, the line's height and the
// pixel size it was rendered at, all at the scale the font is declared with.
struct FontMetrics {
  std::map<char32_t, int> advances;
  int lineHeight = 0;
  int pixels = 0;
  double scale = 1.0;

  double Width(const std::u32string& text) const {
    int sum = 0;
    for (char32_t c : text)
      if (const auto it = advances.find(c); it != advances.end()) sum += it->second;
    return sum * scale;
  }
};

// The descriptor's text: its characters are all below U+0100, one UTF-16 unit each.
std::u32string DescriptorText(const std::vector<uint8_t>& bytes) {
  std::u32string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) text += static_cast<char32_t>(bytes[i] | bytes[i + 1] << 8);
  return text;
}

// The items of "Define <name> (...)": quoted characters ("a", '"', "\\") or whole numbers.
std::vector<std::u32string> DefinedList(const std::u32string& text, const std::u32string& name) {
  std::vector<std::u32string> items;
  size_t at = text.find(U"Define " + name + U" (");
  if (at == std::u32string::npos) return items;
  at += name.size() + 9;
  while (at < text.size() && text[at] != U')') {
    if (text[at] == U' ') {
      ++at;
    } else if (text[at] == U'"' || text[at] == U'\'') {
      const size_t close = text.find(text[at], at + 1);
      if (close == std::u32string::npos) return {};
      std::u32string item = text.substr(at + 1, close - at - 1);
      items.push_back(item == U"\\\\" ? U"\\" : item);
      at = close + 1;
    } else if (text[at] == U'(') {
      const size_t close = text.find(U')', at);
      if (close == std::u32string::npos) return {};
      items.push_back(text.substr(at + 1, close - at - 1));
      at = close + 1;
    } else {
      const size_t end = text.find_first_of(U" )", at);
      if (end == std::u32string::npos) return {};
      items.push_back(text.substr(at, end - at));
      at = end;
    }
  }
  return items;
}

int Number(const std::u32string& text) {
  std::string ascii(text.begin(), text.end());
  return std::atoi(ascii.c_str());
}

bool ReadMetrics(const std::vector<uint8_t>& bytes, FontMetrics& font) {
  const std::u32string text = DescriptorText(bytes);
  const std::vector<std::u32string> chars = DefinedList(text, U"Chars"), widths = DefinedList(text, U"Widths"),
                                    rects = DefinedList(text, U"Rects");
  if (chars.empty() || chars.size() != widths.size() || rects.empty()) return false;
  for (size_t i = 0; i < chars.size(); ++i)
    if (chars[i].size() == 1) font.advances[chars[i][0]] = Number(widths[i]);
  // Every cell is as tall as the line: "x y w h".
  const std::u32string& cell = rects.front();
  font.lineHeight = Number(cell.substr(cell.rfind(U' ') + 1)) + 1;
  const size_t size = text.find(U"SetDefaultPointSize ");
  font.pixels = size == std::u32string::npos ? 0 : Number(text.substr(size + 20, 4));
  return true;
}

class LayoutCheck {
 public:
  LayoutCheck(const Stage& stage, Findings& findings) : mFindings(findings) {
    if (const pugi::xml_document* loc = stage.Document(kLoc))
      for (pugi::xml_node text : loc->document_element().children("loc"))
        mTexts[text.attribute("id").value()] = text.attribute("text").value();
    mUi = stage.Document(kUi);
    if (mUi == nullptr) return;
    for (pugi::xml_node font : mUi->document_element().children("font")) {
      const std::string name = font.attribute("name").value();
      if (std::string(font.attribute("type").value()) == "System") {
        mSystemSizes[name] = font.attribute("size").as_int();
        continue;
      }
      FontMetrics metrics;
      const std::vector<uint8_t>* bytes = stage.Bytes(Stage::Key(font.attribute("face").value()));
      if (bytes == nullptr || !ReadMetrics(*bytes, metrics)) continue;
      metrics.scale = font.attribute("scale").as_double(1.0);
      mFonts[name] = metrics;
    }
  }

  void Run() {
    if (mUi == nullptr) return;
    for (pugi::xml_node screen : mUi->document_element().children("element")) {
      mButtons.clear();
      mCaptions.clear();
      Element(screen, {}, {});
      for (const auto& [button, buttonBox] : mButtons)
        for (const auto& [caption, captionBox] : mCaptions)
          if (DrawnOver(button, caption) && buttonBox.Meets(captionBox))
            Add(caption, "lies under the button '" + std::string(button.attribute("name").value()) + "'");
    }
  }

 private:
  void Element(pugi::xml_node element, const Box& parent, const Box& offset) {
    const Box own = UiBox::Of(element).MovedBy(offset);
    Size(element);
    const std::string type = element.attribute("type").value();
    const auto label = mTexts.find(element.attribute("label").value());
    const FontMetrics* font = FontOf(element);
    if (label != mTexts.end() && font != nullptr && label->second.find('%') == std::string::npos) {
      const std::u32string words = Utf16Writer::Decode(label->second);
      if (type == "qcbutton") Label(element, words, *font, own);
      if (type == "qctext") Caption(element, words, *font, own, parent);
    }
    if (type == "qcbutton") mButtons.emplace_back(element, own);
    for (pugi::xml_node child : element.children("element")) Element(child, own, own);
  }

  const FontMetrics* FontOf(pugi::xml_node element) const {
    const auto font =
        mFonts.find(element.find_child_by_attribute("textattr", "id", "normal").attribute("font").value());
    return font == mFonts.end() ? nullptr : &font->second;
  }

  void Size(pugi::xml_node element) {
    const std::string name = element.find_child_by_attribute("textattr", "id", "normal").attribute("font").value();
    int pixels = 0;
    if (const auto font = mFonts.find(name); font != mFonts.end())
      pixels = static_cast<int>(font->second.pixels * font->second.scale);
    else if (const auto system = mSystemSizes.find(name); system != mSystemSizes.end())
      pixels = system->second;
    else
      return;
    if (pixels < kLeastPixels)
      Add(element, "is drawn " + std::to_string(pixels) + " px high with the font '" + name + "', less than 11 px");
  }

  void Label(pugi::xml_node button, const std::u32string& words, const FontMetrics& font, const Box& box) {
    const int width = static_cast<int>(font.Width(words) + 0.5);
    if (width + 2 * kLabelRoom <= box.w) return;
    Add(button, "its label is " + std::to_string(width) + " px wide: it needs " + std::to_string(kLabelRoom) +
                    " px free at each end of its " + std::to_string(box.w) + " px");
  }

  void Caption(pugi::xml_node text, const std::u32string& words, const FontMetrics& font, const Box& box,
               const Box& parent) {
    if (parent.w > 0 && parent.h > 0 && !box.Inside(parent)) Add(text, "reaches out of the panel it lies in");
    const int lines = Lines(words, font, box.w);
    // The first line is written whatever the box's height; each further one needs a line's room.
    const int holds = std::max(1, static_cast<int>((box.h + 1) / (font.lineHeight * font.scale)));
    if (lines > holds)
      Add(text, "wraps into " + std::to_string(lines) + " lines; its " + std::to_string(box.h) + " px box holds " +
                    std::to_string(holds));
    mCaptions.emplace_back(text, Written(text, words, font, box, std::min(lines, holds)));
  }

  // Where the words lie in the box: one line sits where the text's justification puts it (0 centres
  // it, 1 puts it to the right, else to the left), and valign="0" centres the lines in the height.
  static Box Written(pugi::xml_node text, const std::u32string& words, const FontMetrics& font, const Box& box,
                     int lines) {
    Box written = box;
    written.h = std::min(box.h, static_cast<int>(lines * font.lineHeight * font.scale));
    if (text.attribute("valign") && text.attribute("valign").as_int() == 0) written.y += (box.h - written.h) / 2;
    if (lines > 1) return written;
    written.w = std::min(box.w, static_cast<int>(font.Width(words) + 0.5));
    const int justify = text.attribute("justify") ? text.attribute("justify").as_int() : -1;
    if (justify == 0) written.x += (box.w - written.w) / 2;
    if (justify == 1) written.x += box.w - written.w;
    return written;
  }

  // The lines the game writes, wrapping at blanks and line feeds to the width.
  static int Lines(const std::u32string& text, const FontMetrics& font, int width) {
    int lines = 1;
    double used = 0;
    size_t at = 0;
    while (at <= text.size()) {
      const size_t end = std::min(text.find_first_of(U" \n", at), text.size());
      const double word = font.Width(text.substr(at, end - at));
      const double blank = used > 0 ? font.Width(U" ") : 0;
      if (used > 0 && used + blank + word > width) {
        ++lines;
        used = word;
      } else {
        used += blank + word;
      }
      if (end < text.size() && text[end] == U'\n') ++lines, used = 0;
      at = end + 1;
    }
    return lines;
  }

  // A control is drawn after the ones before it in its dialog, and over everything they hold; a
  // control of another dialog shows at another time or lies under the dialog of the caption.
  static bool DrawnOver(pugi::xml_node button, pugi::xml_node caption) {
    for (pugi::xml_node n = caption; n.parent(); n = n.parent())
      if (n.parent() == button.parent()) {
        for (pugi::xml_node later = n.next_sibling(); later; later = later.next_sibling())
          if (later == button) return true;
        return false;
      }
    return false;
  }

  void Add(pugi::xml_node element, const std::string& what) {
    mFindings.Add(kUi, "text '" + std::string(element.attribute("name").value()) + "' " + what);
  }

  Findings& mFindings;
  const pugi::xml_document* mUi = nullptr;
  std::map<std::string, std::string> mTexts;  // loc id -> text
  std::map<std::string, FontMetrics> mFonts;  // image fonts by name
  std::map<std::string, int> mSystemSizes;
  std::vector<std::pair<pugi::xml_node, Box>> mButtons, mCaptions;  // of the screen being checked
};

}  // namespace

void TextLayout(const Stage& stage, Findings& findings) { LayoutCheck(stage, findings).Run(); }

}  // namespace Content::ValidatorRules
