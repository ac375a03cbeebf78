#include "contentlib/ImageList.h"

#include <set>

#include "contentlib/DescriptionReader.h"
#include "contentlib/ImageFile.h"

namespace Content {
namespace {

bool Record(DescriptionReader& reader, const DescriptionLine& line, ImageEntry& entry) {
  if (line.words.size() != 4) return reader.Fail(line, "expected: file w h style key=value...");
  entry.line = line.number;
  entry.art.file = line.words[0];
  if (!ImageFile::KnownExtension(entry.art.file))
    return reader.Fail(line, "'" + entry.art.file + "' needs the extension .png, .jpg, .gif, .tga or .jp2");
  if (!reader.Integer(line, line.words[1], entry.art.width, 1, 4096) ||
      !reader.Integer(line, line.words[2], entry.art.height, 1, 4096))
    return false;
  entry.art.style = line.words[3];
  auto style = FlatArt::Styles().find(entry.art.style);
  if (style == FlatArt::Styles().end()) return reader.Fail(line, "unknown style '" + entry.art.style + "'");
  if (!reader.OnlyOptions(line, style->second)) return false;
  entry.art.options = line.options;
  return true;
}

}  // namespace

bool ImageList::Parse(const std::string& file, const std::string& text, std::vector<ImageEntry>& images,
                      Findings& findings) {
  DescriptionReader reader(file, findings);
  const size_t before = findings.Count();  // the reader reports lines it cannot split
  bool ok = true;
  std::set<std::string> files;
  for (const DescriptionLine& line : reader.Read(text)) {
    ImageEntry entry;
    if (!Record(reader, line, entry))
      ok = false;
    else if (!files.insert(entry.art.file).second)
      ok = reader.Fail(line, "file '" + entry.art.file + "' made twice");
    else
      images.push_back(std::move(entry));
  }
  return ok && findings.Count() == before;
}

}  // namespace Content
