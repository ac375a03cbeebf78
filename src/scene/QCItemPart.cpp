#include "scene/QCItemPart.h"

#include <cmath>

#include "engine/EngineUtil.h"
#include "engine/QCDeadline.h"
#include "engine/QCEngine.h"
#include "engine/QCParticleRegistry.h"
#include "engine/XmlAccess.h"
#include "graphics/Color.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "scene/QCBoard_Game.h"
#include "scene/LevelLog.h"
#include "scene/QCItem.h"

namespace {

Velk::Color FromRgba(uint32_t rgba) {
  return Velk::Color(static_cast<int>(rgba >> 24), static_cast<int>((rgba >> 16) & 0xFF),
                     static_cast<int>((rgba >> 8) & 0xFF), static_cast<int>(rgba & 0xFF));
}

Velk::Font* FontByName(const std::string& name) {
  QCEngine* engine = GetEngine();
  return engine && !name.empty() ? engine->GetFontByName(name) : nullptr;
}

bool PlayerShows(const AnmPlayer* player) {
  return player && (player->GetState() == AnmPlayer::kPlaying || player->GetState() == AnmPlayer::kPaused);
}

}  // namespace

QCItemPart::QCItemPart(QCItem* owner) : mOwner(owner) {
  EffectTarget target;
  target.offset = &mOffset.x;
  target.scale = &mScale;
  target.scalePoint = &mPivotShift.x;
  target.alpha = &mAlpha;
  target.visible = &mVisible;
  target.reserved = &mOrientationFree;
  target.color = &mTextColor;
  target.outlineColor = &mSubTextColor;
  mOwnTargets.count = 1;
  mOwnTargets.targets[0] = target;
  EffectTargetList& list = owner->mTargets;
  // The object's effect drives its first 15 parts; later ones only draw.
  if (list.count + 1 < EffectTargetList::kMaxTargets + 1) list.targets[list.count++] = target;
}

QCItemPart::~QCItemPart() {
  ReleaseImages();
  mPlayer.reset();
  delete mEffect;
}

void QCItemPart::OnAnmStopped(const std::string& anim) { mOwner->OnPartStopped(this, anim); }

bool QCItemPart::LoadFromXml(IXMLDOMNode* node) {
  mName = XmlReadName(node, L"name");
  const std::string effect = XmlReadName(node, L"effect");
  mFont = FontByName(XmlReadName(node, L"font"));
  mSubFont = FontByName(XmlReadName(node, L"sub_font"));
  XmlGetAttrInt(node, L"offs_x", mAnchorX);
  XmlGetAttrInt(node, L"offs_y", mAnchorY);
  XmlGetAttrInt(node, L"scale_point_x", mScalePoint.x);
  XmlGetAttrInt(node, L"scale_point_y", mScalePoint.y);
  int mirror = 0;
  XmlGetAttrInt(node, L"mirror", mirror);
  mMirror = mirror != 0;
  XmlGetAttrBool(node, L"zover", mZOver);
  XmlForEach(node, L"exchange_skin",
             [this](IXMLDOMNode* item) { mExchangeSkins[XmlReadName(item, L"from")] = XmlReadName(item, L"to"); });
  for (POINT& p : mZLine) p = POINT{};
  if (!mZOver) {
    mParentZ = XmlReadName(node, L"parent_z");
    const wchar_t* names[3][2] = {{L"order0_x", L"order0_y"}, {L"order1_x", L"order1_y"}, {L"order2_x", L"order2_y"}};
    for (int i = 0; i < 3; ++i) {
      int x = 0;
      int y = 0;
      XmlGetAttrInt(node, names[i][0], x);
      XmlGetAttrInt(node, names[i][1], y);
      mZLine[i] = POINT{x, y};
    }
  }
  mOrientationFree = mName == "checkmark";
  if (!effect.empty()) ReadEffect(effect);
  mPlayer = std::make_unique<AnmPlayer>(this);
  if (!mPlayer->Load(mName)) {
    mPlayer.reset();
    // Parts over the z-order are anchors and text parts, which need no file of their own.
    if (!mZOver) LevelLogOnce("anm " + mName, "scene: cannot read anm\\%s.anm; the part shows nothing", mName.c_str());
  }
  return true;
}

