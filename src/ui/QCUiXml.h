#pragma once
// Reading the widgets' parts from their UI-description element.
#include <utility>

class IXMLDOMNode;
class QCTexture;

// A selected node, released with its holder.
class QCNodeRef {
public:
  explicit QCNodeRef(IXMLDOMNode* node = nullptr) : mNode(node) {}
  QCNodeRef(QCNodeRef&& other) noexcept : mNode(std::exchange(other.mNode, nullptr)) {}
  QCNodeRef(const QCNodeRef&) = delete;
  QCNodeRef& operator=(const QCNodeRef&) = delete;
  QCNodeRef& operator=(QCNodeRef&& other) noexcept {
    std::swap(mNode, other.mNode);
    return *this;
  }
  ~QCNodeRef();

  IXMLDOMNode* Get() const { return mNode; }
  explicit operator bool() const { return mNode != nullptr; }

private:
  IXMLDOMNode* mNode;
};

// The first element the query selects below the node; empty when none or when the node is null.
QCNodeRef SelectChild(IXMLDOMNode* node, const wchar_t* query);
class QCTextureRef;

// Reads a "texture" element of the widget's element into the texture, with the widget's size as
// default; a picture the texture table lacks is logged.
void ReadTextureElement(IXMLDOMNode* widget, IXMLDOMNode* element, QCTexture& texture, int width, int height);
// A new texture read from the selected "texture" element, or null when the element is missing.
QCTexture* ReadWidgetTexture(IXMLDOMNode* node, const wchar_t* query, int width, int height);
// The picture the element's "texture" attribute names; an empty handle (logged) when it names none
// the texture table has.
QCTextureRef ReadTextureName(IXMLDOMNode* widget, IXMLDOMNode* element);
// One log line naming the element ("type" "name") and what is wrong with it.
void LogElementProblem(IXMLDOMNode* node, const char* problem);
