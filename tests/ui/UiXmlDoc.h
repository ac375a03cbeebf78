#pragma once
// A UI-description element parsed from readable text, released with its holder.
#include <string>

#include "common/Unicode.h"
#include "engine/XmlAccess.h"
#include "platform/threads/Threads.h"
#include "ui/QCUiXml.h"

class UiXmlDoc {
 public:
  // The document element of `xml`; null when it does not parse.
  explicit UiXmlDoc(const std::string& xml) {
    CoInitialize(nullptr);
    if (!CreateXmlDocument(mDoc.Out())) return;
    VARIANT_BOOL ok = VARIANT_FALSE;
    std::wstring text = Velk::Utf8ToWide(xml);
    mDoc->loadXML(text.c_str(), &ok);
    if (mDoc->get_documentElement(mRoot.Out()) != S_OK) mRoot = XmlNodeRef();
  }

  IXMLDOMNode* Root() const { return mRoot.Get(); }

 private:
  XmlDocumentRef mDoc;
  XmlNodeRef mRoot;
};
