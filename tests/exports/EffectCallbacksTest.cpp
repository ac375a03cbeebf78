#include "exports/EffectCallbacks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "engine/WidgetTestKit.h"
#include "exports/ExportTable.h"
#include "platform/crt/Rand.h"
#include "platform/modules/Modules.h"

using WidgetKit::DrawLog;
using WidgetKit::WidgetTest;

namespace {

const float kPiF = 3.1415927f;

const char* const kExported[] = {"EffectScaleZero",
                                 "EffectScaleUpRecoil",
                                 "EffectScaleDownToOne",
                                 "EffectScaleDown",
                                 "EffectFadeIn",
                                 "EffectFadeOut",
                                 "EffectFadeOne",
                                 "EffectBlinkHPOff",
                                 "EffectFadeZero",
                                 "EffectSlideUpAccel",
                                 "EffectShake",
                                 "EffectSetCheckmarkScalepoint",
                                 "DlgSetCenterScalePoint",
                                 "DlgShiftDown",
                                 "DlgShiftToRight",
                                 "SparklingStar",
                                 "Rotate360",
                                 "DlgShiftDownAccel",
                                 "DlgSlideDownAccel",
                                 "DlgSlideRightAccel",
                                 "DlgSlideLeftAccel",
                                 "DlgSlideUp20",
                                 "DlgSlideDown20",
                                 "DlgSlideLeftAccel400",
                                 "DlgSlideLeftAccel400M",
                                 "EffectSetCashBonusColor",
                                 "EffectSetCashPenaltyColor",
                                 "EffectSetCashPenaltyOffset",
                                 "EffectSetChainColor",
                                 "UpgradeEffectBlink",
                                 "RenderPSFunc",
                                 "StopPSFunc",
                                 "WidgetsLock",
                                 "WidgetsUnlock",
                                 "WindowFadeOut",
                                 "WindowReset",
                                 "EffectBlinkHP",
                                 "EffectScalePulse",
                                 "EffectJumpUp",
                                 "DlgShow",
                                 "EffectItemShow",
                                 "DlgHide",
                                 "EffectItemHide",
                                 "DlgReset",
                                 "DlgScaleUpRecoil",
                                 "DlgScaleUpEaseOut",
                                 "DlgSmallScaleUpAccel",
                                 "DlgSmallScaleDownAccel",
                                 "DlgBigScaleDownAccel",
                                 "DlgStampSplash",
                                 "DlgFadeIn",
                                 "DlgTypeIn",
                                 "DlgFadeOut",
                                 "DlgSlideFromRightAccel",
                                 "DlgUpgradeBtnBlink",
                                 "FuncOnGoalExpertPSEffect",
                                 "EffectSlideFromBottomDecel",
                                 "DlgSlideDownAccel485",
                                 "DlgSlideFromBottomAccel",
                                 "DlgSlideFromBottomAccel485",
                                 "DlgSlideFromLeftAccel",
                                 "DlgSlideFromLeftAccel400",
                                 "DlgSlideFromLeftAccel400M",
                                 "FuncOnWorkerWorkingPSEffect",
                                 "DlgSlideRightAccelGirl",
                                 "DlgSlideFromRightAccelGirl"};

EffectCallback Find(const char* name) {
  return reinterpret_cast<EffectCallback>(GetProcAddress(GetModuleHandleA(nullptr), name));
}

TEST(ExportTable, EveryNameResolvesAndTheAliasesShareTheirFunction) {
  RegisterEffectCallbacks();
  EXPECT_EQ(std::size(kExported), 66u);
  std::set<EffectCallback> distinct;
  for (const char* name : kExported) {
    EXPECT_NE(Find(name), nullptr) << name;
    distinct.insert(Find(name));
  }
  EXPECT_EQ(distinct.size(), 63u);
  EXPECT_EQ(Find("EffectBlinkHPOff"), Find("EffectFadeOne"));
  EXPECT_EQ(Find("EffectItemShow"), Find("DlgShow"));
  EXPECT_EQ(Find("EffectItemHide"), Find("DlgHide"));
  EXPECT_EQ(Find("DlgShowX"), nullptr);
  EXPECT_EQ(Find("dlgshow"), nullptr);
}

// A widget of 200 x 100 at (40, 30) that owns the effect, plus two scene targets in the list.
class CallbackTest : public WidgetTest {
 protected:
  struct Target {
    int offset[2] = {7, 7};
    float scale = 9.0f;
    int scalePoint[2] = {7, 7};
    float alpha = 9.0f;
    bool visible = true;
    uint32_t colour = 0;
    uint32_t outline = 0;
  };