void QCItemPart::ReadEffect(const std::string& name) {
  delete mEffect;
  mEffect = CreateEffectByName(name.c_str());
  if (!mEffect) return;
  mEffect->EffectSetParam(kParamTargets, &mOwnTargets);
  mEffect->EffectSetParam(kParamVisible, &mVisible);
  mEffect->SetOwner(this);
  mEffect->EffectSendMessage("oncreate");
  int x = 0;
  int y = 0;
  WorldPosition(x, y);
  // Particles are placed in a space centred on the play area.
  mSpawnX = x + QCCandyWidget::kScreenWidth / 2;
  mSpawnY = y + QCCandyWidget::kScreenHeight / 2;
  mEffect->EffectSetParam(kParamSpawnX, &mSpawnX);
  mEffect->EffectSetParam(kParamSpawnY, &mSpawnY);
  mEffect->EffectSetParam(kParamOrientation, &mOrientation);
  mEffect->EffectSetParam(kParamMirror, &mMirror);
}

void QCItemPart::Show(bool show) {
  if (mEffect && mEffect->EffectSendMessage(show ? "onshow" : "onhide")) return;
  SetVisible(show);
}

void QCItemPart::SetSkin(const std::string& name) {
  auto it = mExchangeSkins.find(name);
  mSkin = it != mExchangeSkins.end() ? it->second : name;
}

void QCItemPart::SetOrientation(const std::string& code, bool replay) {
  static const struct {
    const char* mirrored;
    const char* plain;
  } kMirrored[] = {{"mbr", "br"}, {"mtr", "tr"}, {"mtl", "tl"}, {"mbl", "bl"}, {"mr", "r"}};
  mOrientation = code;
  mMirror = !code.empty() && code[0] == 'm';
  for (const auto& m : kMirrored)
    if (code == m.mirrored) mOrientation = m.plain;
  if (replay && mPlayer && mPlayer->GetState() == AnmPlayer::kPlaying) {
    PlayAnim(mCurrentAnim, replay);
    ApplySkin();
  }
}

bool QCItemPart::ApplySkin() {
  if (!mPlayer) return false;
  mPlayer->FetchImages(mSkin + (mOrientationFree ? "" : mOrientation));
  return true;
}

bool QCItemPart::HasSkinEntries() const { return mPlayer && mPlayer->HasEntryStartingWith(mName + mSkin); }

std::string QCItemPart::FullName(const std::string& anim) const {
  return mName + mSkin + (mOrientationFree ? std::string() : mOrientation) + anim;
}

bool QCItemPart::PlayAnim(const std::string& name, bool keepTime) {
  if (name.empty() || !mPlayer) return false;
  if (!mPlayer->PlayByName(FullName(name), keepTime)) return false;
  mCurrentAnim = name;
  return true;
}

void QCItemPart::OnStateElapsed(const std::string& name) {
  if (mPlayer) mPlayer->PlayVariant(FullName(name));
}

void QCItemPart::SetText(const std::wstring& text, int width, int height) {
  mTextDirty = true;
  if (text.empty()) {
    mTextOn = false;
    return;
  }
  mTextOn = true;
  mText = text;
  mTextWidth = width;
  mTextHeight = height;
}

void QCItemPart::SendMessage(const std::string& text) {
  if (mEffect) mEffect->EffectSendMessage(text);
}

void QCItemPart::Update() {
  const float dt = GetGameDt();
  if (mEffect) {
    mEffect->EffectUpdate(dt);
    if (QCParticleRegistry* particles = GetParticleRegistry())
      particles->UpdateParticleSystemsOf(reinterpret_cast<uintptr_t>(mEffect), dt);
  }
  if (!mPlayer) return;
  bool finished = false;
  mPlayer->Update(finished);
  if (finished) mOwner->StartTimedState(mCurrentAnim);
}

void QCItemPart::WorldPosition(int& x, int& y) const {
  x = mOwner->WorldX(mAnchorX);
  y = mOwner->WorldY(mAnchorY);
  const AnmEntry* entry = mPlayer ? mPlayer->GetCurrentEntry() : nullptr;
  const AnmFrame* frame = mPlayer ? mPlayer->GetCurrentFrame() : nullptr;
  if (entry && frame) {
    x += entry->mirrorWidth - frame->offX - frame->width;
    y += frame->offY;
  }
  x += mScalePoint.x;
  y += mScalePoint.y;
}

bool QCItemPart::IsImageReady() const {
  if (!mVisible) return false;
  if (mTextOn) return true;
  return PlayerShows(mPlayer.get()) && mPlayer->GetCurrentImage() && mPlayer->GetCurrentFrame();
}

