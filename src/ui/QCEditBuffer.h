#pragma once
#include <algorithm>
#include <string>

namespace Velk {
class Font;
}

// The editing state of a one-line name field: text, caret, selection, horizontal scroll, the caret's
// blink phase and one undo step. Widths come from the field's normal font; without one nothing can
// be typed or pasted and every point maps to index 0.
class QCEditBuffer {
 public:
  // What the field asks of the application.
  class Host {
   public:
    virtual ~Host() = default;
    virtual std::string GetClipboardText() = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
    // False: typed characters above 127 are refused.
    virtual bool AllowsExtendedChars() = 0;
  };

  static constexpr int MaxLength = 15;
  static constexpr int TextLeft = 4;   // text starts this far from the left edge
  static constexpr int TextInset = 8;  // usable width = width - TextInset
  static constexpr int CaretWidth = 2;
  static constexpr int BlinkPeriod = 40;  // updates per phase, less one

  std::wstring mText;
  int mCaret = 0;
  int mAnchor = -1;  // other end of the selection; -1: none
  int mScroll = 0;   // first visible character
  bool mCaretVisible = false;
  int mBlinkCounter = 0;

  void SetFont(Velk::Font* font) { mFont = font; }
  Velk::Font* GetFont() const { return mFont; }
  void SetWidth(int width) { mWidth = width; }

  // One key-down (ch 0) or one character (keyCode 0), with the held modifiers.
  void ProcessKey(int keyCode, wchar_t ch, bool shift, bool control, Host& host);
  void SetText(const std::wstring& text, bool resetScroll);
  void SelectWord();
  int CharIndexAt(int x) const;
  void ScrollToCaret(bool page);

  void MouseDown(int x, int clickCount);
  void MouseDrag(int x);
  void MouseUp(int x);

  // One update while focused; true when the caret's visibility flipped.
  bool TickBlink();
  void RestartBlink(bool visible);

  bool HasSelection() const { return mAnchor >= 0 && mAnchor != mCaret; }
  int SelectionStart() const { return mAnchor < 0 ? mCaret : std::min(mAnchor, mCaret); }
  int SelectionEnd() const { return mAnchor < 0 ? mCaret : std::max(mAnchor, mCaret); }
  // x of the gap before `index`, relative to the first visible character.
  int XOf(int index) const;

  static bool IsWordChar(wchar_t ch);

 private:
  struct State {
    std::wstring text;
    int caret = 0;
    int anchor = 0;
  };

  int Width(int from, int to) const;
  bool AcceptsChar(wchar_t ch, Host& host) const;
  void RemoveSelection();
  void CopySelection(bool cut, bool& clearSelection, bool& changed, Host& host);
  void Paste(const std::wstring& clip);
  void MoveLeft(bool shift, bool control);
  void MoveRight(bool shift, bool control);
  void Erase(bool forward, bool& changed);
  void Type(wchar_t ch, bool& clearSelection, bool& changed, Host& host);
  void Finish(const State& old, bool clearSelection, bool changed);

  Velk::Font* mFont = nullptr;
  int mWidth = 0;
  bool mWordSelectPending = false;
  State mUndo;
  int mLastEdit = 0;  // groups a run of typing or erasing into one undo step
};
