#include "contentlib/Validator.h"

#include "contentlib/GameRules.h"
#include "contentlib/ValidatorRules.h"

namespace Content {

const std::vector<ValidatorRule>& Validator::GenericRules() {
  static const std::vector<ValidatorRule> rules = {
      {"encodings", ValidatorRules::Encodings},
      {"files exist", ValidatorRules::FilesExist},
      {"manifest files exist", ValidatorRules::ManifestFiles},
      {"font atlases exist", ValidatorRules::FontAtlases},
      {"ids unique", ValidatorRules::UniqueIds},
      {"references", ValidatorRules::References},
      {"level objects", ValidatorRules::LevelObjects},
      {"parent_z targets", ValidatorRules::ParentZ},
      {"effect form", ValidatorRules::EffectForm},
      {"values", ValidatorRules::Values},
  };
  return rules;
}

const std::vector<ValidatorRule>& Validator::GameRules() {
  static const std::vector<ValidatorRule> rules = {
      {"screen controls", ValidatorRules::Controls},
      {"scenes", ValidatorRules::Scenes},
      {"levels", ValidatorRules::Levels},
      {"animations", ValidatorRules::Animations},
      {"upgrades", ValidatorRules::Upgrades},
      {"shown texts", ValidatorRules::ShownTexts},
      {"text contrast", ValidatorRules::TextContrast},
      {"text layers", ValidatorRules::TextLayers},
      {"text layout", ValidatorRules::TextLayout},
      {"product pictures", ValidatorRules::ProductPictures},
      {"trade signs", ValidatorRules::TradeSigns},
  };
  return rules;
}

const std::vector<ValidatorRule>& Validator::Rules() {
  static const std::vector<ValidatorRule> rules = [] {
    std::vector<ValidatorRule> all = GenericRules();
    all.insert(all.end(), GameRules().begin(), GameRules().end());
    return all;
  }();
  return rules;
}

bool Validator::Run(const Stage& stage, Findings& findings) { return Run(stage, findings, Rules()); }

bool Validator::Run(const Stage& stage, Findings& findings, const std::vector<ValidatorRule>& rules) {
  const size_t before = findings.Count();
  for (const ValidatorRule& rule : rules) rule.check(stage, findings);
  return findings.Count() == before;
}

const std::set<std::string>& Validator::ExportedFunctions() {
  static const std::set<std::string> names = {"DlgBigScaleDownAccel",
                                              "DlgFadeIn",
                                              "DlgFadeOut",
                                              "DlgHide",
                                              "DlgReset",
                                              "DlgScaleUpEaseOut",
                                              "DlgScaleUpRecoil",
                                              "DlgSetCenterScalePoint",
                                              "DlgShiftDown",
                                              "DlgShiftDownAccel",
                                              "DlgShiftToRight",
                                              "DlgShow",
                                              "DlgSlideDown20",
                                              "DlgSlideDownAccel",
                                              "DlgSlideDownAccel485",
                                              "DlgSlideFromBottomAccel",
                                              "DlgSlideFromBottomAccel485",
                                              "DlgSlideFromLeftAccel",
                                              "DlgSlideFromLeftAccel400",
                                              "DlgSlideFromLeftAccel400M",
                                              "DlgSlideFromRightAccel",
                                              "DlgSlideFromRightAccelGirl",
                                              "DlgSlideLeftAccel",
                                              "DlgSlideLeftAccel400",
                                              "DlgSlideLeftAccel400M",
                                              "DlgSlideRightAccel",
                                              "DlgSlideRightAccelGirl",
                                              "DlgSlideUp20",
                                              "DlgSmallScaleDownAccel",
                                              "DlgSmallScaleUpAccel",
                                              "DlgStampSplash",
                                              "DlgTypeIn",
                                              "DlgUpgradeBtnBlink",
                                              "EffectBlinkHP",
                                              "EffectBlinkHPOff",
                                              "EffectFadeIn",
                                              "EffectFadeOne",
                                              "EffectFadeOut",
                                              "EffectFadeZero",
                                              "EffectItemHide",
                                              "EffectItemShow",
                                              "EffectJumpUp",
                                              "EffectScaleDown",
                                              "EffectScaleDownToOne",
                                              "EffectScalePulse",
                                              "EffectScaleUpRecoil",
                                              "EffectScaleZero",
                                              "EffectSetCashBonusColor",
                                              "EffectSetCashPenaltyColor",
                                              "EffectSetCashPenaltyOffset",
                                              "EffectSetChainColor",
                                              "EffectSetCheckmarkScalepoint",
                                              "EffectShake",
                                              "EffectSlideFromBottomDecel",
                                              "EffectSlideUpAccel",
                                              "FuncOnGoalExpertPSEffect",
                                              "FuncOnWorkerWorkingPSEffect",
                                              "RenderPSFunc",
                                              "Rotate360",
                                              "SparklingStar",
                                              "StopPSFunc",
                                              "UpgradeEffectBlink",
                                              "WidgetsLock",
                                              "WidgetsUnlock",
                                              "WindowFadeOut",
                                              "WindowReset"};
  return names;
}

}  // namespace Content
