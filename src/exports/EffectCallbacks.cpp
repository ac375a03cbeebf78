// The functions that cfg\effect.xml names: timer controls call them with a call record, messages of
// the kind "call" with the effect. Each writes its effect owner's values through the effect's
// numbered parameters and the owner interface. They are reached only by name (ExportTable.cpp).

#include "exports/EffectCallbacks.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/MersenneTwister.h"
#include "engine/EngineUtil.h"
#include "engine/QCCandyWidget.h"
#include "engine/QCEffect.h"
#include "engine/QCEngine.h"
#include "engine/QCParticleRegistry.h"
#include "engine/QCParticleSystem.h"
#include "fonts/TruncToInt.h"

namespace {

constexpr float kPi = 3.1415927f;

// ---- what the effect exposes ------------------------------------------------------------------

const TimerCall& Call(void* a) { return *static_cast<const TimerCall*>(a); }

template <typename T>
T* Param(QCEffect* effect, int id) {
  return static_cast<T*>(effect->EffectGetParam(id));
}

EffectTargetList* Targets(QCEffect* effect) { return Param<EffectTargetList>(effect, kParamTargets); }

// Runs fn on targets [0, count) of the list, at most as many as it holds.
template <typename Fn>
int EachTarget(void* a, Fn fn) {
  EffectTargetList* list = Targets(Call(a).owner);
  if (!list) return 1;
  const int count = std::min(list->count, EffectTargetList::kMaxTargets);
  for (int i = 0; i < count; ++i) fn(list->targets[i]);
  return 1;
}

// Runs fn on the target of that index when the list has it.
template <typename Fn>
int OneTarget(void* a, int index, Fn fn) {
  EffectTargetList* list = Targets(Call(a).owner);
  if (list && index < std::min(list->count, EffectTargetList::kMaxTargets)) fn(list->targets[index]);
  return 1;
}

void SetScale(EffectTarget& t, float v) {
  if (t.scale) *t.scale = v;
}
void SetAlpha(EffectTarget& t, float v) {
  if (t.alpha) *t.alpha = v;
}
void SetVisible(EffectTarget& t, bool v) {
  if (t.visible) *t.visible = v;
}
void SetOffsetY(EffectTarget& t, int v) {
  if (t.offset) t.offset[1] = v;
}

void SetColours(EffectTarget& t, uint32_t colour, uint32_t outline) {
  if (t.color) *t.color = colour;
  if (t.outlineColor) *t.outlineColor = outline;
  SetAlpha(t, 1.0f);
}

QCCandyWidget* Dialog(void* a) { return Param<QCCandyWidget>(Call(a).owner, kParamWidget); }
QCIntPair* Offset(void* a) { return Param<QCIntPair>(Call(a).owner, kParamOffset); }
QCIntPair* ScalePoint(void* a) { return Param<QCIntPair>(Call(a).owner, kParamScalePoint); }
QCIEffect* Owner(void* a) { return Call(a).owner->GetOwner(); }

// Runs fn(offset, dialog) when the effect has both.
template <typename Fn>
int WithOffset(void* a, Fn fn) {
  QCIntPair* offset = Offset(a);
  QCCandyWidget* dialog = Dialog(a);
  if (!offset || !dialog) return 0;
  fn(*offset, dialog->mLayout);
  return 1;
}

template <typename Fn>
int WithOwner(void* a, Fn fn) {
  QCIEffect* owner = Owner(a);
  if (!owner) return 0;
  fn(*owner);
  return 1;
}

// ---- shapes of the motion -----------------------------------------------------------------------

// The parabola through (0, 0), (p, q) and (1, 1), at t.
float Parabola(float p, float q, float t) {
  const float a = (q - p) / (p * p - p);
  const float b = 1.0f - a;
  return a * t * t + b * t;
}

float Square(float v) { return v * v; }

// Toward zero, saturating: sizes come from the data.
int Trunc(float v) { return Velk::TruncToInt(v); }

int Half(int v) { return v / 2; }

// Moves the dialog's child "girl_front" against the dialog's own horizontal offset, fully opaque.
void CounterMoveGirl(void* a, int offsetX) {
  QCCandyWidget* dialog = Dialog(a);
  QCCandyWidget* girl = dialog ? dialog->FindChild("girl_front") : nullptr;
  if (!girl) return;
  girl->SetOffsetX(Velk::ClampToInt(-int64_t{offsetX}));
  girl->SetAlpha(1.0f);
}

// ---- particle presets ---------------------------------------------------------------------------

PSDescriptor StarSettings(const char* texture, float speed, float life, double driftY) {
  PSDescriptor s;
  s.texture = texture;
  s.colourKeyCount = 3;
  s.colourKeys[0] = {0.0f, 255, 255, 255, 1};
  s.colourKeys[1] = {0.1f, 255, 255, 255, 255};
  s.colourKeys[2] = {1.01f, 255, 255, 255, 1};
  s.rate = 30.0f;
  s.speed = speed;
  s.startScale = 0.3f;
  s.endScale = 1.2f;
  s.life = life;
  s.shape = kPSPoint;
  s.x = 400.0f;
  s.y = 300.0f;
  s.driftY = driftY;
  s.angleSpread = 360.0f;
  s.slowdownTime = 1.3f;
  s.randomness = 0.5f;
  s.randomFlags = 15;
  return s;
}

PSDescriptor SmokeSettings(float x, float y) {
  PSDescriptor s;
  s.texture = "fx_work_smoke";
  s.colourKeyCount = 4;
  s.colourKeys[0] = {0.0f, 255, 255, 255, 1};
  s.colourKeys[1] = {0.2f, 255, 255, 255, 255};
  s.colourKeys[2] = {0.8f, 255, 255, 255, 255};
  s.colourKeys[3] = {1.01f, 255, 255, 255, 1};
  s.rate = 5.0f;
  s.speed = 30.0f;
  s.startScale = 0.5f;
  s.endScale = 1.0f;
  s.life = 1.5f;
  s.shape = kPSPoint;
  s.x = x;
  s.y = y;
  s.angleSpread = 180.0f;
  s.slowdownTime = 1.5f;
  s.randomness = 0.5f;
  s.randomFlags = 10;
  return s;
}

// The emitter kept in the parameter, set up afresh, or a new one stored there; then started.
void StartEmitter(QCEffect* effect, int param, const PSDescriptor& settings) {
  auto* system = Param<QCParticleSystem>(effect, param);
  if (system) {
    system->PSSetDescriptor(&settings);
  } else {
    // The registry owns what it builds; without one there is nothing to keep it.
    QCParticleRegistry* registry = GetParticleRegistry();
    if (!registry) return;
    system = new QCParticleSystem(&settings, effect, registry);
    effect->EffectSetParam(param, system);
  }
  system->PSLoadTexture();
  system->PSStart();
}

template <typename Fn>
int EachParticleSystem(QCEffect* effect, Fn fn) {
  for (int id = kParamParticles0; id < kParamParticles0 + 4; ++id)
    if (auto* system = Param<QCParticleSystem>(effect, id)) fn(*system);
  return 1;
}

}  // namespace

