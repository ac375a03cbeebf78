#pragma once
// A game widget that builds itself and its whole subtree from one `element` of cfg\ui.xml, passes
// its buttons' releases up the chain of dialogs, holds the modal role while it is shown (when the
// data says so) and draws with the opacity of its parent chain.

#include <functional>
#include <string>

#include "engine/QCCandyWidget.h"
#include "engine/QCTexture.h"
#include "widgets/ButtonListener.h"

class QCEngine;
class QCDialog;

namespace Velk {
class WidgetManager;
}

// Builds one widget of a UI type keyword from its element: constructs it under the dialog (which is
// also the buttons' listener) and runs its build. Null drops the element.
using QCWidgetCreator = std::function<QCCandyWidget*(QCDialog* parent, IXMLDOMNode* node, QCEngine* app)>;

// A process-wide button id, never 0: buttons report it to their listener instead of an address.
int NextButtonId();

class QCDialog : public QCCandyWidget, public Velk::ButtonListener {
 public:
  // Dialogs nest at most this deep below one build; deeper ones are dropped.
  static constexpr int kMaxNesting = 256;

  bool mModal = false;
  QCEngine* mApp;  // not owned
  bool mModalRegistered = false;

  QCDialog(QCCandyWidget* parent, QCEngine* app);
  ~QCDialog() override;

  // The first "qcdialog" element of that name below the node, built; nothing when there is none.
  void LoadFromUi(IXMLDOMNode* node, const std::string& name);
  virtual void Build(IXMLDOMNode* node) { BuildDialogFromXml(node); }
  virtual void SetModal(bool modal);
  virtual void SetBackground(const QCTextureRef& image, const int sourceRect[4]);
  QCTexture* GetBackground() const { return GetTexture(0, 0); }

  void Update() override { QCCandyWidget::Update(); }
  void Draw(Velk::Graphics* g) override;
  void Activate() override;
  void Deactivate() override;
  void OnButtonReleased(int id) override { ButtonDepress(id); }
  // Leaves the manager's modal stack now (a dialog that fades out after its answer is done with it).
  void UnregisterModal();

  // The UI widget classes register their keyword's creator once at start-up; a keyword without one
  // is skipped like an unknown type. An empty creator removes it.
  static void SetWidgetCreator(const std::string& keyword, QCWidgetCreator creator);

 protected:
  void BuildDialogFromXml(IXMLDOMNode* node);

 private:
  void BuildChild(IXMLDOMNode* node);
  QCCandyWidget* CreateChild(const std::string& type, IXMLDOMNode* node);
  int NestingDepth() const;
  Velk::WidgetManager* Manager() const;
  void RegisterModal();
};

// A dialog that can hide itself on a click. A note still coming in, or only just arrived, takes no
// click: the player cannot have meant one for a note not yet seen.
class QCTutorialDialog : public QCDialog {
 public:
  // Game time a note lies still, fully shown, before a click may take it away.
  static constexpr float kRestBeforeClick = 0.3f;
  bool mClickHide = false;

  using QCDialog::QCDialog;
  void Build(IXMLDOMNode* node) override;
  void Update() override;
  void SetVisible(bool visible) override;
  void OnShowHook() override;
  void MouseDown(int x, int y, int button, int clickCount) override;
  void MouseUp(int x, int y) override;
  using QCDialog::MouseDown;
  using QCDialog::MouseUp;
  bool AnswersClicks() const;

 private:
  bool AtRest() const { return mVisible && !mShowing && !mHiding; }
  void ForgetPress();

  float mRestSeconds = 0.0f;
  bool mPressAnswered = false;  // the last press came while it answered clicks
};
