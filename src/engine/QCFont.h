#pragma once
// The fonts cfg\ui.xml declares, by name: system fonts and image fonts, for the UI and the scene.

#include <map>
#include <memory>
#include <string>

namespace Velk {
class Font;
class VelkAppBase;
}  // namespace Velk

class IXMLDOMNode;

class QCFont {
 public:
  explicit QCFont(Velk::VelkAppBase* app);
  virtual ~QCFont();
  QCFont(const QCFont&) = delete;
  QCFont& operator=(const QCFont&) = delete;

  // Every `font` element of the ui root: type "System" (face, size, bold, italic, underline) or
  // "Image" (face is the descriptor, scale 1.0 when absent). Other types are skipped. A later font
  // of a name replaces (and deletes) the earlier one.
  void ReadUiFonts(IXMLDOMNode* uiRoot);
  // Null for a name never declared (the name is then entered, without a font).
  Velk::Font* GetFont(const std::string& name);
  size_t Count() const { return mFonts.size(); }

 private:
  Velk::Font* MakeFont(IXMLDOMNode* node) const;

  Velk::VelkAppBase* mApp;
  std::map<std::string, std::unique_ptr<Velk::Font>> mFonts;
};
