#pragma once
// One drawable piece of a scene object: frames of the animation file named after the part, chosen by
// the object's skin and orientation, or a wrapped text. It can be scaled about a point, faded,
// tinted, mirrored, repeated in a row, highlighted while its object is hovered, and leave a trail of
// afterimages. It carries its own optional effect and a z-line for the draw order.

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>

#include "engine/QCCandyWidget.h"
#include "engine/QCEffect.h"
#include "engine/QCIEffect.h"
#include "graphics/Rect.h"
#include "scene/AnmPlayer.h"

class IXMLDOMNode;
class QCItem;

namespace Velk {
class Font;
class Graphics;
class Image;
class MemoryImage;

}  // namespace Velk

struct QCTrailCopy {
  int entry = -1;
  int frame = 0;
  int x = 0;
  int y = 0;
  float life = 70.0f;
};

class QCItemPart : public QCIEffect, public QCAnmOwner {
 public:
  static constexpr float kTrailLife = 70.0f;

  // Appends the part's target record to the owner's effect target list.
  explicit QCItemPart(QCItem* owner);
  ~QCItemPart() override;
  QCItemPart(const QCItemPart&) = delete;
  QCItemPart& operator=(const QCItemPart&) = delete;

  // QCIEffect
  void SetAlpha(float alpha) override { mAlpha = alpha; }
  void SetScale(float scale) override { mScale = scale; }
  void SetVisible(bool visible) override { mVisible = visible; }
  void SetPivotX(int x) override { mScalePoint.x = x; }
  void SetPivotY(int y) override { mScalePoint.y = y; }
  void SetOffsetX(int x) override { mOffset.x = x; }
  void SetOffsetY(int y) override { mOffset.y = y; }

  // QCAnmOwner: the owner hears of it.
  void OnAnmStopped(const std::string& anim) override;

  bool LoadFromXml(IXMLDOMNode* node);
  void Show(bool show);
  void SetSkin(const std::string& name);
  void SetOrientation(const std::string& code, bool replay);
  bool ApplySkin();
  // True when the part's animation file has an entry of its skin.
  bool HasSkinEntries() const;
  bool PlayAnim(const std::string& name, bool keepTime = false);
  void OnStateElapsed(const std::string& name);
  void SetText(const std::wstring& text, int width, int height);
  void SendMessage(const std::string& text);
  void Update();
  void Draw(Velk::Graphics* g);
  void WorldPosition(int& x, int& y) const;
  // Where the cel it draws now on g covers every pixel with an opaque one, whatever lay there: a cel
  // of a picture without see-through pixels, drawn unscaled and as it is (the part neither fades nor
  // tints it, and g neither colours it nor adds it). Empty otherwise.
  Velk::Rect OpaqueArea(const Velk::Graphics& g);
  // Visible with a frame to show (a playing or paused animation with its image) or a text.
  bool IsImageReady() const;
  float GetAnimLength() const;
  void SetFrame(int n);
  void Pause();
  void Resume();
  void Restart();
  void ReleaseImages();
  void AddTrailCopy();
  void AgeTrail(float amount);
  QCItemPart* GetZParent() const;
  // The three z-line points; a walker's parts follow its feet.
  void SetZLine(int x0, int y0, int x1, int y1, int x2, int y2);
  // "<object>:<part>", for the z-order's messages.
  std::string Label() const;

  AnmPlayer* GetPlayer() const { return mPlayer.get(); }
  QCItem* GetOwner() const { return mOwner; }

  QCItem* mOwner;
  std::string mSkin;
  std::string mOrientation;
  bool mOrientationFree = false;
  std::map<std::string, std::string> mExchangeSkins;
  bool mVisible = true;
  bool mZOver = false;
  float mScale = 1.0f;
  float mAlpha = 1.0f;
  // The pivot of scaling, relative to the part's draw position.
  QCIntPair mScalePoint;
  QCEffect* mEffect = nullptr;  // owned
  QCIntPair mPivotShift;        // added to the scale point
  QCIntPair mOffset;            // added to the draw position
  EffectTargetList mOwnTargets;
  bool mTextOn = false;
  bool mTextDirty = false;
  std::wstring mText;
  Velk::Font* mFont = nullptr;
  Velk::Font* mSubFont = nullptr;
  int mTextWidth = 0;
  int mTextHeight = 0;
  std::unique_ptr<Velk::MemoryImage> mTextImage;
  uint32_t mTextColor = 0xFFFFFFFF;  // RGBA
  uint32_t mSubTextColor = 0x000000FF;
  std::list<QCTrailCopy> mTrail;
  uint32_t mTint = 0;  // ARGB; 0 is none
  int mRepeatCount = 1;
  int mRepeatStepX = 0;
  int mRepeatStepY = 0;
  std::string mName;
  std::string mCurrentAnim;
  std::string mParentZ;
  int mAnchorX = 0;
  int mAnchorY = 0;
  POINT mZLine[3] = {};
  bool mMirror = false;
  // Where the part's effect spawns its particles (its parameters 263 and 264).
  int mSpawnX = 0;
  int mSpawnY = 0;

 private:
  std::string FullName(const std::string& anim) const;
  void ReadEffect(const std::string& name);
  void RebuildTextImage();
  POINT DrawOrigin() const;
  bool Mirrored() const;
  // Where the cel's copy `repeat` goes before scaling.
  Velk::Rect CelRect(const AnmFrame& frame, int mirrorWidth, int x, int y, int repeat) const;
  // Sets g's colour and colourise flag to those the part's cels are drawn with: g's own, tinted and
  // faded by the part.
  void ApplyCelLook(Velk::Graphics& g) const;
  void DrawCel(Velk::Graphics* g, Velk::Image* image, const AnmFrame& frame, int mirrorWidth, int x, int y);
  void DrawWithHover(Velk::Graphics* g, Velk::Image* image, const Velk::Rect& src, Velk::Rect dest, bool mirror);

  std::unique_ptr<AnmPlayer> mPlayer;
};
