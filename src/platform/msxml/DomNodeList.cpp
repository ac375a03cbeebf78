#include "platform/msxml/DomNodeList.h"

#include "platform/msxml/DomDocument.h"
#include "platform/msxml/DomNode.h"

DomNodeList::DomNodeList(DomDocument* document, std::vector<pugi::xpath_node> items)
    : mDocument(document), mItems(std::move(items)) {
  mDocument->AddRef();
}

DomNodeList::~DomNodeList() { mDocument->Release(); }

HRESULT DomNodeList::QueryInterface(REFIID, void** out) {
  if (out) *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT DomNodeList::get_length(LONG* out) {
  if (!out) return E_POINTER;
  *out = static_cast<LONG>(mItems.size());
  return S_OK;
}

HRESULT DomNodeList::get_item(LONG index, IXMLDOMNode** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index < 0 || static_cast<size_t>(index) >= mItems.size()) return S_FALSE;
  *out = DomNode::Make(mDocument, mItems[static_cast<size_t>(index)]);
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT DomNodeList::reset() {
  mNext = 0;
  return S_OK;
}

HRESULT DomNodeList::nextNode(IXMLDOMNode** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (mNext >= mItems.size()) return S_FALSE;
  *out = DomNode::Make(mDocument, mItems[mNext++]);
  return *out ? S_OK : E_OUTOFMEMORY;
}
