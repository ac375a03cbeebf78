#pragma once
// The base of every widget the UI description builds: the common XML attributes, an effect that can
// take over showing and hiding, textures keyed by small integers, children kept by name, an opacity
// and a cached transform (offset, pivot, rotation, scale) combined with the parent's, through which
// the widget's textures are drawn.

#include <map>
#include <string>
#include <vector>

#include "common/Matrix3x3.h"
#include "engine/QCIEffect.h"
#include "graphics/Rect.h"
#include "widgets/Widget.h"

class QCEffect;
class QCTexture;
class IXMLDOMNode;

// Two adjacent ints: effects write x and y through one pointer.
struct QCIntPair {
  int x = 0;
  int y = 0;
};

class QCCandyWidget;

// What an effect may move of a child added by name.
struct ChildEffectHook {
  QCIntPair* offset;
  QCIntPair* pivot;
  QCCandyWidget* child;
};

class QCCandyWidget : public Velk::Widget, public QCIEffect {
 public:
  static constexpr int kScreenWidth = 800;
  static constexpr int kScreenHeight = 600;

  QCIntPair mOffset;
  float mScale = 1.0f;
  QCIntPair mPivot;      // in the parent's coordinates
  float mAngle = 0.0f;   // degrees
  QCIntPair mDrawShift;  // applied to the widget's own textures only
  Velk::Rect mLayout;    // the rectangle last given to Resize or Move
  float mOpacity = 1.0f;
  QCEffect* mEffect = nullptr;   // owned
  QCCandyWidget* mParentWidget;  // not owned; may be null
  std::vector<ChildEffectHook> mChildHooks;
  std::map<std::string, QCCandyWidget*> mChildren;  // by name; the first of a name stays
  std::multimap<int, QCTexture*> mTextures;         // owned; key 0 "normal"
  bool mHiding = false;
  bool mShowing = false;
  bool mBlinkOff = false;  // holds a blinking effect at full opacity

  explicit QCCandyWidget(QCCandyWidget* parent);
  ~QCCandyWidget() override;

  // Velk::Widget
  void Update() override;
  void Draw(Velk::Graphics* g) override;
  void SetVisible(bool visible) override;
  void SetBounds(int x, int y, int width, int height) override;
  void Move(int x, int y) override;
  using Velk::Widget::SetBounds;
  // The offset its effect slides it by: the mouse finds the widget where it is drawn.
  POINT DrawnOffset() override { return {mOffset.x, mOffset.y}; }

  // QCIEffect: they only store; the next update applies them.
  void SetAlpha(float value) override { mOpacity = value; }
  void SetScale(float value) override { mScale = value; }
  void SetPivotX(int x) override { mPivot.x = x; }
  void SetPivotY(int y) override { mPivot.y = y; }
  void SetOffsetX(int x) override { mOffset.x = x; }
  void SetOffsetY(int y) override { mOffset.y = y; }

  virtual void OnShowHook() {}
  virtual void OnHideHook() {}
  virtual void Activate();
  virtual void Deactivate();
  // Adds a child under a name: an effect target, a child widget and an entry of the name map.
  virtual void BindControl(const std::string& name, QCCandyWidget* widget);
  virtual QCCandyWidget* FindChild(const std::string& name);
  // A button's release climbing the chain of game widgets; the default passes it to the parent.
  virtual void ButtonDepress(int id);
  // Text widgets show the first characters of their text while typing in; others ignore it.
  virtual void ShowTypedPrefix(float t) { (void)t; }

  void ReadCommonXml(IXMLDOMNode* node);
  void Resize(int x, int y, int width, int height) { SetBounds(x, y, width, height); }
  void Show();
  void Hide();
  void ShowChildren();
  void HideChildren();
  bool SendEffectMessage(const char* name);
  bool IsVisibleInTree() const;
  void ActivateTree();
  void DeactivateTree();
  void AddTexture(int key, QCTexture* texture);
  QCTexture* GetTexture(int key, int index) const;
  void RewindTextures();
  void SetDrawShift(int x, int y);
  void SetScalePoint(int x, int y);
  void SetBlinkOff(bool off) { mBlinkOff = off; }
  void InvalidateTransform();
  void GetTransform(Velk::Matrix3x3& out);
  void GetBounds(Velk::Rect& out);
  void GetTransformedBounds(Velk::Rect& out, const Velk::Matrix3x3& matrix);
  void ClipRectToScreen(Velk::Rect& out, const Velk::Rect* rect);

 private:
  Velk::Rect BoxThrough(const Velk::Matrix3x3& matrix);
  bool EffectRunning() const;
  void EndShowHide();
  void FeedTextures();

  Velk::Matrix3x3 mMatrix;
  Velk::Rect mBounds;
  bool mTransformDirty = true;
  bool mBoundsDirty = true;
  // Its own effect is acting: the visibility it sets is part of a show or hide, not an end to it.
  bool mEffectActing = false;
};

// The frame time of one logic update in seconds.
float QCFrameSeconds();
