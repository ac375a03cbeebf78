#include "ui/QCTextAttr.h"

#include "fonts/Font.h"
#include "engine/LocTexts.h"
#include "engine/XmlAccess.h"
#include "graphics/Graphics.h"
#include "ui/QCUiEngine.h"
#include "ui/QCUiXml.h"

bool QCTextLayers::Set(int layer, const QCTextAttrValues& values) {
  if (layer < 0 || layer >= TextLayerCount) return false;
  fonts[layer] = values.font;
  colors[layer] = values.color;
  dcolors[layer] = values.dcolor;
  hcolors[layer] = values.hcolor;
  return true;
}

Velk::Rect QCTextLayout::Area(int width, int height, int textHeight, Fallback fallback) const {
  if (valign == 0) return Velk::Rect(0, hoffset + (height - textHeight) / 2, width, textHeight);
  if (valign == 1) return Velk::Rect(0, hoffset + height - textHeight, width, textHeight);
  if (valign == -1 || fallback == Fallback::WholeWidget) return Velk::Rect(0, hoffset, width, height);
  return Velk::Rect();
}

void QCTextLayout::Read(IXMLDOMNode* node) {
  XmlGetAttrPixels(node, L"line_spacing", lineSpacing);
  XmlGetAttrInt(node, L"justify", justify);
  XmlGetAttrInt(node, L"valign", valign);
  XmlGetAttrPixels(node, L"hoffset", hoffset);
}

void DrawTextLayers(Velk::Graphics& g, const QCTextLayers& layers, const QCTextLayout& layout,
                    QCTextLayout::Fallback fallback, int width, int height, const std::wstring& text, int length,
                    bool disabled) {
  if (!layers.Normal()) return;
  g.SetFont(layers.Normal());
  int textHeight = g.MeasureWrappedText(width, text, layout.lineSpacing, nullptr);
  Velk::Rect area = layout.Area(width, height, textHeight, fallback);
  for (int layer = TextShadow; layer < TextLayerCount; ++layer) {
    if (!layers.fonts[layer]) continue;
    g.SetFont(layers.fonts[layer]);
    g.SetColor(disabled ? layers.dcolors[layer] : layers.colors[layer]);
    g.DrawWrappedText(area, text, layout.lineSpacing, layout.justify, nullptr, length, nullptr);
  }
}

bool ParseColorText(const std::string& text, uint32_t& argb) {
  size_t i = 0;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) i = 2;
  uint32_t value = 0;
  size_t digits = 0;
  for (; i < text.size(); ++i, ++digits) {
    char c = text[i];
    int d;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    } else {
      break;
    }
    value = (value << 4) | static_cast<uint32_t>(d);
  }
  if (digits == 0) return false;
  argb = value;
  return true;
}

std::wstring ReadLabelAttr(IXMLDOMNode* node) {
  std::string id;
  if (!XmlGetAttrText(node, L"label", id)) return std::wstring();
  const std::wstring& text = GetLocText(id);
  if (text.empty()) LogElementProblem(node, "the label names no text of the localisation");
  return text;
}

bool ParseColorAttr(IXMLDOMNode* node, const wchar_t* name, Velk::Color* out) {
  std::string text;
  uint32_t argb = 0;
  if (!XmlGetAttrText(node, name, text) || !ParseColorText(text, argb)) return false;
  *out = Velk::Color(argb);
  return true;
}

QCTextAttrValues ReadTextAttr(IXMLDOMNode* element) {
  QCTextAttrValues values;
  ParseColorAttr(element, L"color", &values.color);
  values.dcolor = values.hcolor = values.color;
  ParseColorAttr(element, L"dcolor", &values.dcolor);
  ParseColorAttr(element, L"hcolor", &values.hcolor);
  std::string font;
  if (XmlGetAttrText(element, L"font", font)) values.font = FindUiFont(font);
  return values;
}

void ReadTextAttrs(IXMLDOMNode* node, const std::function<void(int layer, const QCTextAttrValues&)>& fn) {
  static constexpr std::pair<const wchar_t*, int> kLayers[] = {
      {L"textattr[@id=\"normal\"]", TextNormal},
      {L"textattr[@id=\"stroke\"]", TextStroke},
      {L"textattr[@id=\"shadow\"]", TextShadow},
  };
  for (const auto& [query, layer] : kLayers) {
    XmlNodeRef element = SelectChild(node, query);
    if (!element) continue;
    QCTextAttrValues values = ReadTextAttr(element.Get());
    std::string font;
    if (!values.font && XmlGetAttrText(element.Get(), L"font", font))
      LogElementProblem(node, "a textattr names no font of the font table");
    fn(layer, values);
  }
}
