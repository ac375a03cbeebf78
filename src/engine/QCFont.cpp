#include "engine/QCFont.h"

#include <cstring>

#include "app/AppFontHost.h"
#include "app/VelkAppBase.h"
#include "engine/XmlAccess.h"
#include "fonts/ImageFont.h"
#include "fonts/SysFont.h"

QCFont::QCFont(Velk::VelkAppBase* app) : mApp(app) {}

QCFont::~QCFont() = default;

void QCFont::ReadUiFonts(IXMLDOMNode* uiRoot) {
  XmlForEach(uiRoot, L"font", [this](IXMLDOMNode* item) {
    char name[128] = {};
    XmlGetAttrString(item, L"name", name, sizeof name);
    if (Velk::Font* font = MakeFont(item)) mFonts[name].reset(font);
  });
}

Velk::Font* QCFont::MakeFont(IXMLDOMNode* node) const {
  char type[128] = {};
  char face[128] = {};
  XmlGetAttrString(node, L"type", type, sizeof type);
  XmlGetAttrString(node, L"face", face, sizeof face);
  if (std::strcmp(type, "System") == 0) {
    int size = 0;
    bool bold = false, italic = false, underline = false;
    XmlGetAttrInt(node, L"size", size);
    XmlGetAttrBool(node, L"bold", bold);
    XmlGetAttrBool(node, L"italic", italic);
    XmlGetAttrBool(node, L"underline", underline);
    return new Velk::SysFont(face, size, bold, italic, underline);
  }
  if (std::strcmp(type, "Image") == 0) {
    float scale = 1.0f;
    XmlGetAttrFloat(node, L"scale", scale);
    Velk::FontHost* host = mApp ? mApp->mFontHost.get() : Velk::FontHost::GetDefault();
    auto* font = new Velk::ImageFont(host, face);
    font->SetScale(scale);
    font->Prepare();
    return font;
  }
  return nullptr;
}

Velk::Font* QCFont::GetFont(const std::string& name) { return mFonts[name].get(); }
