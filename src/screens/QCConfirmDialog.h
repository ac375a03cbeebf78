#pragma once
// What the two shared question dialogs have in common: the texts, icon and labels of a question
// filled from its id, the backdrop under the dialog, and the wait for the answer in a nested run of
// the application's loop.

#include <string>

#include "engine/QCDialog.h"

class QCEngine3;
class QCText;

class QCConfirmDialog : public QCDialog {
 public:
  // The result while no button has been pressed.
  static constexpr int kNoAnswer = 0x7FFFFFFF;

  ~QCConfirmDialog() override;

  // Fills the dialog for the question, shows it over the backdrop and runs the loop until it is
  // answered: 1 for "yes" (or the one button), 0 for another button, kNoAnswer when the wait ends
  // without an answer or the dialog already waits for one.
  int Ask(const std::string& id);

  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;

  QCCandyWidget* mBtnYes = nullptr;
  QCCandyWidget* mBtnNo = nullptr;  // the two-button dialog's only
  QCText* mText1 = nullptr;
  QCText* mText2 = nullptr;
  QCText* mIcon = nullptr;
  int mResult = kNoAnswer;

 protected:
  QCConfirmDialog(QCEngine3* app, IXMLDOMNode* uiRoot, const char* element, bool twoButtons);

 private:
  void FillQuestion(const std::string& id);
  void SetIcon(const std::string& id);

  bool mTwoButtons;
  bool mWaiting = false;
};