// Smoke leaves the worker's pipe: where it sits depends on which way the worker faces.
QCIntPair SmokeOffset(const std::string& orientation, bool mirrored) {
  std::string code = orientation;
  if (code.size() == 3 && code[0] == 'm') {
    code.erase(0, 1);
    mirrored = true;
  }
  QCIntPair offset;
  if (code == "tr")
    offset = {25, -5};
  else if (code == "br")
    offset = {24, 2};
  if (mirrored) offset.x = -offset.x;
  return offset;
}

// ---- every target -----------------------------------------------------------------------------

int EffectScaleZero(void* a) {
  return EachTarget(a, [](EffectTarget& t) { SetScale(t, 0.0f); });
}
int EffectScaleUpRecoil(void* a) {
  return EachTarget(a, [v = Parabola(0.9f, 1.1f, Call(a).value)](EffectTarget& t) { SetScale(t, v); });
}
int EffectScaleDownToOne(void* a) {
  return EachTarget(a, [v = 1.0f + 1.5f * (1.0f - Call(a).value)](EffectTarget& t) { SetScale(t, v); });
}
int EffectScaleDown(void* a) {
  return EachTarget(a, [v = 1.0f - Call(a).value](EffectTarget& t) { SetScale(t, v); });
}
int EffectFadeIn(void* a) {
  return EachTarget(a, [v = Call(a).value](EffectTarget& t) { SetAlpha(t, v); });
}
int EffectFadeOut(void* a) {
  return EachTarget(a, [v = 1.0f - Call(a).value](EffectTarget& t) { SetAlpha(t, v); });
}
int EffectFadeOne(void* a) {
  return EachTarget(a, [](EffectTarget& t) { SetAlpha(t, 1.0f); });
}
int EffectFadeZero(void* a) {
  return EachTarget(a, [](EffectTarget& t) { SetAlpha(t, 0.0f); });
}
int EffectSlideUpAccel(void* a) {
  return EachTarget(a, [v = Trunc(-20.0f * Square(Call(a).value))](EffectTarget& t) { SetOffsetY(t, v); });
}
// Two fresh numbers for every target.
int EffectShake(void* a) {
  return EachTarget(a, [](EffectTarget& t) {
    int x = Trunc(RandomFloat(-2.0f, 2.0f));
    int y = Trunc(RandomFloat(-2.0f, 2.0f));
    if (t.offset) {
      t.offset[0] = x;
      t.offset[1] = y;
    }
  });
}
int EffectSetCheckmarkScalepoint(void* a) {
  return OneTarget(a, 0, [](EffectTarget& t) {
    if (t.scalePoint) {
      t.scalePoint[0] = 13;
      t.scalePoint[1] = 15;
    }
  });
}
int EffectSetCashBonusColor(void* a) {
  return OneTarget(a, 0, [](EffectTarget& t) { SetColours(t, 0x5AFF00FF, 0x000000FF); });
}
int EffectSetCashPenaltyColor(void* a) {
  return OneTarget(a, 0, [](EffectTarget& t) { SetColours(t, 0xFF0000FF, 0xFFFFFFFF); });
}
int EffectSetCashPenaltyOffset(void* a) {
  return EachTarget(a, [](EffectTarget& t) { SetOffsetY(t, 50); });
}
int EffectSetChainColor(void* a) {
  return OneTarget(a, 0, [](EffectTarget& t) { SetColours(t, 0xFFF7C2FF, 0x4C1900FF); });
}
int UpgradeEffectBlink(void* a) {
  const float t = Call(a).value;
  const float f = 10.0f * t - std::floor(10.0f * t);
  const float alpha = f > 0.3f ? std::min(t + 0.3f, 1.0f) : t;
  return EachTarget(a, [alpha](EffectTarget& target) { SetAlpha(target, alpha); });
}
int WindowFadeOut(void* a) {
  return EachTarget(a, [t = Call(a).value](EffectTarget& target) {
    SetAlpha(target, 1.0f - t);
    if (t == 1.0f) SetVisible(target, false);
  });
}
int WindowReset(void* a) {
  if (bool* visible = Param<bool>(Call(a).owner, kParamVisible)) *visible = true;
  return EachTarget(a, [](EffectTarget& t) {
    SetAlpha(t, 1.0f);
    SetVisible(t, true);
  });
}
int EffectBlinkHP(void* a) {
  return OneTarget(a, 1, [v = 0.5f + 0.5f * std::sin(kPi * Call(a).value)](EffectTarget& t) { SetAlpha(t, v); });
}
int EffectScalePulse(void* a) {
  return EachTarget(a, [v = 1.0f + 0.2f * std::sin(kPi * Call(a).value)](EffectTarget& t) { SetScale(t, v); });
}
int EffectJumpUp(void* a) {
  return EachTarget(a, [v = Trunc(-5.0f * std::sin(kPi * Call(a).value))](EffectTarget& t) { SetOffsetY(t, v); });
}
int EffectSlideFromBottomDecel(void* a) {
  return EachTarget(a, [v = Trunc(20.0f * Square(1.0f - Call(a).value))](EffectTarget& t) { SetOffsetY(t, v); });
}

