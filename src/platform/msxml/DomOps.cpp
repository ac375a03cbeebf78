#include "platform/msxml/DomOps.h"

#include <exception>
#include <new>
#include <optional>

#include "platform/base/PlatformText.h"
#include "platform/msxml/DomDocument.h"
#include "platform/msxml/DomNamedNodeMap.h"
#include "platform/msxml/DomNode.h"
#include "platform/msxml/DomNodeList.h"

namespace {

// The node set of a query in document order; nothing when the query does not parse or is not a
// node-set expression (pugixml reports both by throwing).
std::optional<pugi::xpath_node_set> Evaluate(const pugi::xpath_node& context, BSTR query, const XPathVars* vars) {
  if (!query) return std::nullopt;
  try {
    pugi::xpath_variable_set bound;
    if (vars) {
      for (const auto& [name, value] : *vars) {
        pugi::xpath_variable* variable = bound.add(DomOps::Utf8(name.c_str()).c_str(), pugi::xpath_type_string);
        if (!variable) return std::nullopt;
        variable->set(DomOps::Utf8(value.c_str()).c_str());
      }
    }
    pugi::xpath_query compiled(DomOps::Utf8(query).c_str(), &bound);
    pugi::xpath_node_set found = compiled.evaluate_node_set(context);
    found.sort();
    return found;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

namespace DomOps {

std::wstring Wide(const char* utf8) { return Velk::PlatformText::Utf8ToUtf16(utf8 ? utf8 : ""); }

std::string Utf8(BSTR wide) { return Velk::PlatformText::Utf16ToUtf8(wide ? wide : L""); }

HRESULT SelectSingle(DomDocument* document, const pugi::xpath_node& context, BSTR query, const XPathVars* vars,
                     IXMLDOMNode** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  std::optional<pugi::xpath_node_set> found = Evaluate(context, query, vars);
  if (!found) return E_FAIL;
  if (found->empty()) return S_FALSE;
  *out = DomNode::Make(document, found->first());
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT SelectNodes(DomDocument* document, const pugi::xpath_node& context, BSTR query, const XPathVars* vars,
                    IXMLDOMNodeList** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  std::optional<pugi::xpath_node_set> found = Evaluate(context, query, vars);
  if (!found) return E_FAIL;
  *out = new (std::nothrow) DomNodeList(document, {found->begin(), found->end()});
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ChildNodes(DomDocument* document, const pugi::xml_node& parent, IXMLDOMNodeList** out) {
  if (!out) return E_POINTER;
  std::vector<pugi::xpath_node> children;
  for (pugi::xml_node child : parent.children()) children.emplace_back(child);
  *out = new (std::nothrow) DomNodeList(document, std::move(children));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT Attributes(DomDocument* document, const pugi::xml_node& element, IXMLDOMNamedNodeMap** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (element.type() != pugi::node_element) return S_FALSE;
  *out = new (std::nothrow) DomNamedNodeMap(document, element);
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT Insert(DomDocument* document, pugi::xml_node parent, IXMLDOMNode* child, IXMLDOMNode* before,
               IXMLDOMNode** out) {
  if (out) *out = nullptr;
  auto* node = dynamic_cast<DomNode*>(child);
  if (!node || node->Document() != document || node->IsAttribute()) return E_INVALIDARG;
  pugi::xml_node anchor;
  if (before) {
    auto* beforeNode = dynamic_cast<DomNode*>(before);
    if (!beforeNode || beforeNode->Node().parent() != parent || beforeNode->IsAttribute()) return E_INVALIDARG;
    anchor = beforeNode->Node();
  }
  pugi::xml_node source = node->Node();
  pugi::xml_node placed;
  if (document->IsUnplaced(source)) {
    // A created element is copied into the tree and leaves the holding tree.
    placed = anchor ? parent.insert_copy_before(source, anchor) : parent.append_copy(source);
    if (placed) source.parent().remove_child(source);
  } else if (document->IsPlaced(source)) {
    placed = anchor ? parent.insert_move_before(source, anchor) : parent.append_move(source);
  }
  if (!placed) return E_FAIL;
  node->Rebind(placed);
  if (out) {
    node->AddRef();
    *out = node;
  }
  return S_OK;
}

DOMNodeType TypeOf(const pugi::xml_node& node) {
  switch (node.type()) {
    case pugi::node_element:
      return NODE_ELEMENT;
    case pugi::node_pcdata:
      return NODE_TEXT;
    case pugi::node_cdata:
      return NODE_CDATA_SECTION;
    case pugi::node_comment:
      return NODE_COMMENT;
    case pugi::node_pi:
    case pugi::node_declaration:
      return NODE_PROCESSING_INSTRUCTION;
    case pugi::node_doctype:
      return NODE_DOCUMENT_TYPE;
    case pugi::node_document:
      return NODE_DOCUMENT;
    default:
      return NODE_INVALID;
  }
}

std::wstring TextOf(const pugi::xml_node& node) {
  if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) return Wide(node.value());
  std::string text;
  for (pugi::xml_node d = node.first_child(); d;) {
    if (d.type() == pugi::node_pcdata || d.type() == pugi::node_cdata) text += d.value();
    // Depth first, without recursion: down, else along, else up until a sibling is found.
    if (d.first_child()) {
      d = d.first_child();
      continue;
    }
    while (d && d != node && !d.next_sibling()) d = d.parent();
    if (!d || d == node) break;
    d = d.next_sibling();
  }
  return Wide(text.c_str());
}

}  // namespace DomOps
