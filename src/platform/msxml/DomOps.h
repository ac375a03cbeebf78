#pragma once
// What the document and its nodes do alike, given the document and the node to act from.

#include <pugixml.hpp>

#include <string>

#include "platform/msxml/MsXml.h"

class DomDocument;

namespace DomOps {

HRESULT SelectSingle(DomDocument* document, const pugi::xpath_node& context, BSTR query, const XPathVars* vars,
                     IXMLDOMNode** out);
HRESULT SelectNodes(DomDocument* document, const pugi::xpath_node& context, BSTR query, const XPathVars* vars,
                    IXMLDOMNodeList** out);
HRESULT ChildNodes(DomDocument* document, const pugi::xml_node& parent, IXMLDOMNodeList** out);
HRESULT Attributes(DomDocument* document, const pugi::xml_node& element, IXMLDOMNamedNodeMap** out);
HRESULT Insert(DomDocument* document, pugi::xml_node parent, IXMLDOMNode* child, IXMLDOMNode* before,
               IXMLDOMNode** out);
DOMNodeType TypeOf(const pugi::xml_node& node);
// Character data of the node and all its descendants, in document order.
std::wstring TextOf(const pugi::xml_node& node);
std::wstring Wide(const char* utf8);
std::string Utf8(BSTR wide);

}  // namespace DomOps
