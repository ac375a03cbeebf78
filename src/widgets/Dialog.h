#pragma once
#include <memory>
#include <string>

#include "widgets/ButtonListener.h"
#include "widgets/DialogButton.h"
#include "widgets/Widget.h"

namespace Velk {

class DialogListener;
class Font;

// The framework's message dialog: header, wrapped lines, footer and up to two buttons, which are
// kept as top-level widgets directly above it. Draggable; can be waited on for a result.
class Dialog : public Widget, public ButtonListener {
 public:
  static constexpr int NoResult = 0x7fffffff;
  static constexpr int YesButtonId = 1000;
  static constexpr int NoButtonId = 1001;

  DialogListener* mDialogListener;
  Image* mComponentImage;  // not owned; none: the drawn box
  std::unique_ptr<DialogButton> mYesButton;
  std::unique_ptr<DialogButton> mNoButton;
  std::wstring mDialogHeader;
  std::wstring mDialogFooter;
  std::wstring mDialogLines;
  int mButtonMode;
  std::unique_ptr<Font> mHeaderFont;
  std::unique_ptr<Font> mLinesFont;
  int mTextAlign = 0;
  int mLineSpacingOffset = 0;
  int mButtonHeight;
  Margins mBackgroundInsets;
  Margins mContentInsets{24, 24, 24, 24};
  int mSpaceAfterHeader = 10;
  bool mDragging = false;
  int mDragMouseX = 0;
  int mDragMouseY = 0;
  int mId;
  bool mIsModal;
  int mResult = NoResult;
  int mButtonHorzSpacing = 8;
  int mButtonSidePadding = 0;

  Dialog(Image* componentImage, Image* buttonImage, int id, bool isModal, const std::wstring& header,
         const std::wstring& lines, const std::wstring& footer, int buttonMode);
  ~Dialog() override;

  virtual void SetButtonFont(Font* font);
  virtual void SetHeaderFont(Font* font);
  virtual void SetLinesFont(Font* font);
  virtual int GetPreferredHeight(int width);
  virtual bool IsModal();
  // Runs the application's loop until a button is released here; NoResult when the loop ended or
  // the dialog left the manager first. Safe against the dialog being deleted meanwhile.
  virtual int WaitForResult(bool autoKill);

  using ButtonListener::OnButtonPressed;
  using Widget::MouseDown;
  using Widget::MouseUp;
  using Widget::SetBounds;
  using Widget::SetColors;

  void AttachToManager(WidgetManager* manager) override;
  void DetachFromManager(WidgetManager* manager) override;
  void Draw(Graphics* g) override;
  void OrderInManagerChanged() override;
  void SetColor(int index, const Color& color) override;
  void SetBounds(int x, int y, int width, int height) override;
  void MouseDown(int x, int y, int button, int clickCount) override;
  void MouseUp(int x, int y, int button, int clickCount) override;
  void MouseDrag(int x, int y) override;
  void OnButtonPressed(int id) override;
  void OnButtonReleased(int id) override;

 private:
  // Outlives the dialog, so a wait can tell that it was deleted and what it answered.
  struct WaitToken {
    bool mAlive = true;
    int mResult = NoResult;
  };
  std::shared_ptr<WaitToken> mWaitToken = std::make_shared<WaitToken>();

  void EnsureFonts();
  void SetCursorKind(int kind);
  int LinesSpacing();
};

}  // namespace Velk
