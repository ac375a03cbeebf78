#include "contentlib/ImageList.h"

#include <set>

#include "contentlib/DescriptionReader.h"
#include "contentlib/ImageFile.h"

namespace Content {
namespace {

bool Record(DescriptionReader& reader, const DescriptionLine& line, ImageSpec& spec) {
  if (line.words.size() != 4) return reader.Fail(line, "expected: file w h style key=value...");
  spec.line = line.number;
  spec.art.file = line.words[0];
  if (!ImageFile::KnownExtension(spec.art.file))
    return reader.Fail(line, "'" + spec.art.file + "' needs the extension .png, .jpg, .gif, .tga or .jp2");
  if (!reader.Integer(line, line.words[1], spec.art.width, 1, 4096) ||
      !reader.Integer(line, line.words[2], spec.art.height, 1, 4096))
    return false;
  spec.art.style = line.words[3];
  auto style = FlatArt::Styles().find(spec.art.style);
  if (style == FlatArt::Styles().end()) return reader.Fail(line, "unknown style '" + spec.art.style + "'");
  if (!reader.OnlyOptions(line, style->second)) return false;
  spec.art.options = line.options;
  return true;
}

}  // namespace

bool ImageList::Parse(const std::string& file, const std::string& text, std::vector<ImageSpec>& images,
                      Findings& findings) {
  DescriptionReader reader(file, findings);
  const size_t before = findings.Count();  // the reader reports lines it cannot split
  bool ok = true;
  std::set<std::string> files;
  for (const DescriptionLine& line : reader.Read(text)) {
    ImageSpec spec;
    if (!Record(reader, line, spec)) ok = false;
    else if (!files.insert(spec.art.file).second) ok = reader.Fail(line, "file '" + spec.art.file + "' made twice");
    else images.push_back(std::move(spec));
  }
  return ok && findings.Count() == before;
}

}  // namespace Content
