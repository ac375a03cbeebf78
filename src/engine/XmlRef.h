#pragma once
// One reference to a DOM object (a node, a node list, a document, an attribute map), released when
// the holder goes. Every DOM object the game's readers receive is held in one of these, so that no
// path out of a reader forgets a Release().

#include <utility>

#include "platform/msxml/MsXml.h"

template <class T>
class XmlRef {
 public:
  XmlRef() = default;
  // Takes over the reference the object came with.
  explicit XmlRef(T* object) : mObject(object) {}
  XmlRef(XmlRef&& other) noexcept : mObject(std::exchange(other.mObject, nullptr)) {}
  XmlRef& operator=(XmlRef&& other) noexcept {
    Reset(std::exchange(other.mObject, nullptr));
    return *this;
  }
  XmlRef(const XmlRef&) = delete;
  XmlRef& operator=(const XmlRef&) = delete;
  ~XmlRef() { Reset(nullptr); }

  T* Get() const { return mObject; }
  T* operator->() const { return mObject; }
  explicit operator bool() const { return mObject != nullptr; }

  // The place a DOM call stores a new reference in; what was held is released first.
  T** Out() {
    Reset(nullptr);
    return &mObject;
  }
  // Hands the reference on to the caller, who releases it.
  T* Detach() { return std::exchange(mObject, nullptr); }

 private:
  void Reset(T* object) {
    if (mObject) mObject->Release();
    mObject = object;
  }

  T* mObject = nullptr;
};

using XmlNodeRef = XmlRef<IXMLDOMNode>;
using XmlNodeListRef = XmlRef<IXMLDOMNodeList>;
using XmlDocumentRef = XmlRef<IXMLDOMDocument>;
using XmlAttributesRef = XmlRef<IXMLDOMNamedNodeMap>;
