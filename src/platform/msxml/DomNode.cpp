#include "platform/msxml/DomNode.h"

#include <new>

#include "platform/msxml/DomDocument.h"
#include "platform/msxml/DomOps.h"

IXMLDOMNode* DomNode::Make(DomDocument* document, const pugi::xpath_node& node) {
  if (node.attribute()) return new (std::nothrow) DomNode(document, node.attribute(), node.parent());
  if (node.node()) return new (std::nothrow) DomNode(document, node.node());
  return nullptr;
}

DomNode::DomNode(DomDocument* document, const pugi::xml_node& node) : mDocument(document), mNode(node) {
  mDocument->AddRef();
}

DomNode::DomNode(DomDocument* document, const pugi::xml_attribute& attribute, const pugi::xml_node& parent)
    : mDocument(document), mNode(parent), mAttribute(attribute) {
  mDocument->AddRef();
}

DomNode::~DomNode() { mDocument->Release(); }

HRESULT DomNode::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!(iid == IID_IXMLDOMNode)) return E_NOINTERFACE;
  AddRef();
  *out = static_cast<IXMLDOMNode*>(this);
  return S_OK;
}

pugi::xpath_node DomNode::Context() const {
  return mAttribute ? pugi::xpath_node(mAttribute, mNode) : pugi::xpath_node(mNode);
}

HRESULT DomNode::selectSingleNode(BSTR query, IXMLDOMNode** out) {
  return DomOps::SelectSingle(mDocument, Context(), query, nullptr, out);
}

HRESULT DomNode::selectSingleNode(BSTR query, const XPathVars& vars, IXMLDOMNode** out) {
  return DomOps::SelectSingle(mDocument, Context(), query, &vars, out);
}

HRESULT DomNode::selectNodes(BSTR query, IXMLDOMNodeList** out) {
  return DomOps::SelectNodes(mDocument, Context(), query, nullptr, out);
}

HRESULT DomNode::selectNodes(BSTR query, const XPathVars& vars, IXMLDOMNodeList** out) {
  return DomOps::SelectNodes(mDocument, Context(), query, &vars, out);
}

HRESULT DomNode::get_childNodes(IXMLDOMNodeList** out) {
  return DomOps::ChildNodes(mDocument, mAttribute ? pugi::xml_node() : mNode, out);
}

HRESULT DomNode::get_nodeType(DOMNodeType* out) {
  if (!out) return E_POINTER;
  *out = mAttribute ? NODE_ATTRIBUTE : DomOps::TypeOf(mNode);
  return S_OK;
}

HRESULT DomNode::get_nodeName(std::wstring* out) {
  if (!out) return E_POINTER;
  *out = DomOps::Wide(mAttribute ? mAttribute.name() : mNode.name());
  return S_OK;
}

HRESULT DomNode::get_attributes(IXMLDOMNamedNodeMap** out) {
  return DomOps::Attributes(mDocument, mAttribute ? pugi::xml_node() : mNode, out);
}

HRESULT DomNode::get_text(std::wstring* out) {
  if (!out) return E_POINTER;
  *out = mAttribute ? DomOps::Wide(mAttribute.value()) : DomOps::TextOf(mNode);
  return S_OK;
}

HRESULT DomNode::get_ownerDocument(IXMLDOMDocument** out) {
  if (!out) return E_POINTER;
  mDocument->AddRef();
  *out = mDocument;
  return S_OK;
}

HRESULT DomNode::appendChild(IXMLDOMNode* child, IXMLDOMNode** out) { return insertBefore(child, nullptr, out); }

HRESULT DomNode::insertBefore(IXMLDOMNode* child, IXMLDOMNode* before, IXMLDOMNode** out) {
  if (mAttribute) return E_FAIL;
  return DomOps::Insert(mDocument, mNode, child, before, out);
}
