#include "ui/QCEditWidget.h"

#include <algorithm>
#include <memory>

#include "app/VelkAppBase.h"
#include "engine/QCDialog.h"
#include "engine/XmlAccess.h"
#include "fonts/Font.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/window/WinUser.h"
#include "ui/QCUiEngine.h"
#include "ui/QCUiXml.h"
#include "ui/QCWidgetPaint.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr int kCaretMargin = 10;  // the system caret stays this far inside the screen

bool IsTablet() { return Velk::gVelkApp && Velk::gVelkApp->mTabletPC; }

HWND MainWindow() { return Velk::gVelkApp ? Velk::gVelkApp->mHWnd.load() : nullptr; }

}  // namespace

QCEditWidget::QCEditWidget(QCCandyWidget* parent) : QCCandyWidget(parent) {}

QCEditWidget::~QCEditWidget() = default;

void QCEditWidget::Build(IXMLDOMNode* node, QCEngine*) {
  ReadCommonXml(node);
  ParseColorAttr(node, L"hilite_color", &mHilite);
  ReadTextAttrs(node, [this](int layer, const QCTextAttrValues& v) { SetTextAttr(layer, v.font, v.color, v.hcolor); });
  const wchar_t* queries[2] = {L"texture[@id=\"normal\"]", L"texture[@id=\"disabled\"]"};
  for (int i = 0; i < 2; ++i) {
    if (XmlNodeRef element = SelectChild(node, queries[i]))
      ReadTextureElement(node, element.Get(), mBack[i], mWidth, mHeight);
  }
}

void QCEditWidget::SetTextureImage(int index, const QCTextureRef& image, const int rect[4]) {
  if (index < 0 || index > 1) return;
  mBack[index].SetImage(image);
  mBack[index].SetSourceRect(rect);
}

void QCEditWidget::SetTextureImages(const QCTextureRef& image) {
  for (QCTexture& back : mBack) back.SetImage(image);
}

void QCEditWidget::SetTextAttr(int layer, Velk::Font* font, Velk::Color color, Velk::Color hcolor) {
  if (!mLayers.Set(layer, QCTextAttrValues{font, color, color, hcolor})) return;
  mEdit.SetFont(mLayers.Normal());
  mLabel.Invalidate();
}

void QCEditWidget::SetText(const std::wstring& text, bool resetScroll) {
  mEdit.SetText(text, resetScroll);
  Changed();
}

void QCEditWidget::SelectWord() { mEdit.SelectWord(); }

int QCEditWidget::CharIndexAt(int x, int) { return mEdit.CharIndexAt(x); }

void QCEditWidget::ScrollToCaret(bool page) {
  mEdit.ScrollToCaret(page);
  Changed();
}

// Marks the widget dirty and its rendering stale.
void QCEditWidget::Changed() {
  Invalidate();
  mLabel.Invalidate();
}

void QCEditWidget::SetBounds(int x, int y, int width, int height) {
  QCCandyWidget::SetBounds(x, y, width, height);
  mLabel.Drop();
  mEdit.SetWidth(width);
  ScrollToCaret(false);
}

std::string QCEditWidget::GetClipboardText() {
  return Velk::gVelkApp ? Velk::gVelkApp->GetClipboardText() : std::string();
}

void QCEditWidget::SetClipboardText(const std::string& text) {
  if (Velk::gVelkApp) Velk::gVelkApp->SetClipboardText(text);
}

bool QCEditWidget::AllowsExtendedChars() { return !Velk::gVelkApp || Velk::gVelkApp->mExtendedChars; }

// The screen is the topmost game widget above the field; it takes Enter and Escape when it is a
// dialog. A field outside any dialog passes them nowhere.
void QCEditWidget::PassToScreen(int key) {
  QCCandyWidget* screen = mParentWidget;
  while (screen && screen->mParentWidget) screen = screen->mParentWidget;
  if (dynamic_cast<QCDialog*>(screen)) screen->KeyDown(key);
}

void QCEditWidget::ProcessKey(int keyCode, wchar_t ch) {
  mLabel.Drop();
  if (keyCode == 16 || keyCode == 17) return;
  if (keyCode == 13 || keyCode == 27) PassToScreen(keyCode);
  const bool* held = mWidgetManager ? mWidgetManager->mKeyDown : nullptr;
  mEdit.ProcessKey(keyCode, ch, held && held[16], held && held[17], *this);
  Invalidate();
}

void QCEditWidget::KeyChar(wchar_t ch) { ProcessKey(0, ch); }

// Letters A to Y arrive as characters; their key-downs only move the focus.
void QCEditWidget::KeyDown(int key) {
  if (key < 'A' || key > 'Y') ProcessKey(key, 0);
  Velk::Widget::KeyDown(key);
}

void QCEditWidget::MouseEnter() { SelectUiCursor("text"); }

