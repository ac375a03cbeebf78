#pragma once
// The text-attribute block shared by the game's text-bearing widgets: three text layers (font and
// colours each), the layout attributes and the colour syntax of the UI description.
#include <cstdint>
#include <functional>
#include <string>

#include "graphics/Color.h"
#include "graphics/Rect.h"

class IXMLDOMNode;

namespace Velk {
class Font;
class Graphics;
}  // namespace Velk

// Drawn in this order, all into the same rectangle; a shadow's or stroke's displacement comes from
// its font.
enum TextLayer { TextShadow = 0, TextStroke = 1, TextNormal = 2, TextLayerCount = 3 };

// One "textattr" element. Missing colours: opaque black; "dcolor" and "hcolor" default to "color".
struct QCTextAttrValues {
  Velk::Font* font = nullptr;
  Velk::Color color;
  Velk::Color dcolor;
  Velk::Color hcolor;
};

struct QCTextLayers {
  Velk::Font* fonts[TextLayerCount] = {};
  Velk::Color colors[TextLayerCount];
  Velk::Color dcolors[TextLayerCount];
  Velk::Color hcolors[TextLayerCount];

  // False, and nothing stored, for a layer outside 0..2.
  bool Set(int layer, const QCTextAttrValues& values);
  Velk::Font* Normal() const { return fonts[TextNormal]; }
};

// How a label lies in its widget: "line_spacing" (-1: the font's), "justify" (0 centre, 1 right,
// else left), "valign", "hoffset" (added to the top).
struct QCTextLayout {
  int lineSpacing = -1;
  int justify = -1;
  int valign = -1;
  int hoffset = 0;

  // "line_spacing", "justify", "valign" and "hoffset"; absent ones keep their values.
  void Read(IXMLDOMNode* node);

  // What a "valign" other than the known ones gives.
  enum class Fallback { Nothing, WholeWidget };
  // valign -1 (text only) and the fallback of a button: the whole widget from hoffset down; 0 centred
  // (the halving rounds toward zero); 1 bottom-aligned; anything else per `fallback`.
  Velk::Rect Area(int width, int height, int textHeight, Fallback fallback) const;
};

// Renders a label's layers into g: nothing without a normal font; layers without a font are skipped.
// The wrapped height is measured on the whole text; the first `length` characters are written.
void DrawTextLayers(Velk::Graphics& g, const QCTextLayers& layers, const QCTextLayout& layout,
                    QCTextLayout::Fallback fallback, int width, int height, const std::wstring& text, int length,
                    bool disabled);

// Hexadecimal AARRGGBB, "0x" allowed; false when no digit follows.
bool ParseColorText(const std::string& text, uint32_t& argb);

// The localised text of the "label" id; empty without one.
std::wstring ReadLabelAttr(IXMLDOMNode* node);
// The colour attribute `name`; false, and `out` untouched, when it is absent or holds no digit.
bool ParseColorAttr(IXMLDOMNode* node, const wchar_t* name, Velk::Color* out);
// One "textattr" element: "color" (opaque black when missing), "dcolor" and "hcolor" (default
// "color"), "font" (a name of the font table; unknown: no font).
QCTextAttrValues ReadTextAttr(IXMLDOMNode* element);
// Calls fn(layer, values) for the "normal", "stroke" and "shadow" elements present, in that order.
void ReadTextAttrs(IXMLDOMNode* node, const std::function<void(int layer, const QCTextAttrValues&)>& fn);