// ---- the dialog of parameter 6 and its offset and scale point ---------------------------------

int DlgSetCenterScalePoint(void* a) {
  QCIntPair* point = ScalePoint(a);
  QCCandyWidget* dialog = Dialog(a);
  if (!point || !dialog) return 0;
  const Velk::Rect& box = dialog->mLayout;
  *point = {Velk::ClampToInt(int64_t{box.mX} + Half(box.mWidth)),
            Velk::ClampToInt(int64_t{box.mY} + Half(box.mHeight))};
  return 1;
}
int DlgShiftDown(void* a) {
  return WithOffset(
      a, [t = Call(a).value](QCIntPair& o, const Velk::Rect& box) { o.y = Trunc(box.mHeight * (0.2f * t)); });
}
int DlgShiftToRight(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect&) { o.x = Trunc(400.0f * t - 200.0f); });
}
// The star jumps to a random place on the screen and turns about its own centre.
int SparklingStar(void* a) {
  QCIntPair* point = ScalePoint(a);
  return WithOffset(a, [point](QCIntPair& o, const Velk::Rect& box) {
    o.x = Trunc(Velk::RandomFloat(static_cast<float>(QCCandyWidget::kScreenWidth) - static_cast<float>(box.mWidth)));
    o.y = Trunc(Velk::RandomFloat(static_cast<float>(QCCandyWidget::kScreenHeight) - static_cast<float>(box.mHeight)));
    if (point)
      *point = {Velk::ClampToInt(int64_t{o.x} + Half(box.mWidth)), Velk::ClampToInt(int64_t{o.y} + Half(box.mHeight))};
  });
}
int Rotate360(void* a) {
  QCCandyWidget* dialog = Dialog(a);
  if (!dialog) return 0;
  dialog->mAngle = 360.0f * Call(a).value;
  return 1;
}
int DlgShiftDownAccel(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect& box) {
    o.y = Trunc(0.2f * Square(t) * static_cast<float>(box.mHeight));
  });
}
int DlgSlideDownAccel(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect& box) {
    o.y = Trunc(Square(t) * static_cast<float>(box.mHeight));
  });
}
int DlgSlideRightAccel(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect& box) {
    o.x = Trunc(Square(t) * static_cast<float>(box.mWidth));
  });
}
int DlgSlideLeftAccel(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect& box) {
    o.x = -Trunc(Square(t) * static_cast<float>(box.mWidth));
  });
}
int DlgSlideUp20(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect&) { o.y = Trunc(-20.0f * t); });
}
int DlgSlideDown20(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect&) { o.y = Trunc(-20.0f * (1.0f - t)); });
}
int DlgSlideLeftAccel400(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect&) { o.x = 400 - Trunc(400.0f * Square(t)); });
}
int DlgSlideLeftAccel400M(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect&) { o.x = Trunc(-400.0f * Square(t)); });
}
int DlgSlideFromRightAccel(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect& box) {
    o.x = Trunc(static_cast<float>(box.mWidth) * Square(1.0f - t));
  });
}
int DlgSlideDownAccel485(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect&) {
    o.y = Trunc(-std::cos(2.0f * kPi * Square(t)) * 242.0f * Square(1.0f - t));
  });
}
int DlgSlideFromBottomAccel(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect& box) {
    o.y = Trunc(static_cast<float>(box.mHeight) * Square(1.0f - t));
  });
}
int DlgSlideFromBottomAccel485(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect&) {
    o.y = Trunc(242.0f * (1.0f - std::sin(2.0f * kPi * Square(t))) * Square(1.0f - t) - 242.0f);
  });
}
int DlgSlideFromLeftAccel(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect& box) {
    o.x = Velk::ClampToInt(int64_t{Trunc(Square(t) * static_cast<float>(box.mWidth))} - box.mWidth);
  });
}
int DlgSlideFromLeftAccel400(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect&) { o.x = Trunc(400.0f * Square(t)); });
}
int DlgSlideFromLeftAccel400M(void* a) {
  return WithOffset(a, [t = Call(a).value](QCIntPair& o, const Velk::Rect&) { o.x = Trunc(400.0f * Square(t)) - 400; });
}
int DlgSlideRightAccelGirl(void* a) {
  if (!DlgSlideRightAccel(a)) return 0;
  CounterMoveGirl(a, Offset(a)->x);
  return 1;
}
int DlgSlideFromRightAccelGirl(void* a) {
  if (!DlgSlideFromRightAccel(a)) return 0;
  CounterMoveGirl(a, Offset(a)->x);
  return 1;
}

