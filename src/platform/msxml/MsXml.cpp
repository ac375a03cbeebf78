#include "platform/msxml/MsXml.h"

#include <new>

#include "platform/msxml/DomDocument.h"

const CLSID CLSID_DOMDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID IID_IXMLDOMDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
// Our own value: nothing outside this layer asks for the node interface by id.
const IID IID_IXMLDOMNode = {0x5A1E0D01, 0x0C3B, 0x4E6A, {0x9D, 0x21, 0x6B, 0x71, 0x00, 0x4D, 0x4F, 0x4D}};

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown*, DWORD, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!(clsid == CLSID_DOMDocument)) return REGDB_E_CLASSNOTREG;
  auto* document = new (std::nothrow) DomDocument();
  if (!document) return E_OUTOFMEMORY;
  HRESULT result = document->QueryInterface(iid, out);
  document->Release();
  return result;
}
