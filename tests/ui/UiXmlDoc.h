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
    if (!CreateXmlDocument(&mDoc)) return;
    VARIANT_BOOL ok = VARIANT_FALSE;
    std::wstring text = Velk::Utf8ToWide(xml);
    mDoc->loadXML(text.c_str(), &ok);
    IXMLDOMNode* root = nullptr;
    if (mDoc->get_documentElement(&root) == S_OK) mRoot = QCNodeRef(root);
  }
  UiXmlDoc(const UiXmlDoc&) = delete;
  UiXmlDoc& operator=(const UiXmlDoc&) = delete;
  ~UiXmlDoc() {
    mRoot = QCNodeRef();
    if (mDoc) mDoc->Release();
  }

  IXMLDOMNode* Root() const { return mRoot.Get(); }

private:
  IXMLDOMDocument* mDoc = nullptr;
  QCNodeRef mRoot;
};
