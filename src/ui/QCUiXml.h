#pragma once
// Reading the widgets' parts from their UI-description element.
class IXMLDOMNode;
class QCTexture;
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
