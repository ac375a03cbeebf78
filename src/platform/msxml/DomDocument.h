#pragma once
// The document object: one pugixml tree, plus a second tree that holds created elements until they
// are appended somewhere.

#include <pugixml.hpp>

#include "platform/msxml/ComObject.h"
#include "platform/msxml/MsXml.h"

class DomDocument : public ComObject<IXMLDOMDocument> {
 public:
  DomDocument() = default;

  HRESULT QueryInterface(REFIID iid, void** out) override;

  HRESULT selectSingleNode(BSTR query, IXMLDOMNode** out) override;
  HRESULT selectSingleNode(BSTR query, const XPathVars& vars, IXMLDOMNode** out) override;
  HRESULT selectNodes(BSTR query, IXMLDOMNodeList** out) override;
  HRESULT selectNodes(BSTR query, const XPathVars& vars, IXMLDOMNodeList** out) override;
  HRESULT get_childNodes(IXMLDOMNodeList** out) override;
  HRESULT get_nodeType(DOMNodeType* out) override;
  HRESULT get_nodeName(std::wstring* out) override;
  HRESULT get_attributes(IXMLDOMNamedNodeMap** out) override;
  HRESULT get_text(std::wstring* out) override;
  HRESULT get_ownerDocument(IXMLDOMDocument** out) override;
  HRESULT appendChild(IXMLDOMNode* child, IXMLDOMNode** out) override;
  HRESULT insertBefore(IXMLDOMNode* child, IXMLDOMNode* before, IXMLDOMNode** out) override;

  HRESULT put_async(VARIANT_BOOL async) override;
  HRESULT loadXML(BSTR xml, VARIANT_BOOL* success) override;
  HRESULT createElement(BSTR tagName, IXMLDOMNode** out) override;
  HRESULT get_documentElement(IXMLDOMNode** out) override;

  // True for a node of the holding tree, not yet placed in the document.
  bool IsUnplaced(const pugi::xml_node& node) const { return node.root() == mUnplaced.root(); }
  bool IsPlaced(const pugi::xml_node& node) const { return node.root() == mTree.root(); }

 private:
  pugi::xml_document mTree;
  pugi::xml_document mUnplaced;
  VARIANT_BOOL mAsync = VARIANT_TRUE;
};
