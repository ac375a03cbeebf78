#pragma once
// A list of nodes handed out by a selection or a child walk, with its own walking position.

#include <pugixml.hpp>

#include <vector>

#include "platform/msxml/ComObject.h"
#include "platform/msxml/MsXml.h"

class DomDocument;

class DomNodeList : public ComObject<IXMLDOMNodeList> {
 public:
  DomNodeList(DomDocument* document, std::vector<pugi::xpath_node> items);
  ~DomNodeList() override;

  HRESULT QueryInterface(REFIID iid, void** out) override;
  HRESULT get_length(LONG* out) override;
  HRESULT get_item(LONG index, IXMLDOMNode** out) override;
  HRESULT reset() override;
  HRESULT nextNode(IXMLDOMNode** out) override;

 private:
  DomDocument* mDocument;
  std::vector<pugi::xpath_node> mItems;
  size_t mNext = 0;
};
