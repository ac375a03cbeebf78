#include "ContentBuilder.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "contentlib/AnimBuilder.h"
#include "contentlib/AnimList.h"
#include "contentlib/AuWriter.h"
#include "contentlib/CareerTable.h"
#include "contentlib/FlatArt.h"
#include "contentlib/FontDescriptor.h"
#include "contentlib/FontList.h"
#include "contentlib/GlyphRasterizer.h"
#include "contentlib/ImageFile.h"
#include "contentlib/ImageList.h"
#include "contentlib/LevelGen.h"
#include "contentlib/LocMerge.h"
#include "contentlib/PngWriter.h"
#include "contentlib/SoundList.h"
#include "contentlib/Stage.h"
#include "contentlib/TgaWriter.h"
#include "contentlib/Utf16Writer.h"
#include "contentlib/Validator.h"
#include "contentlib/WavWriter.h"
#include "contentlib/XmlConvert.h"
#include "contentogg/OggWriter.h"

namespace Content {
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Where each XML source lands: the manifest in properties\, every other document in cfg\.
std::string StagedDocumentName(const std::string& fileName) {
  return fileName == "resources.xml" ? "properties\\resources.xml" : "cfg\\" + fileName;
}

bool WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out.good();
}

// Runs work(i) for every i below count on the machine's cores. The work writes only its own
// slot; the caller combines the slots in order, so the output does not depend on the timing.
template <typename Work>
void ForEachIndex(size_t count, Work work) {
  const size_t threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
  std::atomic<size_t> next{0};
  auto run = [&] {
    for (size_t i = next++; i < count; i = next++) work(i);
  };
  std::vector<std::thread> pool;
  for (size_t t = 1; t < std::min(threads, count); ++t) pool.emplace_back(run);
  run();
  for (std::thread& thread : pool) thread.join();
}

}  // namespace

bool ContentBuilder::InLocArchive(const std::string& name) {
  return name == "cfg\\loc.xml" || name.compare(0, 6, "fonts\\") == 0;
}

bool ContentBuilder::ReadSource(const std::string& relative, std::string& text, Findings& findings, bool optional) {
  const fs::path path = fs::path(mOptions.source) / relative;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (!optional) findings.Add("content/" + relative, "cannot be read");
    return false;
  }
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

void ContentBuilder::Put(const std::string& name, std::vector<uint8_t> bytes, Findings& findings) {
  const std::string key = Content::Stage::Key(name);
  if (!Content::Stage::PlainPath(name)) return findings.Add(name, "is not a plain relative path inside the stage");
  if (mFiles.count(key)) findings.Add(key, "is made twice");
  mFiles[key] = std::move(bytes);
}