  QCCandyWidget widget{nullptr};
  QCEffect effect;
  Target targets[2];
  EffectTargetList list;

  void SetUp() override {
    WidgetTest::SetUp();
    Reset();
  }

  void Reset() {
    widget.mOffset = {0, 0};
    widget.mScale = 1.0f;
    widget.mOpacity = 1.0f;
    widget.mAngle = 0.0f;
    for (Target& t : targets) t = Target();
    widget.Resize(40, 30, 200, 100);
    effect.SetOwner(&widget);
    effect.EffectSetParam(kParamOffset, &widget.mOffset);
    effect.EffectSetParam(kParamScalePoint, &widget.mPivot);
    effect.EffectSetParam(kParamWidget, &widget);
    effect.EffectSetParam(kParamTargets, &list);
    list.count = 2;
    for (int i = 0; i < 2; ++i) {
      Target& t = targets[i];
      list.targets[i] = {t.offset, &t.scale, t.scalePoint, &t.alpha, &t.visible, nullptr, &t.colour, &t.outline};
    }
  }

  int Run(const char* name, float t) {
    TimerCall call;
    call.owner = &effect;
    call.value = t;
    EffectCallback f = Find(name);
    EXPECT_NE(f, nullptr) << name;
    return f ? f(&call) : -1;
  }
};

enum class What { TargetScale, TargetAlpha, TargetOffsetY, OffsetX, OffsetY, OwnerScale, OwnerAlpha, Angle };

// Worked out in float, as the game computes them.
struct Row {
  const char* name;
  What what;
  std::function<float(float)> expect;
  double slack;  // the trigonometric ones may land one pixel apart in float
};

float Lagrange(float p, float q, float t) { return q * t * (t - 1) / (p * (p - 1)) + t * (t - p) / (1 - p); }
float Frac(float v) { return v - std::floor(v); }

TEST_F(CallbackTest, FormulasAtChosenTimes) {
  const float w = 200, h = 100;
  const std::vector<Row> rows = {
      {"EffectScaleZero", What::TargetScale, [](float) { return 0.0f; }, 1e-6},
      {"EffectScaleUpRecoil", What::TargetScale, [](float t) { return Lagrange(0.9f, 1.1f, t); }, 1e-5},
      {"EffectScaleDownToOne", What::TargetScale, [](float t) { return 1 + 1.5f * (1 - t); }, 1e-6},
      {"EffectScaleDown", What::TargetScale, [](float t) { return 1 - t; }, 1e-6},
      {"EffectFadeIn", What::TargetAlpha, [](float t) { return t; }, 1e-6},
      {"EffectFadeOut", What::TargetAlpha, [](float t) { return 1 - t; }, 1e-6},
      {"EffectBlinkHPOff", What::TargetAlpha, [](float) { return 1.0f; }, 1e-6},
      {"EffectFadeZero", What::TargetAlpha, [](float) { return 0.0f; }, 1e-6},
      {"EffectSlideUpAccel", What::TargetOffsetY, [](float t) { return std::trunc(-20 * t * t); }, 0},
      {"EffectScalePulse", What::TargetScale, [](float t) { return 1 + 0.2f * std::sin(kPiF * t); }, 1e-5},
      {"EffectJumpUp", What::TargetOffsetY, [](float t) { return std::trunc(-5 * std::sin(kPiF * t)); }, 1},
      {"EffectSlideFromBottomDecel", What::TargetOffsetY, [](float t) { return std::trunc(20 * (1 - t) * (1 - t)); },
       0},
      {"UpgradeEffectBlink", What::TargetAlpha,
       [](float t) { return Frac(10 * t) > 0.3f ? std::min(t + 0.3f, 1.0f) : t; }, 1e-6},
      {"WindowFadeOut", What::TargetAlpha, [](float t) { return 1 - t; }, 1e-6},
      {"EffectSetCashPenaltyOffset", What::TargetOffsetY, [](float) { return 50.0f; }, 0},
      {"DlgShiftDown", What::OffsetY, [=](float t) { return std::trunc(h * 0.2f * t); }, 0},
      {"DlgShiftToRight", What::OffsetX, [](float t) { return std::trunc(400 * t - 200); }, 0},
      {"DlgShiftDownAccel", What::OffsetY, [=](float t) { return std::trunc(0.2f * t * t * h); }, 0},
      {"DlgSlideDownAccel", What::OffsetY, [=](float t) { return std::trunc(t * t * h); }, 0},
      {"DlgSlideRightAccel", What::OffsetX, [=](float t) { return std::trunc(t * t * w); }, 0},
      {"DlgSlideLeftAccel", What::OffsetX, [=](float t) { return -std::trunc(t * t * w); }, 0},
      {"DlgSlideUp20", What::OffsetY, [](float t) { return std::trunc(-20 * t); }, 0},
      {"DlgSlideDown20", What::OffsetY, [](float t) { return std::trunc(-20 * (1 - t)); }, 0},
      {"DlgSlideLeftAccel400", What::OffsetX, [](float t) { return 400 - std::trunc(400 * t * t); }, 0},
      {"DlgSlideLeftAccel400M", What::OffsetX, [](float t) { return std::trunc(-400 * t * t); }, 0},
      {"DlgSlideFromRightAccel", What::OffsetX, [=](float t) { return std::trunc(w * (1 - t) * (1 - t)); }, 0},
      {"DlgSlideDownAccel485", What::OffsetY,
       [](float t) { return std::trunc(-std::cos(2 * kPiF * t * t) * 242 * (1 - t) * (1 - t)); }, 1},
      {"DlgSlideFromBottomAccel", What::OffsetY, [=](float t) { return std::trunc(h * (1 - t) * (1 - t)); }, 0},
      {"DlgSlideFromBottomAccel485", What::OffsetY,
       [](float t) { return std::trunc(242 * (1 - std::sin(2 * kPiF * t * t)) * (1 - t) * (1 - t) - 242); }, 1},
      {"DlgSlideFromLeftAccel", What::OffsetX, [=](float t) { return std::trunc(t * t * w) - w; }, 0},
      {"DlgSlideFromLeftAccel400", What::OffsetX, [](float t) { return std::trunc(400 * t * t); }, 0},
      {"DlgSlideFromLeftAccel400M", What::OffsetX, [](float t) { return std::trunc(400 * t * t) - 400; }, 0},
      {"Rotate360", What::Angle, [](float t) { return 360 * t; }, 1e-4},
      {"DlgScaleUpRecoil", What::OwnerScale, [](float t) { return Lagrange(0.85f, 1.05f, t); }, 1e-5},
      {"DlgScaleUpEaseOut", What::OwnerScale, [](float t) { return Lagrange(0.5f, 0.8f, t); }, 1e-5},
      {"DlgSmallScaleUpAccel", What::OwnerScale, [](float t) { return 1.1f - 0.1f * t * t; }, 1e-6},
      {"DlgSmallScaleDownAccel", What::OwnerScale, [](float t) { return 1 - 0.1f * t * t; }, 1e-6},
      {"DlgBigScaleDownAccel", What::OwnerScale, [](float t) { return 1 + 3 * (1 - t * t); }, 1e-6},
      {"DlgFadeIn", What::OwnerAlpha, [](float t) { return t; }, 1e-6},
      {"DlgFadeOut", What::OwnerAlpha, [](float t) { return 1 - t; }, 1e-6},
      {"DlgUpgradeBtnBlink", What::OwnerAlpha,
       [](float t) {
         if (t > 0 && t <= 0.2f) return 1 - t / 0.2f;
         if (t > 0.3f && t <= 0.5f) return 1 - (t - 0.3f) / 0.2f;
         return 1.0f;
       },
       1e-5},
      {"DlgStampSplash", What::OwnerScale, [](float t) { return 0.7f * t < 0.5f ? 4 - 6 * 0.7f * t : 1.0f; }, 1e-5},
      {"DlgStampSplash", What::OwnerAlpha,
       [](float t) {
         float u = 0.7f * t;
         return u < 0.4f ? u : u < 0.5f ? 0.4f + 0.6f * (u - 0.4f) : 1.0f;
       },
       1e-5},
  };
  for (const Row& row : rows) {
    // Binary fractions, and times whose results lie clear of whole numbers.
    for (float t : {0.0f, 0.25f, 0.371f, 0.5f, 0.863f, 1.0f}) {
      Reset();
      EXPECT_EQ(Run(row.name, t), 1) << row.name;
      double actual = 0;
      switch (row.what) {
        case What::TargetScale:
          actual = targets[1].scale;
          break;
        case What::TargetAlpha:
          actual = targets[1].alpha;
          break;
        case What::TargetOffsetY:
          actual = targets[1].offset[1];
          break;
        case What::OffsetX:
          actual = widget.mOffset.x;
          break;
        case What::OffsetY:
          actual = widget.mOffset.y;
          break;
        case What::OwnerScale:
          actual = widget.mScale;
          break;
        case What::OwnerAlpha:
          actual = widget.mOpacity;
          break;
        case What::Angle:
          actual = widget.mAngle;
          break;
      }
      EXPECT_NEAR(actual, row.expect(t), row.slack) << row.name << " at " << t;
    }
  }
}

TEST_F(CallbackTest, ValuesTheSpecialCasesTurnOn) {
  Run("DlgUpgradeBtnBlink", 0.25f);
  EXPECT_FLOAT_EQ(widget.mOpacity, 1.0f);
  Run("DlgUpgradeBtnBlink", 0.1f);
  EXPECT_FLOAT_EQ(widget.mOpacity, 0.5f);
  widget.SetBlinkOff(true);
  Run("DlgUpgradeBtnBlink", 0.1f);
  EXPECT_FLOAT_EQ(widget.mOpacity, 1.0f);
  Run("EffectScaleUpRecoil", 0.9f);
  EXPECT_NEAR(targets[0].scale, 1.1f, 1e-5);

  Run("WindowFadeOut", 1.0f);
  EXPECT_FALSE(targets[0].visible);
  bool objectVisible = false;
  effect.EffectSetParam(kParamVisible, &objectVisible);
  Run("WindowReset", 0.3f);
  EXPECT_TRUE(objectVisible);
  EXPECT_TRUE(targets[1].visible);
  EXPECT_EQ(targets[1].alpha, 1.0f);

  // The colour setters touch the first target only; the blink the second only.
  Run("EffectSetCashPenaltyColor", 0.0f);
  EXPECT_EQ(targets[0].colour, 0xFF0000FFu);
  EXPECT_EQ(targets[0].outline, 0xFFFFFFFFu);
  EXPECT_EQ(targets[1].colour, 0u);
  Run("EffectSetChainColor", 0.0f);
  EXPECT_EQ(targets[0].colour, 0xFFF7C2FFu);
  Run("EffectSetCashBonusColor", 0.0f);
  EXPECT_EQ(targets[0].outline, 0x000000FFu);
  Run("EffectSetCheckmarkScalepoint", 0.0f);
  EXPECT_EQ(targets[0].scalePoint[0], 13);
  EXPECT_EQ(targets[0].scalePoint[1], 15);
  EXPECT_EQ(targets[1].scalePoint[0], 7);
  targets[0].alpha = targets[1].alpha = 0.0f;
  Run("EffectBlinkHP", 0.5f);
  EXPECT_EQ(targets[0].alpha, 0.0f);
  EXPECT_NEAR(targets[1].alpha, 1.0f, 1e-6);

  Run("DlgSetCenterScalePoint", 0.0f);
  EXPECT_EQ(widget.mPivot.x, 40 + 100);
  EXPECT_EQ(widget.mPivot.y, 30 + 50);
  Run("DlgHide", 0.0f);
  EXPECT_FALSE(widget.mVisible);
  Run("EffectItemShow", 0.0f);
  EXPECT_TRUE(widget.mVisible);
  widget.mScale = 3.0f;
  widget.mOffset = {4, 5};
  Run("DlgReset", 0.0f);
  EXPECT_EQ(widget.mScale, 1.0f);
  EXPECT_EQ(widget.mOffset.x, 0);
  EXPECT_EQ(widget.mOffset.y, 0);
}

TEST_F(CallbackTest, EmptyTargetListChangesNothing) {
  list.count = 0;
  const char* const walkers[] = {"EffectScaleZero",
                                 "EffectFadeZero",
                                 "EffectShake",
                                 "EffectSetCashBonusColor",
                                 "EffectBlinkHP",
                                 "WindowFadeOut",
                                 "EffectSetCheckmarkScalepoint"};
  for (const char* name : walkers) EXPECT_EQ(Run(name, 1.0f), 1) << name;
  EXPECT_EQ(targets[0].scale, 9.0f);
  EXPECT_EQ(targets[1].alpha, 9.0f);
  EXPECT_EQ(targets[0].offset[0], 7);
  EXPECT_EQ(targets[0].colour, 0u);
  EXPECT_TRUE(targets[0].visible);
}

TEST_F(CallbackTest, ShakeDrawsTwoNumbersPerTarget) {
  Velk::srand(1234);
  std::vector<int> expected;
  for (int i = 0; i < 4; ++i) {
    float r = -2.0f + 4.0f * static_cast<float>(Velk::rand()) / 32767.0f;
    expected.push_back(static_cast<int>(r));
  }
  const int next = Velk::rand();
  Velk::srand(1234);
  Run("EffectShake", 0.5f);
  EXPECT_EQ(targets[0].offset[0], expected[0]);
  EXPECT_EQ(targets[0].offset[1], expected[1]);
  EXPECT_EQ(targets[1].offset[0], expected[2]);
  EXPECT_EQ(targets[1].offset[1], expected[3]);
  EXPECT_EQ(Velk::rand(), next);
}

TEST_F(CallbackTest, GirlSlidesAgainstTheDialog) {
  auto* girl = new QCCandyWidget(&widget);
  widget.BindControl("girl_front", girl);
  girl->mOpacity = 0.2f;
  Run("DlgSlideRightAccelGirl", 0.5f);
  EXPECT_EQ(widget.mOffset.x, 50);
  EXPECT_EQ(girl->mOffset.x, -50);
  EXPECT_EQ(girl->mOpacity, 1.0f);
  Run("DlgSlideFromRightAccelGirl", 0.5f);
  EXPECT_EQ(widget.mOffset.x, 50);
  EXPECT_EQ(girl->mOffset.x, -50);
  Run("DlgSlideFromRightAccelGirl", 0.0f);
  EXPECT_EQ(girl->mOffset.x, -200);
}

TEST_F(CallbackTest, SmokeSitsAtTheWorkersPipe) {
  EXPECT_EQ(SmokeOffset("tr", false).x, 25);
  EXPECT_EQ(SmokeOffset("tr", false).y, -5);
  EXPECT_EQ(SmokeOffset("br", false).x, 24);
  EXPECT_EQ(SmokeOffset("br", false).y, 2);
  EXPECT_EQ(SmokeOffset("tr", true).x, -25);
  EXPECT_EQ(SmokeOffset("mbr", false).x, -24);
  EXPECT_EQ(SmokeOffset("mbr", false).y, 2);
  EXPECT_EQ(SmokeOffset("bl", true).x, 0);
  EXPECT_EQ(SmokeOffset("t", false).y, 0);

  int x = 300, y = 200;
  std::string facing = "tr";
  bool mirrored = true;
  effect.EffectSetParam(kParamSpawnX, &x);
  effect.EffectSetParam(kParamSpawnY, &y);
  effect.EffectSetParam(kParamOrientation, &facing);
  effect.EffectSetParam(kParamMirror, &mirrored);
  EXPECT_EQ(Run("FuncOnWorkerWorkingPSEffect", 0.3f), 0) << "only at t = 0";
  EXPECT_EQ(Run("FuncOnWorkerWorkingPSEffect", 0.0f), 1);
  auto* smoke = static_cast<QCParticleSystem*>(effect.EffectGetParam(kParamParticles0));
  ASSERT_NE(smoke, nullptr);
  EXPECT_EQ(smoke->Settings().x, 275.0f);
  EXPECT_EQ(smoke->Settings().y, 195.0f);
  EXPECT_EQ(smoke->Settings().texture, "fx_work_smoke");
  EXPECT_TRUE(smoke->IsEmitting());
  // Built again, the same emitter is reused.
  EXPECT_EQ(Run("FuncOnWorkerWorkingPSEffect", 0.0f), 1);
  EXPECT_EQ(effect.EffectGetParam(kParamParticles0), smoke);
  EXPECT_EQ(particles.Count(), 1u);
}

// The goal stars get their textures and draw; drawing and stopping need the drawing context.
TEST_F(CallbackTest, GoalStarsDrawOnlyWithTheDrawingContext) {
  Ui("");
  EXPECT_EQ(Run("FuncOnGoalExpertPSEffect", 0.0f), 1);
  auto* small = static_cast<QCParticleSystem*>(effect.EffectGetParam(kParamParticles0));
  auto* big = static_cast<QCParticleSystem*>(effect.EffectGetParam(kParamParticles0 + 1));
  ASSERT_NE(small, nullptr);
  ASSERT_NE(big, nullptr);
  for (int i = 0; i < 20; ++i) particles.UpdateParticleSystemsOf(reinterpret_cast<uintptr_t>(&effect), 0.01f);
  ASSERT_FALSE(small->LiveParticles().empty());

  DrawLog image;
  Velk::Graphics g(&image);
  EXPECT_EQ(RenderPSFunc(&effect), 0);
  EXPECT_EQ(StopPSFunc(&effect), 0);
  EXPECT_TRUE(image.draws.empty());
  EXPECT_TRUE(small->IsEmitting());

  effect.EffectSetParam(kParamGraphics, &g);
  EXPECT_EQ(RenderPSFunc(&effect), 1);
  EXPECT_EQ(image.draws.size(), small->LiveParticles().size() + big->LiveParticles().size());
  EXPECT_FALSE(g.GetImageColorize()) << "the colour mode is given back";
  EXPECT_EQ(StopPSFunc(&effect), 1);
  EXPECT_FALSE(small->IsEmitting());
  EXPECT_FALSE(big->IsEmitting());
}

}  // namespace
