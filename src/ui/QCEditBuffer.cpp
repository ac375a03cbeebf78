#include "ui/QCEditBuffer.h"

#include "common/StringUtil.h"
#include "fonts/Font.h"

namespace {

constexpr int kCopy = 3;
constexpr int kPaste = 22;
constexpr int kCut = 24;
constexpr int kUndo = 26;
constexpr int kBack = 8;
constexpr int kEnd = 35;
constexpr int kHome = 36;
constexpr int kLeft = 37;
constexpr int kRight = 39;
constexpr int kDelete = 46;

int Length(const std::wstring& text) { return static_cast<int>(text.size()); }

}  // namespace

bool QCEditBuffer::IsWordChar(wchar_t ch) {
  return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z') || (ch >= L'0' && ch <= L'9') ||
         (ch >= 0x0410 && ch <= 0x044F) || ch == L'_';
}

int QCEditBuffer::Width(int from, int to) const {
  if (!mFont || to <= from) return 0;
  return mFont->StringWidth(mText.substr(from, to - from));
}

int QCEditBuffer::XOf(int index) const { return Width(0, index) - Width(0, mScroll); }

void QCEditBuffer::SetText(const std::wstring& text, bool resetScroll) {
  mText = text;
  mCaret = Length(mText);
  mAnchor = 0;
  if (resetScroll) {
    mScroll = 0;
  } else {
    ScrollToCaret(true);
  }
}

int QCEditBuffer::CharIndexAt(int x) const {
  int result = 0;
  if (!mFont) return result;
  for (int i = mScroll; i < Length(mText); ++i) {
    int before = Width(mScroll, i);
    int after = Width(mScroll, i + 1);
    if (x >= (before + after) / 2 + 5) result = i + 1;
  }
  return result;
}

void QCEditBuffer::ScrollToCaret(bool page) {
  int step = page ? 10 : 1;
  while (mCaret < mScroll) mScroll = std::max(0, mScroll - step);
  // A step back may land past the last character, where nothing of the text would show.
  mScroll = std::min(mScroll, std::max(0, Length(mText) - 1));
  if (!mFont) return;
  int usable = mWidth - TextInset;
  while (usable > 0 && Width(0, mCaret) - Width(0, mScroll) >= usable) {
    int next = std::min(Length(mText) - 1, mScroll + step);
    if (next <= mScroll) break;
    mScroll = next;
  }
}

void QCEditBuffer::SelectWord() {
  int length = Length(mText);
  if (mCaret >= length) return;
  mAnchor = mCaret;
  while (mAnchor > 0 && IsWordChar(mText[mAnchor - 1])) --mAnchor;
  while (mCaret < length - 1 && IsWordChar(mText[mCaret + 1])) ++mCaret;
  mCaret = std::min(mCaret + 1, length);
}

void QCEditBuffer::MouseDown(int x, int clickCount) {
  mAnchor = -1;
  mCaret = CharIndexAt(x);
  if (clickCount > 1) {
    mWordSelectPending = true;
    SelectWord();
  }
  ScrollToCaret(false);
}

void QCEditBuffer::MouseDrag(int x) {
  if (mAnchor < 0) mAnchor = mCaret;
  mCaret = CharIndexAt(x);
  ScrollToCaret(false);
}

void QCEditBuffer::MouseUp(int x) {
  if (mAnchor == mCaret) mAnchor = -1;
  if (!mWordSelectPending) return;
  mAnchor = -1;
  mCaret = CharIndexAt(x);
  mWordSelectPending = false;
  SelectWord();
}

bool QCEditBuffer::TickBlink() {
  if (++mBlinkCounter <= BlinkPeriod) return false;
  mBlinkCounter = 0;
  mCaretVisible = !mCaretVisible;
  return true;
}

void QCEditBuffer::RestartBlink(bool visible) {
  mCaretVisible = visible;
  mBlinkCounter = 0;
}

bool QCEditBuffer::AcceptsChar(wchar_t ch, Host& host) const {
  wchar_t limit = host.AllowsExtendedChars() ? 0xFFFF : 127;
  return ch >= 32 && ch <= limit && mFont && mFont->StringWidth(std::wstring(1, ch)) >= 1;
}

void QCEditBuffer::RemoveSelection() {
  int start = SelectionStart();
  mText.erase(start, SelectionEnd() - start);
  mCaret = start;
  mAnchor = -1;
}

// Text the clipboard cannot carry (beyond Latin-1 narrows to nothing) is neither copied nor cut,
// so a cut never loses what the player typed.
void QCEditBuffer::CopySelection(bool cut, bool& clearSelection, bool& changed, Host& host) {
  if (!HasSelection()) return;
  std::string narrow = Velk::Narrow(mText.substr(SelectionStart(), SelectionEnd() - SelectionStart()));
  if (narrow.empty() || !cut) clearSelection = false;
  if (narrow.empty()) return;
  host.SetClipboardText(narrow);
  if (!cut) return;
  RemoveSelection();
  changed = true;
}