// ---- the owner interface ------------------------------------------------------------------------

int DlgShow(void* a) {
  return WithOwner(a, [](QCIEffect& o) { o.SetVisible(true); });
}
int DlgHide(void* a) {
  return WithOwner(a, [](QCIEffect& o) { o.SetVisible(false); });
}
int DlgReset(void* a) {
  return WithOwner(a, [](QCIEffect& o) {
    o.SetAlpha(1.0f);
    o.SetScale(1.0f);
    o.SetOffsetX(0);
    o.SetOffsetY(0);
  });
}
int DlgScaleUpRecoil(void* a) {
  return WithOwner(a, [v = Parabola(0.85f, 1.05f, Call(a).value)](QCIEffect& o) { o.SetScale(v); });
}
int DlgScaleUpEaseOut(void* a) {
  return WithOwner(a, [v = Parabola(0.5f, 0.8f, Call(a).value)](QCIEffect& o) { o.SetScale(v); });
}
int DlgSmallScaleUpAccel(void* a) {
  return WithOwner(a, [v = 1.1f - 0.1f * Square(Call(a).value)](QCIEffect& o) { o.SetScale(v); });
}
int DlgSmallScaleDownAccel(void* a) {
  return WithOwner(a, [v = 1.0f - 0.1f * Square(Call(a).value)](QCIEffect& o) { o.SetScale(v); });
}
int DlgBigScaleDownAccel(void* a) {
  return WithOwner(a, [v = 1.0f + 3.0f * (1.0f - Square(Call(a).value))](QCIEffect& o) { o.SetScale(v); });
}
// Falls onto the screen like a stamp: large and faint, then at rest from u = 0.5 on.
int DlgStampSplash(void* a) {
  const float u = 0.7f * Call(a).value;
  float alpha = 1.0f, scale = 1.0f;
  if (u < 0.4f) {
    alpha = u;
    scale = 4.0f - 6.0f * u;
  } else if (u < 0.5f) {
    alpha = 0.4f + 0.6f * (u - 0.4f);
    scale = 4.0f - 6.0f * u;
  }
  return WithOwner(a, [alpha, scale](QCIEffect& o) {
    o.SetAlpha(alpha);
    o.SetScale(scale);
  });
}
int DlgFadeIn(void* a) {
  return WithOwner(a, [v = Call(a).value](QCIEffect& o) { o.SetAlpha(v); });
}
int DlgFadeOut(void* a) {
  return WithOwner(a, [v = 1.0f - Call(a).value](QCIEffect& o) { o.SetAlpha(v); });
}
int DlgTypeIn(void* a) {
  if (!WithOwner(a, [](QCIEffect& o) { o.SetAlpha(1.0f); })) return 0;
  if (QCCandyWidget* dialog = Dialog(a)) dialog->ShowTypedPrefix(Call(a).value);
  return 1;
}
int DlgUpgradeBtnBlink(void* a) {
  const float t = Call(a).value;
  float alpha = 1.0f;
  if (t > 0.0f && t <= 0.2f)
    alpha = 1.0f - t / 0.2f;
  else if (t > 0.3f && t <= 0.5f)
    alpha = 1.0f - (t - 0.3f) / 0.2f;
  QCCandyWidget* dialog = Dialog(a);
  if (dialog && dialog->mBlinkOff) alpha = 1.0f;
  return WithOwner(a, [alpha](QCIEffect& o) { o.SetAlpha(alpha); });
}

