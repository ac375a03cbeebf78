#include "platform/msxml/DomNamedNodeMap.h"

#include <new>

#include "platform/msxml/DomDocument.h"
#include "platform/msxml/DomNode.h"
#include "platform/msxml/DomOps.h"

DomNamedNodeMap::DomNamedNodeMap(DomDocument* document, const pugi::xml_node& element)
    : mDocument(document), mElement(element) {
  mDocument->AddRef();
}

DomNamedNodeMap::~DomNamedNodeMap() { mDocument->Release(); }

HRESULT DomNamedNodeMap::QueryInterface(REFIID, void** out) {
  if (out) *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT DomNamedNodeMap::getNamedItem(BSTR name, IXMLDOMNode** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!name) return E_INVALIDARG;
  pugi::xml_attribute attribute = mElement.attribute(DomOps::Utf8(name).c_str());
  if (!attribute) return S_FALSE;
  *out = new (std::nothrow) DomNode(mDocument, attribute, mElement);
  return *out ? S_OK : E_OUTOFMEMORY;
}
