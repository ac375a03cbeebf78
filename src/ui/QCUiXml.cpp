#include "ui/QCUiXml.h"

#include "engine/QCTexture.h"
#include "engine/EngineUtil.h"
#include "engine/XmlAccess.h"

QCNodeRef::~QCNodeRef() {
  if (mNode) mNode->Release();
}

QCNodeRef SelectChild(IXMLDOMNode* node, const wchar_t* query) {
  IXMLDOMNode* child = nullptr;
  if (node && node->selectSingleNode(query, &child) != S_OK) child = nullptr;
  return QCNodeRef(child);
}

QCTexture* ReadWidgetTexture(IXMLDOMNode* node, const wchar_t* query, int width, int height) {
  QCNodeRef element = SelectChild(node, query);
  if (!element) return nullptr;
  auto* texture = new QCTexture();
  ReadAnimatedTexture(texture, element.Get(), width, height);
  return texture;
}

void LogElementProblem(IXMLDOMNode* node, const char* problem) {
  std::string type, name;
  XmlGetAttrText(node, L"type", type);
  XmlGetAttrText(node, L"name", name);
  DebugLog("ui element %s \"%s\": %s\n", type.c_str(), name.c_str(), problem);
}
