#include "screens/ConfirmDialogs.h"

#include <array>

#include "cafe/QCEngine3.h"
#include "engine/QCDialog.h"
#include "screens/QCBoard_Confirm1.h"
#include "screens/QCBoard_Confirm2.h"
#include "widgets/WidgetManager.h"

namespace {

// The three live as long as the widget manager keeps them; each forgets itself when it goes.
template <typename Dialog>
class Tracked : public Dialog {
 public:
  template <typename... Args>
  Tracked(Dialog** slot, Args... args) : Dialog(args...), mSlot(slot) {
    *mSlot = this;
  }
  ~Tracked() override {
    if (*mSlot == this) *mSlot = nullptr;
  }

 private:
  Dialog** mSlot;
};

QCBoard_Confirm2* gConfirm2 = nullptr;
QCBoard_Confirm1* gConfirm1 = nullptr;
QCDialog* gBackdrop = nullptr;

// In the order they join the widget manager.
std::array<QCDialog*, 3> Dialogs() { return {gConfirm2, gConfirm1, gBackdrop}; }

int Ask(QCConfirmDialog* dialog, const std::string& id) {
  return dialog != nullptr ? dialog->Ask(id) : QCConfirmDialog::kNoAnswer;
}

}  // namespace

void CreateConfirmDialogs(QCEngine3* app, IXMLDOMNode* uiRoot) {
  new Tracked<QCBoard_Confirm2>(&gConfirm2, app, uiRoot);
  new Tracked<QCBoard_Confirm1>(&gConfirm1, app, uiRoot);
  QCDialog* backdrop = new Tracked<QCDialog>(&gBackdrop, nullptr, app);
  backdrop->SetBounds(0, 0, QCCandyWidget::kScreenWidth, QCCandyWidget::kScreenHeight);
}

void AddConfirmDialogs(Velk::WidgetManager* manager) {
  for (QCDialog* dialog : Dialogs()) {
    if (dialog != nullptr) manager->AddChild(dialog);
  }
}

void DropConfirmDialogs() {
  for (QCDialog* dialog : Dialogs()) {
    if (dialog != nullptr && dialog->mParent == nullptr) delete dialog;
  }
}

int AskConfirm(const std::string& id) { return Ask(gConfirm2, id); }

int ShowMessageBox(const std::string& id) { return Ask(gConfirm1, id); }

QCBoard_Confirm2* GetConfirm2() { return gConfirm2; }

QCBoard_Confirm1* GetConfirm1() { return gConfirm1; }

QCDialog* GetConfirmBackdrop() { return gBackdrop; }
