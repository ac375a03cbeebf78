#pragma once
// The XML document object of the component runtime, as far as the game's data readers call it:
// create a document, load text into it, select nodes by XPath, walk child nodes, read attributes and
// text, and add elements. Built over pugixml; wide strings (UTF-16 units) are converted at this edge.
//
// Objects are reference counted (atomically): every pointer handed out carries one reference that
// its receiver releases. A node, list or attribute map keeps its document alive.
//
// Selections answer S_OK with a result, S_FALSE when nothing matched (the out pointer is null) and
// E_FAIL for a query that does not parse or yields no node set. Nothing throws out of this layer.
//
// Our own extension: selectSingleNode and selectNodes also take an XPathVars list of (name, value)
// pairs, bound as string variables that the query names as $name. Names inserted into a query that
// way select correctly whatever characters they hold, quotes included.
//
// Several threads may select on one document at once as long as none of them changes it.

#include "platform/base/ComBase.h"
#include "platform/base/WinTypes.h"

#include <string>
#include <utility>
#include <vector>

using BSTR = const wchar_t*;
using VARIANT_BOOL = int16_t;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);

enum DOMNodeType {
  NODE_INVALID = 0,
  NODE_ELEMENT = 1,
  NODE_ATTRIBUTE = 2,
  NODE_TEXT = 3,
  NODE_CDATA_SECTION = 4,
  NODE_PROCESSING_INSTRUCTION = 7,
  NODE_COMMENT = 8,
  NODE_DOCUMENT = 9,
  NODE_DOCUMENT_TYPE = 10,
};

extern const CLSID CLSID_DOMDocument;
extern const IID IID_IXMLDOMDocument;
extern const IID IID_IXMLDOMNode;

using XPathVars = std::vector<std::pair<std::wstring, std::wstring>>;

class IXMLDOMDocument;
class IXMLDOMNodeList;
class IXMLDOMNamedNodeMap;

class IXMLDOMNode : public IUnknown {
 public:
  virtual HRESULT selectSingleNode(BSTR query, IXMLDOMNode** out) = 0;
  virtual HRESULT selectSingleNode(BSTR query, const XPathVars& vars, IXMLDOMNode** out) = 0;
  virtual HRESULT selectNodes(BSTR query, IXMLDOMNodeList** out) = 0;
  virtual HRESULT selectNodes(BSTR query, const XPathVars& vars, IXMLDOMNodeList** out) = 0;
  // Every child node (elements, text, ...) in document order.
  virtual HRESULT get_childNodes(IXMLDOMNodeList** out) = 0;
  virtual HRESULT get_nodeType(DOMNodeType* out) = 0;
  virtual HRESULT get_nodeName(std::wstring* out) = 0;
  // S_FALSE and null for a node that is not an element.
  virtual HRESULT get_attributes(IXMLDOMNamedNodeMap** out) = 0;
  // The text of the node and all its descendants; an attribute's value.
  virtual HRESULT get_text(std::wstring* out) = 0;
  // S_FALSE and null for the document itself.
  virtual HRESULT get_ownerDocument(IXMLDOMDocument** out) = 0;
  // The child must have been made by this node's document. On success the child object stands for
  // the inserted element, and `out` (when given) receives it once more.
  virtual HRESULT appendChild(IXMLDOMNode* child, IXMLDOMNode** out) = 0;
  // A null `before` appends; otherwise it must be a child of this node.
  virtual HRESULT insertBefore(IXMLDOMNode* child, IXMLDOMNode* before, IXMLDOMNode** out) = 0;

 protected:
  ~IXMLDOMNode() = default;
};

class IXMLDOMDocument : public IXMLDOMNode {
 public:
  // Loading is always synchronous; the setting is only kept.
  virtual HRESULT put_async(VARIANT_BOOL async) = 0;
  // Replaces the content. A text that does not parse leaves the document empty: S_FALSE.
  virtual HRESULT loadXML(BSTR xml, VARIANT_BOOL* success) = 0;
  // An element of this document that belongs nowhere until it is appended or inserted.
  virtual HRESULT createElement(BSTR tagName, IXMLDOMNode** out) = 0;
  virtual HRESULT get_documentElement(IXMLDOMNode** out) = 0;

 protected:
  ~IXMLDOMDocument() = default;
};

class IXMLDOMNodeList : public IUnknown {
 public:
  virtual HRESULT get_length(LONG* out) = 0;
  // S_FALSE and null outside 0 .. length - 1.
  virtual HRESULT get_item(LONG index, IXMLDOMNode** out) = 0;
  virtual HRESULT reset() = 0;
  // The next node of the walk; S_FALSE and null after the last.
  virtual HRESULT nextNode(IXMLDOMNode** out) = 0;

 protected:
  ~IXMLDOMNodeList() = default;
};

class IXMLDOMNamedNodeMap : public IUnknown {
 public:
  // The attribute node of that name; S_FALSE and null when absent.
  virtual HRESULT getNamedItem(BSTR name, IXMLDOMNode** out) = 0;

 protected:
  ~IXMLDOMNamedNodeMap() = default;
};

// Only the document class is known: CLSID_DOMDocument with IID_IXMLDOMDocument (or IID_IXMLDOMNode).
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out);
