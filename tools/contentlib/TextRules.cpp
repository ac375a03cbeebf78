// Rule 10: texts a player must be able to read. A label reads '%' as the start of a text variable,
// so a text holds '%' only around a variable's name; a text's shadow and stroke are drawn at the
// size of the text itself; and a text drawn over a picture that is one flat colour where the text
// lies stands out from it by a contrast of at least 4.5:1.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "contentlib/GameRules.h"
#include "contentlib/PngReader.h"
#include "contentlib/UiBox.h"
#include "contentlib/ValidatorRules.h"

namespace Content::ValidatorRules {
namespace {

constexpr double kLeastContrast = 4.5;

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Every '%' opens a variable's name that a second '%' closes; anything else shows nothing from the
// '%' on.
bool PercentSignsPair(const std::string& text) {
  for (size_t open = text.find('%'); open != std::string::npos; open = text.find('%', open)) {
    const size_t close = text.find('%', open + 1);
    if (close == std::string::npos || close == open + 1) return false;
    for (size_t i = open + 1; i < close; ++i)
      if (!IsNameChar(text[i])) return false;
    open = close + 1;
  }
  return true;
}

double Channel(uint32_t value) {
  const double c = value / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(uint32_t rgb) {
  return 0.2126 * Channel(rgb >> 16 & 0xFF) + 0.7152 * Channel(rgb >> 8 & 0xFF) + 0.0722 * Channel(rgb & 0xFF);
}

// The text's colour laid over the opaque background at the text's own alpha.
uint32_t Over(uint32_t argb, uint32_t background) {
  const uint32_t alpha = argb >> 24;
  uint32_t rgb = 0;
  for (int shift : {16, 8, 0}) {
    const uint32_t top = argb >> shift & 0xFF, under = background >> shift & 0xFF;
    rgb |= (top * alpha + under * (255 - alpha) + 127) / 255 << shift;
  }
  return rgb;
}

double Contrast(uint32_t argb, uint32_t background) {
  const double a = Luminance(Over(argb, background)) + 0.05, b = Luminance(background) + 0.05;
  return a > b ? a / b : b / a;
}

using Box = UiBox;

class ContrastCheck {
 public:
  ContrastCheck(const Stage& stage, Findings& findings) : mStage(stage), mFindings(findings) {
    if (const pugi::xml_document* ui = stage.Document(kUi))
      for (pugi::xml_node t : ui->document_element().children("texture"))
        mFiles[t.attribute("id").value()] = Stage::Key(t.attribute("file").value());
  }

  void Run() {
    if (const pugi::xml_document* ui = mStage.Document(kUi))
      for (pugi::xml_node screen : ui->document_element().children("element")) Element(screen, {}, 0, 0);
  }

 private:
  struct Backdrop {
    pugi::xml_node normal;  // the picture's texture, empty when none lies under the text
    Box box;                // where the picture element lies, in the screen's coordinates
  };

  void Element(pugi::xml_node element, Backdrop under, int x, int y) {
    const Box placed = UiBox::Of(element).MovedBy({x, y, 0, 0});
    if (pugi::xml_node texture = element.find_child_by_attribute("texture", "id", "normal")) under = {texture, placed};
    const std::string type = element.attribute("type").value();
    if (type == "qcbutton") Text(element, "color", under.normal, under.box, placed);
    if (type == "qctext") {
      // A label stays to be read when disabled (the hi-score rows of other players); a disabled
      // button may fade, as its face does.
      pugi::xml_node disabled = element.find_child_by_attribute("texture", "id", "disabled");
      Text(element, "color", under.normal, under.box, placed);
      if (disabled)
        Text(element, "dcolor", disabled, placed, placed);
      else
        Text(element, "dcolor", under.normal, under.box, placed);
    }
    for (pugi::xml_node child : element.children("element")) Element(child, under, placed.x, placed.y);
  }

  void Text(pugi::xml_node element, const char* colour, pugi::xml_node picture, const Box& pictureBox,
            const Box& text) {
    pugi::xml_node attr = element.find_child_by_attribute("textattr", "id", "normal");
    uint32_t background = 0;
    if (!attr || !attr.attribute(colour) || !picture || !FlatUnder(picture, pictureBox, text, background)) return;
    const uint32_t argb = static_cast<uint32_t>(std::strtoul(attr.attribute(colour).value(), nullptr, 16));
    const double contrast = Contrast(argb, background);
    if (contrast >= kLeastContrast) return;
    char what[200];
    std::snprintf(what, sizeof what,
                  "text '%s': its %s %08X stands out from the flat %06X under it by %.2f:1, less than 4.5:1",
                  element.attribute("name").value(), colour, argb, background & 0xFFFFFF, contrast);
    mFindings.Add(kUi, what);
  }

  // The one opaque colour of the picture under the middle half of the text's box, where its words
  // lie; false when the picture is not flat there or cannot be read.
  bool FlatUnder(pugi::xml_node texture, const Box& box, const Box& text, uint32_t& colour) {
    const Picture* picture = PictureOf(texture.attribute("texture").value());
    if (picture == nullptr || box.w <= 0 || box.h <= 0) return false;
    const int u = UiBox::Coordinate(texture.attribute("u")), v = UiBox::Coordinate(texture.attribute("v"));
    const int sw = texture.attribute("width") ? UiBox::Coordinate(texture.attribute("width")) : box.w;
    const int sh = texture.attribute("height") ? UiBox::Coordinate(texture.attribute("height")) : box.h;
    bool any = false;
    // Only what lies on the 800 x 600 screen can be seen.
    for (int y = std::max(text.y + text.h / 4, 0); y < std::min(text.y + text.h - text.h / 4, 600); ++y)
      for (int x = std::max(text.x + text.w / 4, 0); x < std::min(text.x + text.w - text.w / 4, 800); ++x) {
        const int px = u + (x - box.x) * sw / box.w, py = v + (y - box.y) * sh / box.h;
        if (!picture->Inside(px, py) || picture->At(px, py) >> 24 != 0xFF) return false;
        if (any && picture->At(px, py) != colour) return false;
        colour = picture->At(px, py);
        any = true;
      }
    return any;
  }

  const Picture* PictureOf(const std::string& textureId) {
    const auto file = mFiles.find(textureId);
    if (file == mFiles.end()) return nullptr;
    auto [it, added] = mPictures.try_emplace(file->second);
    if (added) {
      const std::vector<uint8_t>* bytes = mStage.Bytes(file->second);
      if (bytes == nullptr || !PngReader::Read(*bytes, it->second)) it->second = Picture();
    }
    return it->second.pixels.empty() ? nullptr : &it->second;
  }

  const Stage& mStage;
  Findings& mFindings;
  std::map<std::string, std::string> mFiles;  // texture id -> staged file
  std::map<std::string, Picture> mPictures;
};

}  // namespace

void ShownTexts(const Stage& stage, Findings& findings) {
  const pugi::xml_document* loc = stage.Document(kLoc);
  if (loc == nullptr) return;
  for (pugi::xml_node text : loc->document_element().children("loc"))
    if (!PercentSignsPair(text.attribute("text").value()))
      findings.Add(kLoc, std::string("text '") + text.attribute("id").value() +
                             "' holds a '%' that names no text variable: a label shows nothing from there on");
}

void TextContrast(const Stage& stage, Findings& findings) { ContrastCheck(stage, findings).Run(); }

// Every layer of a text is laid out in the box the normal layer measures: a shadow drawn smaller or
// larger than the text shows as a second caption beside the first.
void TextLayers(const Stage& stage, Findings& findings) {
  const pugi::xml_document* ui = stage.Document(kUi);
  if (ui == nullptr) return;
  std::map<std::string, double> scales;  // image fonts by name
  for (pugi::xml_node font : ui->document_element().children("font"))
    if (std::string(font.attribute("type").value()) == "Image")
      scales[font.attribute("name").value()] = font.attribute("scale").as_double(1.0);
  for (const pugi::xpath_node& node : ui->select_nodes("//element[textattr]")) {
    pugi::xml_node element = node.node();
    const auto normal =
        scales.find(element.find_child_by_attribute("textattr", "id", "normal").attribute("font").value());
    if (normal == scales.end()) continue;
    for (const char* layer : {"shadow", "stroke"}) {
      const std::string name = element.find_child_by_attribute("textattr", "id", layer).attribute("font").value();
      const auto other = scales.find(name);
      if (other == scales.end() || other->second == normal->second) continue;
      char what[240];
      std::snprintf(what, sizeof what,
                    "text '%s': its %s font '%s' is drawn at scale %g, its text font '%s' at %g: the %s shows as a "
                    "second caption",
                    element.attribute("name").value(), layer, name.c_str(), other->second, normal->first.c_str(),
                    normal->second, layer);
      findings.Add(kUi, what);
    }
  }
}

}  // namespace Content::ValidatorRules
