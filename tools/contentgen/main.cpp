// contentgen: builds the game's data from the sources in content/ into a staging folder.
#include <iostream>
#include <string>

#include "ContentBuilder.h"

namespace {

const char kUsage[] =
    "Usage: contentgen --src CONTENT_FOLDER --out STAGE_FOLDER [--fonts FONT_FOLDER] [--pictograms FONT_FILE]\n"
    "  Writes STAGE_FOLDER/loc (loc.pak members) and STAGE_FOLDER/data (data.pak members).\n"
    "  --fonts names the folder of the DejaVu faces (default: where fonts-dejavu-core installs them).\n"
    "  --pictograms names the colour pictogram font (default: where fonts-noto-color-emoji installs it).\n"
    "  Exit status 1 on any finding; the previous stage is then left as it was.\n";

}  // namespace

int main(int argc, char** argv) {
  Content::BuildOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--src" && hasValue)
      options.source = argv[++i];
    else if (arg == "--out" && hasValue)
      options.output = argv[++i];
    else if (arg == "--fonts" && hasValue)
      options.fonts = argv[++i];
    else if (arg == "--pictograms" && hasValue)
      options.pictograms = argv[++i];
    else
      return std::cerr << "contentgen: unknown argument '" << arg << "'\n" << kUsage, 2;
  }
  if (options.source.empty() || options.output.empty()) return std::cerr << kUsage, 2;
  Content::Findings findings;
  const bool ok = Content::ContentBuilder(options).Run(findings);
  findings.Print(std::cerr);
  return ok ? 0 : 1;
}
