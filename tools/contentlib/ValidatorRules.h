#pragma once
// The generic rules of the validator: encodings, files that documents name, unique ids, names that
// refer to a definition, the form of effects and the form of attribute values.

#include "contentlib/Findings.h"
#include "contentlib/Stage.h"

namespace Content {

namespace ValidatorRules {

extern const char kUi[];      // cfg\ui.xml
extern const char kLoc[];     // cfg\loc.xml
extern const char kEffect[];  // cfg\effect.xml
extern const char kCfg[];     // cfg\cfg.xml
extern const char kManifest[];

void Encodings(const Stage& stage, Findings& findings);
void FilesExist(const Stage& stage, Findings& findings);
void ManifestFiles(const Stage& stage, Findings& findings);
void FontAtlases(const Stage& stage, Findings& findings);
void UniqueIds(const Stage& stage, Findings& findings);
void References(const Stage& stage, Findings& findings);
void LevelObjects(const Stage& stage, Findings& findings);
void ParentZ(const Stage& stage, Findings& findings);
void EffectForm(const Stage& stage, Findings& findings);
void Values(const Stage& stage, Findings& findings);

}  // namespace ValidatorRules

}  // namespace Content