float QCItemPart::GetAnimLength() const { return mPlayer ? mPlayer->GetDuration() : 0.0f; }

void QCItemPart::SetFrame(int n) {
  if (mPlayer) mPlayer->StopAtFrame(n);
}

void QCItemPart::Pause() {
  if (mPlayer) mPlayer->Pause();
}

void QCItemPart::Resume() {
  if (mPlayer) mPlayer->Resume();
}

void QCItemPart::Restart() {
  if (mPlayer) mPlayer->Rewind(mPlayer->GetCurrentIndex());
}

void QCItemPart::ReleaseImages() {
  if (!mPlayer) return;
  std::vector<Velk::SharedImageHandle> images;
  mPlayer->HandOverImages(images);
  HoldLevelImages(images);
}

void QCItemPart::AddTrailCopy() {
  QCTrailCopy copy;
  if (mPlayer) {
    copy.entry = mPlayer->GetCurrentIndex();
    copy.frame = mPlayer->GetCurrentFrameIndex();
  }
  const POINT origin = DrawOrigin();
  copy.x = origin.x;
  copy.y = origin.y;
  mTrail.push_back(copy);
}

void QCItemPart::AgeTrail(float amount) {
  for (auto it = mTrail.begin(); it != mTrail.end();) {
    it->life -= amount;
    it = it->life > 0.0f ? std::next(it) : mTrail.erase(it);
  }
}

QCItemPart* QCItemPart::GetZParent() const {
  if (mParentZ.empty()) return nullptr;
  const size_t colon = mParentZ.find(':');
  const std::string object = mParentZ.substr(0, colon);
  const std::string part = colon == std::string::npos ? std::string() : mParentZ.substr(colon + 1);
  QCItem* item = QCItem::FindByName(object);
  return item ? item->FindPart(part, 0) : nullptr;
}

void QCItemPart::SetZLine(int x0, int y0, int x1, int y1, int x2, int y2) {
  mZLine[0] = POINT{x0, y0};
  mZLine[1] = POINT{x1, y1};
  mZLine[2] = POINT{x2, y2};
}

std::string QCItemPart::Label() const { return mOwner->mName + ":" + mName; }

void QCItemPart::RebuildTextImage() {
  mTextDirty = false;
  mTextImage = std::make_unique<Velk::MemoryImage>();
  mTextImage->CreateBlank(mTextWidth, mTextHeight);
  if (!mFont) return;
  Velk::Graphics g(mTextImage.get());
  const Velk::Rect box(0, 0, mTextWidth, mTextHeight);
  if (mSubFont) {
    g.SetFont(mSubFont);
    g.SetColor(FromRgba(mSubTextColor));
    g.DrawWrappedText(box, mText, -1, 0, nullptr, -1, nullptr);
  }
  g.SetFont(mFont);
  g.SetColor(FromRgba(mTextColor));
  g.DrawWrappedText(box, mText, -1, 0, nullptr, -1, nullptr);
}

void QCItemPart::Draw(Velk::Graphics* g) {
  if (!mVisible || !mOwner->mVisible) return;
  const float alpha = mAlpha;
  for (const QCTrailCopy& copy : mTrail) {
    const AnmEntry* entry = mPlayer ? mPlayer->GetEntry(copy.entry) : nullptr;
    if (!entry || entry->sequence->frames.empty()) continue;
    const auto& frames = entry->sequence->frames;
    const AnmFrame& frame = frames[std::min(static_cast<size_t>(std::max(copy.frame, 0)), frames.size() - 1)];
    mAlpha = copy.life / 255.0f;
    DrawCel(g, mPlayer->GetEntryImage(copy.entry), frame, entry->mirrorWidth, copy.x, copy.y);
  }
  mAlpha = alpha;
  if (PlayerShows(mPlayer.get()) || mTextOn) {
    const POINT origin = DrawOrigin();
    const int x = origin.x;
    const int y = origin.y;
    if (mTextOn) {
      if (mTextDirty || !mTextImage) RebuildTextImage();
      AnmFrame whole;
      whole.width = mTextWidth;
      whole.height = mTextHeight;
      DrawCel(g, mTextImage.get(), whole, mTextWidth, x, y);
    } else if (const AnmFrame* frame = mPlayer->GetCurrentFrame()) {
      DrawCel(g, mPlayer->GetCurrentImage(), *frame, mPlayer->GetCurrentEntry()->mirrorWidth, x, y);
    }
  }
  if (mEffect) {
    mEffect->EffectSetParam(kParamGraphics, g);
    mEffect->EffectSendMessage("render_ps");
  }
}

