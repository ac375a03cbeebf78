#include "platform/msxml/DomDocument.h"

#include <new>

#include "platform/msxml/DomNode.h"
#include "platform/msxml/DomOps.h"

HRESULT DomDocument::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IXMLDOMDocument) {
    *out = static_cast<IXMLDOMDocument*>(this);
  } else if (iid == IID_IXMLDOMNode) {
    *out = static_cast<IXMLDOMNode*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT DomDocument::selectSingleNode(BSTR query, IXMLDOMNode** out) {
  return DomOps::SelectSingle(this, pugi::xpath_node(mTree), query, nullptr, out);
}

HRESULT DomDocument::selectSingleNode(BSTR query, const XPathVars& vars, IXMLDOMNode** out) {
  return DomOps::SelectSingle(this, pugi::xpath_node(mTree), query, &vars, out);
}

HRESULT DomDocument::selectNodes(BSTR query, IXMLDOMNodeList** out) {
  return DomOps::SelectNodes(this, pugi::xpath_node(mTree), query, nullptr, out);
}

HRESULT DomDocument::selectNodes(BSTR query, const XPathVars& vars, IXMLDOMNodeList** out) {
  return DomOps::SelectNodes(this, pugi::xpath_node(mTree), query, &vars, out);
}

HRESULT DomDocument::get_childNodes(IXMLDOMNodeList** out) { return DomOps::ChildNodes(this, mTree, out); }

HRESULT DomDocument::get_nodeType(DOMNodeType* out) {
  if (!out) return E_POINTER;
  *out = NODE_DOCUMENT;
  return S_OK;
}

HRESULT DomDocument::get_nodeName(std::wstring* out) {
  if (!out) return E_POINTER;
  *out = L"#document";
  return S_OK;
}

HRESULT DomDocument::get_attributes(IXMLDOMNamedNodeMap** out) { return DomOps::Attributes(this, mTree, out); }

HRESULT DomDocument::get_text(std::wstring* out) {
  if (!out) return E_POINTER;
  *out = DomOps::TextOf(mTree);
  return S_OK;
}

HRESULT DomDocument::get_ownerDocument(IXMLDOMDocument** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return S_FALSE;
}

HRESULT DomDocument::appendChild(IXMLDOMNode* child, IXMLDOMNode** out) {
  return DomOps::Insert(this, mTree, child, nullptr, out);
}

HRESULT DomDocument::insertBefore(IXMLDOMNode* child, IXMLDOMNode* before, IXMLDOMNode** out) {
  return DomOps::Insert(this, mTree, child, before, out);
}

HRESULT DomDocument::put_async(VARIANT_BOOL async) {
  mAsync = async;
  return S_OK;
}

HRESULT DomDocument::loadXML(BSTR xml, VARIANT_BOOL* success) {
  std::string text = DomOps::Utf8(xml);
  pugi::xml_parse_result result = mTree.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!result) mTree.reset();  // a failed load keeps nothing of what was parsed before the error
  if (success) *success = result ? VARIANT_TRUE : VARIANT_FALSE;
  return result ? S_OK : S_FALSE;
}

HRESULT DomDocument::createElement(BSTR tagName, IXMLDOMNode** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  std::string name = DomOps::Utf8(tagName);
  if (name.empty()) return E_INVALIDARG;
  pugi::xml_node element = mUnplaced.append_child(name.c_str());
  if (!element) return E_OUTOFMEMORY;
  *out = new (std::nothrow) DomNode(this, element);
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT DomDocument::get_documentElement(IXMLDOMNode** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  pugi::xml_node root = mTree.document_element();
  if (!root) return S_FALSE;
  *out = new (std::nothrow) DomNode(this, root);
  return *out ? S_OK : E_OUTOFMEMORY;
}
