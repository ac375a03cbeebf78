#pragma once
// The attributes of one element, looked up by name.

#include <pugixml.hpp>

#include "platform/msxml/ComObject.h"
#include "platform/msxml/MsXml.h"

class DomDocument;

class DomNamedNodeMap : public ComObject<IXMLDOMNamedNodeMap> {
 public:
  DomNamedNodeMap(DomDocument* document, const pugi::xml_node& element);
  ~DomNamedNodeMap() override;

  HRESULT QueryInterface(REFIID iid, void** out) override;
  HRESULT getNamedItem(BSTR name, IXMLDOMNode** out) override;

 private:
  DomDocument* mDocument;
  pugi::xml_node mElement;
};
