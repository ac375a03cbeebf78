#pragma once
// The validator's rules about the game itself: every control a screen binds, the scenes' classes,
// z-lines, regions, approach points, graph and name pairs, what each level lists and orders, every
// animation name the scene can ask for, the upgrade records and offers, texts a player can read
// and where they lie, and the pictures of the products and the workers' trade signs.

#include "contentlib/Findings.h"
#include "contentlib/Stage.h"

namespace Content::ValidatorRules {

void Controls(const Stage& stage, Findings& findings);
void Scenes(const Stage& stage, Findings& findings);
void Levels(const Stage& stage, Findings& findings);
void Animations(const Stage& stage, Findings& findings);
void Upgrades(const Stage& stage, Findings& findings);
void ProductPictures(const Stage& stage, Findings& findings);
void TradeSigns(const Stage& stage, Findings& findings);
void ShownTexts(const Stage& stage, Findings& findings);
void TextContrast(const Stage& stage, Findings& findings);
void TextLayers(const Stage& stage, Findings& findings);
void TextLayout(const Stage& stage, Findings& findings);

}  // namespace Content::ValidatorRules
