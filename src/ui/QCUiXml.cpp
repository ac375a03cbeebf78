#include "ui/QCUiXml.h"

#include "engine/QCTexture.h"
#include "engine/EngineUtil.h"
#include "engine/XmlAccess.h"
#include "ui/QCUiEngine.h"
#include "ui/QCWidgetPaint.h"

void ReadTextureElement(IXMLDOMNode* widget, IXMLDOMNode* element, QCTexture& texture, int width, int height) {
  ReadAnimatedTexture(&texture, element, width, height);
  if (!TextureHasImage(&texture)) LogElementProblem(widget, "a texture names no picture of the texture table");
}

QCTexture* ReadWidgetTexture(IXMLDOMNode* node, const wchar_t* query, int width, int height) {
  XmlNodeRef element = SelectChild(node, query);
  if (!element) return nullptr;
  auto* texture = new QCTexture();
  ReadTextureElement(node, element.Get(), *texture, width, height);
  return texture;
}

QCTextureRef ReadTextureName(IXMLDOMNode* widget, IXMLDOMNode* element) {
  std::string name;
  QCTextureRef picture;
  if (XmlGetAttrText(element, L"texture", name)) picture = FindUiTexture(name);
  if (picture.IsEmpty()) LogElementProblem(widget, "a texture names no picture of the texture table");
  return picture;
}

void LogElementProblem(IXMLDOMNode* node, const char* problem) {
  std::string type, name;
  XmlGetAttrText(node, L"type", type);
  XmlGetAttrText(node, L"name", name);
  DebugLog("ui element %s \"%s\": %s\n", type.c_str(), name.c_str(), problem);
}
