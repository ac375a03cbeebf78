#include "engine/QCCandyWidget.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/VelkAppBase.h"
#include "common/Transform2D.h"
#include "engine/QCEffect.h"
#include "engine/QCParticleRegistry.h"
#include "engine/QCTexture.h"
#include "engine/XmlAccess.h"
#include "fonts/TruncToInt.h"
#include "graphics/Graphics.h"

namespace {

constexpr int kEffectNameSize = 128;

const Velk::Rect kScreen(0, 0, QCCandyWidget::kScreenWidth, QCCandyWidget::kScreenHeight);
constexpr float kFarAway = 1.0e7f;

}  // namespace

float QCFrameSeconds() {
  DWORD ms = Velk::gVelkApp ? Velk::gVelkApp->mFrameTime : 10;
  return static_cast<float>(ms / 1000.0);
}

QCCandyWidget::QCCandyWidget(QCCandyWidget* parent) : mParentWidget(parent) { mVisible = false; }

QCCandyWidget::~QCCandyWidget() {
  delete mEffect;
  mEffect = nullptr;
  for (auto& [key, texture] : mTextures) delete texture;
  mTextures.clear();
  RemoveAllChildren(true, false);
}

void QCCandyWidget::ReadCommonXml(IXMLDOMNode* node) {
  int x = 0, y = 0, width = 0, height = 0;
  XmlGetAttrPixels(node, L"x", x);
  XmlGetAttrPixels(node, L"y", y);
  XmlGetAttrPixels(node, L"width", width);
  XmlGetAttrPixels(node, L"height", height);
  bool flag = false;
  if (XmlGetAttrBool(node, L"visible", flag)) SetVisible(flag);
  Resize(x, y, width, height);
  flag = true;
  XmlGetAttrBool(node, L"has_alpha", flag);
  mHasAlpha = flag;
  flag = true;
  XmlGetAttrBool(node, L"mousevisible", flag);
  mMouseVisible = flag;

  char effectName[kEffectNameSize] = {};
  if (XmlGetAttrString(node, L"effect", effectName, kEffectNameSize) && effectName[0]) {
    if (QCEffect* effect = CreateEffectByName(effectName)) {
      delete mEffect;
      mEffect = effect;
      mEffect->EffectSetParam(kParamOffset, &mOffset);
      mEffect->EffectSetParam(kParamScalePoint, &mPivot);
      mEffect->EffectSetParam(kParamWidget, this);
      mEffect->EffectSetParam(kParamChildHooks, &mChildHooks);
      mEffect->SetOwner(this);
    }
  }
  XmlGetAttrPixels(node, L"scalepointx", mPivot.x);
  XmlGetAttrPixels(node, L"scalepointy", mPivot.y);
}

// Nothing while a show runs, nor on a widget that is up and not on its way out.
// The hook runs on every show, also on a visible widget: screens refresh themselves in it.
void QCCandyWidget::Show() {
  if (mShowing) return;
  OnShowHook();
  if (SendEffectMessage("onshow")) {
    mHiding = false;
    mShowing = true;
  } else {
    SetVisible(true);
  }
}

void QCCandyWidget::Hide() {
  if (mHiding) return;
  OnHideHook();
  if (SendEffectMessage("onhide")) {
    mHiding = true;
    mShowing = false;
  } else {
    SetVisible(false);
  }
}

// A show or hide is over once none of the effect's timers runs any more.
bool QCCandyWidget::EffectRunning() const {
  for (int id = 0; id < static_cast<int>(mEffect->TimerCount()); ++id) {
    const QCTimer* timer = mEffect->EffectGetTimer(id);
    if (timer && timer->GetState() != 0 && !timer->IsFinished()) return true;
  }
  return false;
}

void QCCandyWidget::EndShowHide() {
  if (!mShowing && !mHiding) return;
  mShowing = mHiding = false;
  mEffect->EffectStopTimers();
}

void QCCandyWidget::ShowChildren() {
  for (auto& [name, child] : mChildren) child->Show();
}

void QCCandyWidget::HideChildren() {
  for (auto& [name, child] : mChildren) child->Hide();
}

bool QCCandyWidget::SendEffectMessage(const char* name) {
  if (!mEffect) return false;
  const bool acting = std::exchange(mEffectActing, true);
  const bool accepted = mEffect->EffectSendMessage(name);
  mEffectActing = acting;
  return accepted;
}