// ---- particles ----------------------------------------------------------------------------------

int FuncOnGoalExpertPSEffect(void* a) {
  if (Call(a).value != 0.0f) return 0;
  StartEmitter(Call(a).owner, kParamParticles0, StarSettings("fx_goal_star_small", 400.0f, 1.0f, 20.0));
  StartEmitter(Call(a).owner, kParamParticles0 + 1, StarSettings("fx_goal_star_big", 300.0f, 0.8f, 50.0));
  return 1;
}

int FuncOnWorkerWorkingPSEffect(void* a) {
  if (Call(a).value != 0.0f) return 0;
  QCEffect* effect = Call(a).owner;
  const int* x = Param<int>(effect, kParamSpawnX);
  const int* y = Param<int>(effect, kParamSpawnY);
  const auto* orientation = Param<std::string>(effect, kParamOrientation);
  const bool* mirrored = Param<bool>(effect, kParamMirror);
  const QCIntPair offset = SmokeOffset(orientation ? *orientation : std::string(), mirrored && *mirrored);
  const float sx = static_cast<float>((x ? *x : 0) + offset.x);
  const float sy = static_cast<float>((y ? *y : 0) + offset.y);
  StartEmitter(effect, kParamParticles0, SmokeSettings(sx, sy));
  return 1;
}

int RenderPSFunc(void* a) {
  auto* effect = static_cast<QCEffect*>(a);
  auto* g = Param<Velk::Graphics>(effect, kParamGraphics);
  if (!g) return 0;
  return EachParticleSystem(effect, [g](QCParticleSystem& s) { s.PSDraw(g); });
}

int StopPSFunc(void* a) {
  auto* effect = static_cast<QCEffect*>(a);
  if (!Param<Velk::Graphics>(effect, kParamGraphics)) return 0;
  return EachParticleSystem(effect, [](QCParticleSystem& s) { s.PSStop(); });
}

// ---- the input shield ---------------------------------------------------------------------------

int WidgetsLock(void*) {
  if (QCEngine* engine = GetEngine()) engine->WidgetsLock();
  return 1;
}

int WidgetsUnlock(void*) {
  if (QCEngine* engine = GetEngine()) engine->WidgetsUnlock();
  return 1;
}
