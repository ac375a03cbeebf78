#pragma once
// A node of a document: an element (or text, ...) or an attribute. It holds a reference to its
// document, so the tree outlives every node taken from it.

#include <pugixml.hpp>

#include "platform/msxml/ComObject.h"
#include "platform/msxml/MsXml.h"

class DomDocument;

class DomNode : public ComObject<IXMLDOMNode> {
 public:
  // Null when the result of a selection is no node.
  static IXMLDOMNode* Make(DomDocument* document, const pugi::xpath_node& node);

  DomNode(DomDocument* document, const pugi::xml_node& node);
  DomNode(DomDocument* document, const pugi::xml_attribute& attribute, const pugi::xml_node& parent);
  ~DomNode() override;

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

  DomDocument* Document() const { return mDocument; }
  const pugi::xml_node& Node() const { return mNode; }
  bool IsAttribute() const { return static_cast<bool>(mAttribute); }
  // After an insertion the object stands for the inserted element.
  void Rebind(const pugi::xml_node& node) { mNode = node; }

 private:
  pugi::xpath_node Context() const;

  DomDocument* mDocument;
  pugi::xml_node mNode;  // the attribute's element for an attribute
  pugi::xml_attribute mAttribute;
};