void ContentBuilder::Documents(Findings& findings) {
  std::vector<fs::path> sources;
  std::error_code ec;
  for (fs::directory_iterator it(fs::path(mOptions.source) / "xml", ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file() && it->path().extension() == ".xml") sources.push_back(it->path());
  std::sort(sources.begin(), sources.end());
  for (const fs::path& path : sources) {
    const std::string name = path.filename().string();
    if (name == "loc.xml") continue;  // merged with the generated texts by Levels
    std::string text, out;
    if (ReadSource("xml/" + name, text, findings, false) &&
        XmlConvert::Convert("content/xml/" + name, text, out, findings))
      Put(StagedDocumentName(name), Bytes(out), findings);
  }
}

// The object names of a staged scene document, in document order.
std::vector<std::string> ContentBuilder::SceneObjects(const std::string& scene) const {
  std::vector<std::string> names;
  const auto it = mFiles.find(scene);
  pugi::xml_document doc;
  if (it == mFiles.end() ||
      !doc.load_buffer(it->second.data(), it->second.size(), pugi::parse_default, pugi::encoding_utf16_le))
    return names;
  for (pugi::xml_node object : doc.document_element().child("objects").children("object"))
    names.push_back(object.attribute("name").value());
  return names;
}

bool ContentBuilder::ReadCareer(CareerTable& table, Findings& findings) {
  std::string days, menus, notes, cfgText;
  pugi::xml_document cfg;
  return ReadSource("levels/career.tsv", days, findings, false) &&
         ReadSource("levels/menus.txt", menus, findings, false) &&
         ReadSource("levels/notes.tsv", notes, findings, false) &&
         ReadSource("xml/cfg.xml", cfgText, findings, false) &&
         table.ParseDays("content/levels/career.tsv", days, findings) &&
         table.ParseMenus("content/levels/menus.txt", menus, findings) &&
         table.ParseNotes("content/levels/notes.tsv", notes, findings) &&
         XmlConvert::Load("content/xml/cfg.xml", cfgText, cfg, findings) &&
         table.ReadConfig("content/xml/cfg.xml", cfg, findings);
}

// The hand-written day 1 goes into the book's texts like the generated days.
void ContentBuilder::FirstDayBriefings(const LevelGen& gen,
                                       std::vector<std::pair<std::string, std::string>>& texts) const {
  const auto it = mFiles.find("cfg\\l1.xml");
  pugi::xml_document doc;
  if (it == mFiles.end() ||
      !doc.load_buffer(it->second.data(), it->second.size(), pugi::parse_default, pugi::encoding_utf16_le))
    return;
  const pugi::xml_node level = doc.document_element();
  const int guests = static_cast<int>(level.child("events_queue").select_nodes("time_point").size());
  for (auto& text : gen.Briefings(1, 1, 1, guests, level.child("params").attribute("normal").as_int(),
                                  level.child("params").attribute("expert").as_int()))
    texts.push_back(std::move(text));
}

void ContentBuilder::Levels(Findings& findings) {
  CareerTable table;
  std::vector<std::pair<std::string, std::string>> texts;
  if (fs::exists(fs::path(mOptions.source) / "levels" / "career.tsv") && ReadCareer(table, findings)) {
    const LevelGen gen(table);
    FirstDayBriefings(gen, texts);
    for (const CareerDay& day : table.days) {
      if (!gen.Check(day, "content/levels/career.tsv", findings)) continue;
      const GeneratedDay drawn = gen.Draw(day);
      const std::string scene = "cfg\\scene" + std::to_string(day.cafe) + ".xml";
      const std::string name = "cfg\\l" + std::to_string(day.day) + ".xml";
      std::string out;
      if (XmlConvert::Convert(name,
                              gen.Document(day, drawn, SceneObjects(scene), "content/levels/career.tsv", findings), out,
                              findings))
        Put(name, Bytes(out), findings);
      for (auto& text : gen.Briefings(day.day, day.dayInCafe, day.cafe, day.guests, drawn.normal, drawn.expert))
        texts.push_back(std::move(text));
    }
  }
  std::string source;
  pugi::xml_document loc;
  if (ReadSource("xml/loc.xml", source, findings, false) &&
      XmlConvert::Load("content/xml/loc.xml", source, loc, findings) &&
      LocMerge::Append(loc, texts, "content/xml/loc.xml", findings))
    Put("cfg\\loc.xml", Bytes(XmlConvert::Write(loc)), findings);
}

void ContentBuilder::Images(Findings& findings) {
  std::string text;
  std::vector<ImageEntry> images;
  if (!ReadSource("art/images.txt", text, findings, true) ||
      !ImageList::Parse("content/art/images.txt", text, images, findings))
    return;
  struct Made {
    std::vector<uint8_t> bytes;
    std::string error;
    bool ok = false;
  };
  std::vector<Made> made(images.size());
  ForEachIndex(images.size(), [&](size_t i) {
    GlyphRasterizer rasterizer;  // FreeType is used by one thread per instance
    FlatArt art(rasterizer, mOptions.fonts, mPictograms);
    Picture picture;
    made[i].ok = art.Draw(images[i].art, picture, made[i].error) &&
                 ImageFile::Encode(images[i].art.file, picture, made[i].bytes, made[i].error);
  });
  for (size_t i = 0; i < images.size(); ++i) {
    if (!made[i].ok)
      findings.Add("content/art/images.txt", images[i].line, images[i].art.file + ": " + made[i].error);
    else
      Put(images[i].art.file, std::move(made[i].bytes), findings);
  }
}

void ContentBuilder::Fonts(Findings& findings) {
  std::string text;
  std::vector<FontEntry> fonts;
  if (!ReadSource("fonts/fonts.txt", text, findings, true) ||
      !FontList::Parse("content/fonts/fonts.txt", text, fonts, findings))
    return;
  GlyphRasterizer rasterizer;
  std::map<std::string, GlyphAtlas> atlases;
  for (const FontEntry& font : fonts) {
    auto it = atlases.find(font.atlas);
    if (it == atlases.end()) {
      GlyphAtlas atlas;
      std::string error;
      std::vector<uint8_t> bytes;
      const std::string face = mOptions.fonts + "/" + font.face;
      if (!rasterizer.Render(face, font.pixels, atlas, error) ||
          !ImageFile::Encode(font.atlas, atlas.picture, bytes, error)) {
        findings.Add("content/fonts/fonts.txt", font.line, error);
        continue;
      }
      Put(font.atlas, std::move(bytes), findings);
      it = atlases.emplace(font.atlas, std::move(atlas)).first;
    }
    Put(font.descriptor, Bytes(Utf16Writer::Convert(FontDescriptor::Text(font, it->second), false)), findings);
  }
}

void ContentBuilder::Anims(Findings& findings) {
  std::string text;
  std::vector<AnimEntry> anims;
  if (!ReadSource("anims/anims.txt", text, findings, true) ||
      !AnimList::Parse("content/anims/anims.txt", text, anims, findings))
    return;
  std::vector<std::map<std::string, std::vector<uint8_t>>> files(anims.size());
  std::vector<Findings> found(anims.size());
  ForEachIndex(anims.size(), [&](size_t i) {
    if (!AnimBuilder::Build(anims[i], mPictograms, files[i], found[i])) files[i].clear();
  });
  for (size_t i = 0; i < anims.size(); ++i) {
    for (const Finding& f : found[i].List()) findings.Add(f.file, f.line, f.what);
    for (auto& [name, bytes] : files[i]) Put(name, std::move(bytes), findings);
  }
}

void ContentBuilder::Sounds(Findings& findings) {
  std::string text;
  std::vector<SoundRecipe> sounds;
  if (!ReadSource("sounds/sounds.txt", text, findings, true) ||
      !SoundList::Parse("content/sounds/sounds.txt", text, sounds, findings))
    return;
  for (const SoundRecipe& sound : sounds) {
    const std::vector<int16_t> samples = Synth::Render(sound);
    std::vector<uint8_t> bytes;
    std::string error;
    bool ok = true;
    if (EndsWith(sound.file, ".wav"))
      bytes = WavWriter::Write(samples, sound.channels, Synth::kRate);
    else if (EndsWith(sound.file, ".au"))
      ok = AuWriter::Write(samples, sound.channels, Synth::kRate, AuWriter::kMuLaw, bytes, error);
    else
      ok = OggWriter::Write(samples, sound.channels, Synth::kRate, OggWriter::Serial(sound.file), bytes, error);
    if (ok)
      Put(sound.file, std::move(bytes), findings);
    else
      findings.Add("content/sounds/sounds.txt", sound.file + ": " + error);
  }
}

bool ContentBuilder::Validate(Findings& findings) {
  Content::Stage stage;
  for (const auto& [name, bytes] : mFiles) stage.Add(name, bytes);
  Findings found;
  const bool ok = Validator::Run(stage, found);
  for (const Finding& f : found.List()) Locate(f, findings);
  return ok;
}

// A finding about a staged document that quotes a name points at the source line where that name
// first stands as an attribute value, so that a typo is found where it was made.
void ContentBuilder::Locate(const Finding& finding, Findings& findings) {
  const size_t open = finding.what.find('\''),
               close = open == std::string::npos ? open : finding.what.find('\'', open + 1);
  const bool document = finding.file.compare(0, 4, "cfg\\") == 0 || finding.file == "properties\\resources.xml";
  std::string source;
  const std::string relative = "xml/" + finding.file.substr(finding.file.rfind('\\') + 1);
  if (finding.line != 0 || close == std::string::npos || !document || !ReadSource(relative, source, findings, true))
    return findings.Add(finding.file, finding.line, finding.what);
  const size_t at = source.find("\"" + finding.what.substr(open + 1, close - open - 1) + "\"");
  if (at == std::string::npos) return findings.Add(finding.file, finding.line, finding.what);
  const int line =
      1 + static_cast<int>(std::count(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
  findings.Add("content/" + relative, line, finding.what + " (staged as " + finding.file + ")");
}

bool ContentBuilder::Write(Findings& findings) {
  const fs::path output(mOptions.output);
  const fs::path temporary = output.string() + ".tmp", previous = output.string() + ".old";
  std::error_code ec;
  fs::remove_all(temporary, ec);
  fs::remove_all(previous, ec);
  for (const auto& [name, bytes] : mFiles) {
    std::string relative = name;
    for (char& c : relative) c = c == '\\' ? '/' : c;
    if (!WriteFile(temporary / (InLocArchive(name) ? "loc" : "data") / relative, bytes)) {
      findings.Add(output.string(), "cannot write " + relative + " below " + temporary.string());
      fs::remove_all(temporary, ec);
      return false;
    }
  }
  // Empty trees still exist, so that packing an archive with no members works.
  fs::create_directories(temporary / "loc", ec);
  fs::create_directories(temporary / "data", ec);
  const bool hadStage = fs::exists(output);
  if (hadStage) fs::rename(output, previous, ec);
  if (!ec) fs::rename(temporary, output, ec);
  if (ec) {
    findings.Add(output.string(), "cannot replace the stage: " + ec.message());
    std::error_code ignored;
    if (hadStage && !fs::exists(output)) fs::rename(previous, output, ignored);  // put the old stage back
    fs::remove_all(temporary, ignored);
    return false;
  }
  fs::remove_all(previous, ec);
  return true;
}

bool ContentBuilder::Run(Findings& findings) {
  std::error_code ec;
  if (!fs::is_directory(mOptions.source, ec)) {
    findings.Add(mOptions.source, "is not a folder");
    return false;
  }
  std::string error;
  if (!mPictograms.Load(mOptions.pictograms, error)) {
    findings.Add(mOptions.pictograms, error);
    return false;
  }
  Documents(findings);
  Levels(findings);
  Images(findings);
  Fonts(findings);
  Anims(findings);
  Sounds(findings);
  if (!findings.Empty()) return false;
  return Validate(findings) && Write(findings);
}

}  // namespace Content
