#include "ui/UiWidgets.h"

#include "engine/QCDialog.h"
#include "ui/QCAnim.h"
#include "ui/QCBar.h"
#include "ui/QCButton.h"
#include "ui/QCCheckBox.h"
#include "ui/QCEditWidget.h"
#include "ui/QCList.h"
#include "ui/QCScrollBar.h"
#include "ui/QCSlider.h"
#include "ui/QCText.h"

namespace {

// The widgets whose constructor takes only the parent.
template <typename Widget>
QCWidgetCreator MakeCreator() {
  return [](QCDialog* parent, IXMLDOMNode* node, QCEngine* app) -> QCCandyWidget* {
    auto* widget = new Widget(parent);
    widget->Build(node, app);
    return widget;
  };
}

QCCandyWidget* CreateText(QCDialog* parent, IXMLDOMNode* node, QCEngine* app) {
  auto* text = new QCText(parent, app);
  text->Build(node, app);
  return text;
}

// A button reports a process-unique id to the dialog that holds it.
QCCandyWidget* CreateButton(QCDialog* parent, IXMLDOMNode* node, QCEngine* app) {
  auto* button = new QCButton(parent, 0, parent);
  button->SetId(NextButtonId());
  button->Build(node, app);
  return button;
}

}  // namespace

void RegisterUiWidgetCreators() {
  QCDialog::SetWidgetCreator("qctext", CreateText);
  QCDialog::SetWidgetCreator("qcbutton", CreateButton);
  QCDialog::SetWidgetCreator("qcbar", MakeCreator<QCBar>());
  QCDialog::SetWidgetCreator("qcanim", MakeCreator<QCAnim>());
  QCDialog::SetWidgetCreator("qcedit", MakeCreator<QCEditWidget>());
  QCDialog::SetWidgetCreator("qclist", MakeCreator<QCList>());
  QCDialog::SetWidgetCreator("qcscroll", MakeCreator<QCScrollBar>());
  QCDialog::SetWidgetCreator("qccheckbox", MakeCreator<QCCheckBox>());
  QCDialog::SetWidgetCreator("qcslider", MakeCreator<QCSlider>());
}