void QCEditWidget::MouseLeave() { SelectUiCursor("normal"); }

void QCEditWidget::MouseDown(int x, int, int, int clickCount) {
  mEdit.MouseDown(x, clickCount);
  Changed();
}

void QCEditWidget::MouseDrag(int x, int) {
  mEdit.MouseDrag(x);
  Changed();
}

void QCEditWidget::MouseUp(int x, int, int, int) {
  mEdit.MouseUp(x);
  Changed();
}

void QCEditWidget::PlaceSystemCaret() {
  POINT pos = AbsolutePos();
  const Velk::Rect& screen = Velk::gVelkApp->mScreenBounds;
  SetCaretPos(std::clamp(pos.x, kCaretMargin, screen.mWidth - kCaretMargin),
              std::clamp(pos.y, kCaretMargin, screen.mHeight - kCaretMargin));
}

void QCEditWidget::OnFocusGained() {
  Velk::Widget::OnFocusGained();
  if (IsTablet()) {
    if (mWidgetManager) mWidgetManager->mFocusWidget = this;
    CreateCaret(MainWindow(), nullptr, 0, 0);
    PlaceSystemCaret();
    ShowCaret(MainWindow());
  }
  mEdit.RestartBlink(true);
  Changed();
}

void QCEditWidget::OnFocusLost() {
  Velk::Widget::OnFocusLost();
  if (IsTablet()) {
    HideCaret(MainWindow());
    DestroyCaret();
  }
  mEdit.mCaretVisible = false;
  Changed();
}

void QCEditWidget::Update() {
  QCCandyWidget::Update();
  if (!mHasFocus) return;
  if (IsTablet()) PlaceSystemCaret();
  if (mEdit.TickBlink()) Changed();
}

void QCEditWidget::Activate() {
  QCCandyWidget::Activate();
  for (QCTexture& back : mBack) back.AcquireFrames();
}

void QCEditWidget::Deactivate() {
  QCCandyWidget::Deactivate();
  for (QCTexture& back : mBack) back.ReleaseFrames();
  mLabel.Drop();
}

// Pass 0 writes the text; pass 1 writes it again inside the caret or selection, over the highlight.
void QCEditWidget::RenderPass(Velk::Graphics& image, int pass) {
  std::unique_ptr<Velk::Graphics> g(image.Clone());
  Velk::Font* normal = mLayers.Normal();
  g->SetFont(normal);
  const int usable = mWidth - QCEditBuffer::TextInset;
  const int fontHeight = normal ? normal->GetHeight() : 0;
  const bool lit = pass == 1 && mHasFocus;
  if (pass == 0) {
    g->IntersectClip(QCEditBuffer::TextLeft, 0, usable, mHeight);
  } else {
    int caretX = mEdit.XOf(mEdit.mCaret);
    int otherX = mEdit.HasSelection() ? mEdit.XOf(mEdit.mAnchor) : caretX + QCEditBuffer::CaretWidth;
    if (!mEdit.mCaretVisible) caretX += QCEditBuffer::CaretWidth;
    caretX = std::clamp(caretX, 0, std::max(usable, 0));
    otherX = std::clamp(otherX, 0, std::max(usable, 0));
    g->IntersectClip(std::min(caretX, otherX) + QCEditBuffer::TextLeft, (mHeight - fontHeight) / 2,
                     std::abs(caretX - otherX), fontHeight);
    if (lit) {
      g->SetColor(mHilite);
      g->FillRect(0, 0, mWidth, mHeight);
    }
  }
  const std::wstring visible = mEdit.mText.substr(std::min<size_t>(mEdit.mScroll, mEdit.mText.size()));
  for (int layer = TextShadow; layer < TextLayerCount; ++layer) {
    Velk::Font* font = mLayers.fonts[layer];
    if (!font) continue;
    g->SetFont(font);
    g->SetColor(lit ? mLayers.hcolors[layer] : mLayers.colors[layer]);
    g->DrawString(visible, QCEditBuffer::TextLeft, (mHeight - font->GetHeight()) / 2 + font->GetAscent());
  }
}

void QCEditWidget::RenderText() {
  Velk::Graphics image(mLabel.Image());
  RenderPass(image, 0);
  RenderPass(image, 1);
}

void QCEditWidget::Draw(Velk::Graphics* g) {
  BeginWidgetPaint(g, this);
  QCTexture& back = mDisabled && TextureHasImage(&mBack[1]) ? mBack[1] : mBack[0];
  back.Draw(g, Velk::Rect(0, 0, mWidth, mHeight));
  if (mLabel.BeginRender(mWidth, mHeight)) RenderText();
  Velk::MemoryImage* image = mLabel.Image();
  g->DrawImage(image, Velk::Rect(0, 0, mWidth, mHeight), Velk::Rect(0, 0, image->GetWidth(), image->GetHeight()));
}