bool QCItemPart::Mirrored() const { return mMirror && !mOrientationFree; }

POINT QCItemPart::DrawOrigin() const {
  return {mOwner->WorldX(mAnchorX) + mOffset.x, mOwner->WorldY(mAnchorY) + mOffset.y};
}

Velk::Rect QCItemPart::CelRect(const AnmFrame& frame, int mirrorWidth, int x, int y, int repeat) const {
  return Velk::Rect((Mirrored() ? mirrorWidth - frame.offX - frame.width : frame.offX) + x + repeat * mRepeatStepX,
                    frame.offY + y + repeat * mRepeatStepY, frame.width, frame.height);
}

Velk::Rect QCItemPart::OpaqueArea(const Velk::Graphics& g) {
  if (!IsImageReady() || mTextOn || std::fabs(mScale - 1.0f) >= 0.01f) return {};
  Velk::Graphics look(g);
  ApplyCelLook(look);
  if (look.GetImageColorize() || look.GetDrawMode() != 0) return {};
  auto* image = dynamic_cast<Velk::MemoryImage*>(mPlayer->GetCurrentImage());
  if (!image || image->mForcedMode) return {};
  image->ScanAlpha();  // keeps its answer until the pixels change
  if (image->mHasAlpha || image->mHasTrans) return {};
  const POINT origin = DrawOrigin();
  return CelRect(*mPlayer->GetCurrentFrame(), mPlayer->GetCurrentEntry()->mirrorWidth, origin.x, origin.y, 0);
}

void QCItemPart::ApplyCelLook(Velk::Graphics& g) const {
  if (mTint != 0) {
    g.SetColor(Velk::Color(mTint));
    g.SetImageColorize(true);
  }
  if (mAlpha != 1.0f) {
    Velk::Color c = g.GetImageColorize() ? g.GetColor() : Velk::Color(255, 255, 255, 255);
    c.mAlpha = static_cast<int>(static_cast<float>(c.mAlpha) * mAlpha);
    g.SetColor(c);
    g.SetImageColorize(true);
  }
}

// The scale point is relative to the part's draw position (x, y).
void QCItemPart::DrawCel(Velk::Graphics* g, Velk::Image* image, const AnmFrame& frame, int mirrorWidth, int x, int y) {
  if (!image) return;
  const bool mirror = Mirrored();
  const Velk::Color color = g->GetColor();
  const bool colorize = g->GetImageColorize();
  const int mode = g->GetDrawMode();
  ApplyCelLook(*g);
  const Velk::Rect src(frame.srcX, frame.srcY, frame.width, frame.height);
  for (int i = 0; i < mRepeatCount; ++i) {
    Velk::Rect dest = CelRect(frame, mirrorWidth, x, y, i);
    if (std::fabs(mScale - 1.0f) >= 0.01f) {
      const float sx = static_cast<float>(x + mScalePoint.x + mPivotShift.x);
      const float sy = static_cast<float>(y + mScalePoint.y + mPivotShift.y);
      dest = Velk::Rect(static_cast<int>((static_cast<float>(dest.mX) - sx) * mScale + sx),
                        static_cast<int>((static_cast<float>(dest.mY) - sy) * mScale + sy),
                        static_cast<int>(static_cast<float>(dest.mWidth) * mScale),
                        static_cast<int>(static_cast<float>(dest.mHeight) * mScale));
    }
    DrawWithHover(g, image, src, dest, mirror);
  }
  g->SetColor(color);
  g->SetImageColorize(colorize);
  g->SetDrawMode(mode);
}

void QCItemPart::DrawWithHover(Velk::Graphics* g, Velk::Image* image, const Velk::Rect& src, Velk::Rect dest,
                               bool mirror) {
  g->DrawImageMirrored(image, dest, src, mirror);
  if (!mOwner->IsSelected()) return;
  // The hover highlight: the same cel once more, added in faint white.
  const Velk::Color color = g->GetColor();
  const bool colorize = g->GetImageColorize();
  const int mode = g->GetDrawMode();
  g->SetDrawMode(1);
  g->SetColor(Velk::Color(255, 255, 255, 50));
  g->SetImageColorize(true);
  g->DrawImageMirrored(image, dest, src, mirror);
  g->SetColor(color);
  g->SetImageColorize(colorize);
  g->SetDrawMode(mode);
}
