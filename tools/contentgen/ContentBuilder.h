#pragma once
// One content build: reads the sources below content/, makes every staged file in memory, checks
// them, and only when nothing was found writes the two staging trees (loc/ and data/), replacing
// the previous ones in one step. On any finding the previous stage is left as it was.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "contentlib/Findings.h"
#include "contentlib/GlyphRasterizer.h"
#include "contentlib/Pictograms.h"

namespace Content {
struct CareerTable;
class LevelGen;
}  // namespace Content

namespace Content {

struct BuildOptions {
  std::string source;  // the content folder
  std::string output;  // the stage folder
  std::string fonts = GlyphRasterizer::kFaceFolder;
  std::string pictograms = Pictograms::kFontPath;
};

class ContentBuilder {
 public:
  explicit ContentBuilder(BuildOptions options) : mOptions(std::move(options)) {}

  // True when the stage was replaced; false with findings otherwise.
  bool Run(Findings& findings);

  const std::map<std::string, std::vector<uint8_t>>& Files() const { return mFiles; }

  // Whether a staged member belongs to loc.pak.
  static bool InLocArchive(const std::string& name);

 private:
  bool ReadSource(const std::string& relative, std::string& text, Findings& findings, bool optional);
  void Documents(Findings& findings);
  // The generated career days and cfg\\loc.xml with their texts merged in.
  void Levels(Findings& findings);
  bool ReadCareer(CareerTable& table, Findings& findings);
  void FirstDayBriefings(const LevelGen& gen, std::vector<std::pair<std::string, std::string>>& texts) const;
  std::vector<std::string> SceneObjects(const std::string& scene) const;
  void Images(Findings& findings);
  void Fonts(Findings& findings);
  void Anims(Findings& findings);
  void Sounds(Findings& findings);
  // Adds a staged file; a name made twice is a finding.
  void Put(const std::string& name, std::vector<uint8_t> bytes, Findings& findings);
  bool Validate(Findings& findings);
  void Locate(const Finding& finding, Findings& findings);
  bool Write(Findings& findings);

  BuildOptions mOptions;
  Pictograms mPictograms;
  std::map<std::string, std::vector<uint8_t>> mFiles;
};

}  // namespace Content