bool QCCandyWidget::IsVisibleInTree() const {
  for (const QCCandyWidget* w = this; w; w = w->mParentWidget)
    if (!w->mVisible) return false;
  return true;
}

// Made invisible, or visible while hidden or hiding, by anyone but its own effect, a widget keeps no
// show or hide on its way: the effect's later DlgShow or DlgHide would undo what was set. Made
// visible so, it is shown whole, not at the opacity a fade had reached. A show on its way to a
// visible widget goes on: it leaves the widget shown.
void QCCandyWidget::SetVisible(bool visible) {
  if (!mEffectActing && (!visible || !mVisible || mHiding)) {
    EndShowHide();
    if (visible) mOpacity = 1.0f;
  }
  if (visible == mVisible) return;
  mHiding = mShowing = false;
  if (visible) {
    Velk::Widget::SetVisible(true);
    ActivateTree();
  } else {
    DeactivateTree();
    Velk::Widget::SetVisible(false);
  }
}

void QCCandyWidget::ActivateTree() {
  if (!IsVisibleInTree()) return;
  Activate();
  for (auto& [name, child] : mChildren)
    if (child->mVisible) child->ActivateTree();
}

void QCCandyWidget::DeactivateTree() {
  if (!IsVisibleInTree()) return;
  Deactivate();
  for (auto& [name, child] : mChildren)
    if (child->mVisible) child->DeactivateTree();
}

void QCCandyWidget::Activate() {
  for (auto& [key, texture] : mTextures) texture->AcquireFrames();
}

void QCCandyWidget::Deactivate() {
  for (auto& [key, texture] : mTextures) texture->ReleaseFrames();
}

void QCCandyWidget::BindControl(const std::string& name, QCCandyWidget* widget) {
  mChildHooks.push_back({&widget->mOffset, &widget->mPivot, widget});
  AddChild(widget);
  mChildren.emplace(name, widget);
}

QCCandyWidget* QCCandyWidget::FindChild(const std::string& name) {
  auto it = mChildren.find(name);
  return it == mChildren.end() ? nullptr : it->second;
}

void QCCandyWidget::ButtonDepress(int id) {
  if (mParentWidget) mParentWidget->ButtonDepress(id);
}

void QCCandyWidget::AddTexture(int key, QCTexture* texture) {
  if (texture) mTextures.emplace(key, texture);
}

QCTexture* QCCandyWidget::GetTexture(int key, int index) const {
  auto [first, last] = mTextures.equal_range(key);
  for (auto it = first; it != last; ++it, --index)
    if (index == 0) return it->second;
  return nullptr;
}

void QCCandyWidget::RewindTextures() {
  for (auto& [key, texture] : mTextures) texture->SetCurrentFrame(0);
}

void QCCandyWidget::SetDrawShift(int x, int y) {
  mDrawShift = {x, y};
  for (auto& [name, child] : mChildren) child->SetDrawShift(x, y);
  InvalidateTransform();
}

void QCCandyWidget::SetScalePoint(int x, int y) {
  mPivot = {x, y};
  InvalidateTransform();
}

void QCCandyWidget::InvalidateTransform() {
  mTransformDirty = mBoundsDirty = true;
  for (auto& [name, child] : mChildren) child->InvalidateTransform();
}

void QCCandyWidget::SetBounds(int x, int y, int width, int height) {
  InvalidateTransform();
  mLayout = Velk::Rect(x, y, width, height);
  Velk::Widget::SetBounds(x, y, width, height);
}

void QCCandyWidget::Move(int x, int y) {
  InvalidateTransform();
  mLayout.mX = x;
  mLayout.mY = y;
  Velk::Widget::SetBounds(x, y, mLayout.mWidth, mLayout.mHeight);
}

// A local point p lands at pivot + scale * R(angle) * (p + position + offset - pivot) in the parent's
// space, and from there goes through the parent's matrix.
void QCCandyWidget::GetTransform(Velk::Matrix3x3& out) {
  if (mTransformDirty) {
    Velk::Transform2D t;
    t.Translate(static_cast<float>(mLayout.mX) + static_cast<float>(mOffset.x) - static_cast<float>(mPivot.x),
                static_cast<float>(mLayout.mY) + static_cast<float>(mOffset.y) - static_cast<float>(mPivot.y));
    t.RotateDeg(mAngle);
    t.Scale(mScale, mScale);
    t.Translate(static_cast<float>(mPivot.x), static_cast<float>(mPivot.y));
    mMatrix = t.GetMatrix();
    if (mParentWidget) {
      Velk::Matrix3x3 parent;
      mParentWidget->GetTransform(parent);
      mMatrix = parent.Multiply(mMatrix);
    }
    mTransformDirty = false;
  }
  out = mMatrix;
}