void QCEditBuffer::Paste(const std::wstring& clip) {
  std::wstring taken;
  for (wchar_t ch : clip) {
    if (ch == L'\r' || ch == L'\n') break;
    if (mFont && mFont->CharWidth(ch) != 0) taken += ch;
  }
  int n = Length(taken);
  if (mAnchor < 0) {
    if (n + Length(mText) < MaxLength) mText.insert(mCaret, taken);
  } else {
    int start = SelectionStart();
    mText.replace(start, SelectionEnd() - start, taken);
    mCaret = start;
    mAnchor = -1;
  }
  mCaret += n;
}

void QCEditBuffer::MoveLeft(bool shift, bool control) {
  if (control) {
    while (mCaret > 0 && !IsWordChar(mText[mCaret - 1])) --mCaret;
    while (mCaret > 0 && IsWordChar(mText[mCaret - 1])) --mCaret;
  } else if (!shift && mAnchor >= 0) {
    mCaret = std::min(mCaret, mAnchor);
  } else {
    --mCaret;
  }
}

void QCEditBuffer::MoveRight(bool shift, bool control) {
  int last = Length(mText) - 1;
  if (control) {
    while (mCaret < last && IsWordChar(mText[mCaret + 1])) ++mCaret;
    while (mCaret < last && !IsWordChar(mText[mCaret + 1])) ++mCaret;
  }
  if (!shift && mAnchor >= 0) {
    mCaret = std::max(mCaret, mAnchor);
  } else {
    ++mCaret;
  }
}

void QCEditBuffer::Erase(bool forward, bool& changed) {
  if (mText.empty()) return;
  if (HasSelection()) {
    RemoveSelection();
    changed = true;
    return;
  }
  if (forward) {
    if (mCaret >= 0 && mCaret < Length(mText)) mText.erase(mCaret, 1);
    if (mCaret != mLastEdit) changed = true;
    mLastEdit = mCaret;
    return;
  }
  if (mCaret > 0) mText.erase(mCaret - 1, 1);
  --mCaret;
  mAnchor = -1;
  if (mCaret != mLastEdit) changed = true;
  mLastEdit = mCaret - 1;
}

void QCEditBuffer::Type(wchar_t ch, bool& clearSelection, bool& changed, Host& host) {
  if (!AcceptsChar(ch, host)) {
    clearSelection = false;
    return;
  }
  if (HasSelection()) {
    int start = SelectionStart();
    mText.replace(start, SelectionEnd() - start, 1, ch);
    mCaret = start;
    changed = true;
  } else {
    if (Length(mText) < MaxLength) mText.insert(mCaret, 1, ch);
    if (mCaret != mLastEdit + 1) changed = true;
    mLastEdit = mCaret;
  }
  ++mCaret;
  mAnchor = -1;
  ScrollToCaret(false);
}

void QCEditBuffer::ProcessKey(int keyCode, wchar_t ch, bool shift, bool control, Host& host) {
  bool clearSelection = !shift;
  bool changed = false;
  if (shift && mAnchor < 0) mAnchor = mCaret;
  State old{mText, mCaret, mAnchor};
  if (ch == kCopy || ch == kCut) {
    CopySelection(ch == kCut, clearSelection, changed, host);
  } else if (ch == kPaste) {
    std::wstring clip = Velk::Widen(host.GetClipboardText());
    if (!clip.empty()) {
      Paste(clip);
      changed = true;
    }
  } else if (ch == kUndo) {
    mLastEdit = -1;
    std::swap(mText, mUndo.text);
    std::swap(mCaret, mUndo.caret);
    std::swap(mAnchor, mUndo.anchor);
    clearSelection = false;
  } else if (keyCode == kLeft) {
    MoveLeft(shift, control);
  } else if (keyCode == kRight) {
    MoveRight(shift, control);
  } else if (keyCode == kBack || keyCode == kDelete) {
    Erase(keyCode == kDelete, changed);
  } else if (keyCode == kHome) {
    mCaret = 0;
  } else if (keyCode == kEnd) {
    mCaret = Length(mText);
  } else {
    Type(ch, clearSelection, changed, host);
  }
  Finish(old, clearSelection, changed);
}

void QCEditBuffer::Finish(const State& old, bool clearSelection, bool changed) {
  mCaret = std::clamp(mCaret, 0, Length(mText));
  if (mCaret != old.caret) RestartBlink(true);
  ScrollToCaret(true);
  if (clearSelection || mAnchor == mCaret) mAnchor = -1;
  if (Length(mText) > MaxLength) {
    mText.resize(MaxLength);
    mCaret = std::min(mCaret, MaxLength);
    mAnchor = std::min(mAnchor, MaxLength);
    mScroll = std::min(mScroll, MaxLength - 1);  // it followed a caret beyond the cut
  }
  if (changed) mUndo = old;
}