// The widget's box through the matrix, cut by the parent's bounds.
Velk::Rect QCCandyWidget::BoxThrough(const Velk::Matrix3x3& matrix) {
  const float w = static_cast<float>(mWidth);
  const float h = static_cast<float>(mHeight);
  const Velk::Vector2 corners[] = {matrix.TransformPoint(0, 0), matrix.TransformPoint(w, 0),
                                   matrix.TransformPoint(w, h), matrix.TransformPoint(0, h)};
  float minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
  for (const Velk::Vector2& c : corners) {
    minX = std::min(minX, c.x);
    maxX = std::max(maxX, c.x);
    minY = std::min(minY, c.y);
    maxY = std::max(maxY, c.y);
  }
  // Data may hold absurd sizes; a box far beyond the screen is as good as any.
  auto sane = [](float v) { return std::clamp(v, -kFarAway, kFarAway); };
  minX = sane(minX);
  maxX = sane(maxX);
  minY = sane(minY);
  maxY = sane(maxY);
  Velk::Rect box(Velk::TruncToInt(minX), Velk::TruncToInt(minY), Velk::TruncToInt(maxX - minX),
                 Velk::TruncToInt(maxY - minY));
  if (mParentWidget) {
    Velk::Rect parent;
    mParentWidget->GetBounds(parent);
    box = box.Intersect(parent);
  }
  return box;
}

void QCCandyWidget::GetBounds(Velk::Rect& out) {
  if (mBoundsDirty) {
    Velk::Matrix3x3 matrix;
    GetTransform(matrix);
    mBounds = BoxThrough(matrix);
    mBoundsDirty = false;
  }
  out = mBounds;
}

void QCCandyWidget::GetTransformedBounds(Velk::Rect& out, const Velk::Matrix3x3& matrix) { out = BoxThrough(matrix); }

void QCCandyWidget::ClipRectToScreen(Velk::Rect& out, const Velk::Rect* rect) {
  Velk::Rect source;
  if (rect)
    source = *rect;
  else
    GetBounds(source);
  out = source.Intersect(kScreen);
}

void QCCandyWidget::FeedTextures() {
  Velk::Matrix3x3 matrix;
  GetTransform(matrix);
  Velk::Rect bounds;
  if (mDrawShift.x != 0 || mDrawShift.y != 0) {
    matrix.m[0][2] += static_cast<float>(mDrawShift.x);
    matrix.m[1][2] += static_cast<float>(mDrawShift.y);
    GetTransformedBounds(bounds, matrix);
  } else {
    GetBounds(bounds);
  }
  Velk::Rect clip;
  ClipRectToScreen(clip, &bounds);
  for (auto& [key, texture] : mTextures) {
    texture->SetMatrix(matrix);
    texture->SetClipRect(clip);
  }
}

void QCCandyWidget::Update() {
  const float dt = QCFrameSeconds();
  if (mEffect) {
    const bool acting = std::exchange(mEffectActing, true);
    mEffect->EffectUpdate(dt);
    mEffectActing = acting;
    InvalidateTransform();
    if ((mShowing || mHiding) && !EffectRunning()) mShowing = mHiding = false;
  }
  Velk::Widget::Update();
  if (mTransformDirty || mBoundsDirty) FeedTextures();
  for (auto& [key, texture] : mTextures) texture->Advance(dt);
  if (mEffect) {
    if (QCParticleRegistry* particles = GetParticleRegistry())
      particles->UpdateParticleSystemsOf(reinterpret_cast<uintptr_t>(mEffect), dt);
  }
  Invalidate();
}

void QCCandyWidget::Draw(Velk::Graphics* g) {
  Velk::Widget::Draw(g);
  for (auto& [key, texture] : mTextures) texture->DrawTransformed(g);
  if (mEffect) {
    mEffect->EffectSetParam(kParamGraphics, g);
    mEffect->EffectSendMessage("render_ps");
  }
}
