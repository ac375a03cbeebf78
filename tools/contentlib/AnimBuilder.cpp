#include "contentlib/AnimBuilder.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "contentlib/AnmWriter.h"
#include "contentlib/Canvas.h"
#include "contentlib/FlatArt.h"
#include "contentlib/PngWriter.h"

namespace Content {
namespace {

// A fixed colour per mask name.
uint32_t MaskHash(const std::string& mask) {
  uint32_t h = 2166136261u;
  for (unsigned char c : mask) h = (h ^ c) * 16777619u;
  return h;
}

std::string OrX(const std::string& s) { return s.empty() ? "x" : s; }

std::string Variant(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

// The entry names of one word: the plain name, or the numbered variants.
std::vector<std::string> EntryNames(const std::string& stem, const AnimWord& word) {
  if (word.variants == 0) return {stem};
  std::vector<std::string> names;
  for (int v = 1; v <= word.variants; ++v) names.push_back(stem + Variant(v));
  return names;
}

// A palette skin colours the frames; over a colour of the part's own it only tints them, so that
// the furniture of one cafe keeps telling its pieces apart.
uint32_t SkinColour(const AnimEntry& anim, const std::string& skin) {
  uint32_t own = 0, skinned = 0;
  FlatArt::Colour(anim.colour, own);
  if (!FlatArt::Colour(skin, skinned)) return own;
  return anim.ownColour ? Canvas::Mix(own, skinned, 1.0 / 3) : skinned;
}

// What a cel shows: the part's own pictogram, or on a plate or a picture the product its word
// names (a pictogram name, or an order mask: one pictogram per product, side by side).
std::vector<std::string> CelPictures(const AnimEntry& anim, const std::string& word) {
  if (!anim.picture.empty()) return {anim.picture};
  if (anim.shape != "plate" && anim.shape != "picture") return {};
  if (Pictograms::Names().count(word)) return {word};
  return Pictograms::OfMask(word);
}

bool AddPng(const std::string& path, const Picture& picture, std::map<std::string, std::vector<uint8_t>>& files,
            const std::string& anm, Findings& findings) {
  std::string error;
  if (!PngWriter::Write(picture, files[path], error)) return findings.Add(anm, path + ": " + error), false;
  return true;
}

// Rows of frames for one skin and orientation.
bool RowAtlas(const AnimEntry& anim, const Pictograms& pictograms, const std::string& skin, const std::string& orient,
              bool single, AnmWriter& anm, std::map<std::string, std::vector<uint8_t>>& files, Findings& findings) {
  const std::string image = single ? "anm\\img\\" + anim.part + ".png"
                                   : "anm\\img\\" + anim.part + "_" + OrX(skin) + "_" + OrX(orient) + ".png";
  int rows = 0, columns = 1;
  for (const AnimWord& w : anim.words) rows += std::max(1, w.variants), columns = std::max(columns, w.frames);
  Picture atlas(columns * anim.width, rows * anim.height);
  Canvas canvas(atlas);
  int row = 0;
  for (const AnimWord& word : anim.words)
    for (const std::string& name : EntryNames(anim.part + skin + orient + word.name, word)) {
      AnmEntry entry{image, name, word.loop, word.fps, {}};
      for (int f = 0; f < word.frames; ++f) {
        const int x = f * anim.width, y = row * anim.height;
        entry.frames.push_back({x, y, anim.width, anim.height});
        // A bar shows its entry's row as the filled share of all rows (point00 .. pointNN).
        const bool bar = anim.shape == "bar";
        FlatArt::DrawCel(canvas, pictograms, x, y, anim.width, anim.height,
                         {anim.shape, SkinColour(anim, skin), bar ? row : f, bar ? rows : word.frames, orient, skin,
                          CelPictures(anim, word.name)});
      }
      anm.Add(std::move(entry));
      ++row;
    }
  return AddPng(image, atlas, files, AnimBuilder::AnmPath(anim), findings);
}

// One cell per mask; every entry of a mask shows that cell.
bool MaskAtlas(const AnimEntry& anim, const Pictograms& pictograms, AnmWriter& anm,
               std::map<std::string, std::vector<uint8_t>>& files, Findings& findings) {
  const std::string image = "anm\\img\\" + anim.part + ".png";
  Picture atlas(static_cast<int>(anim.masks.size()) * anim.width, anim.height);
  Canvas canvas(atlas);
  for (size_t m = 0; m < anim.masks.size(); ++m) {
    const int x = static_cast<int>(m) * anim.width;
    const uint32_t shade = 0xFF000000 | ((MaskHash(anim.masks[m]) & 0x7F7F7F) + 0x404040);
    FlatArt::DrawCel(canvas, pictograms, x, 0, anim.width, anim.height,
                     {anim.shape, shade, 0, 1, "", "", CelPictures(anim, anim.masks[m])});
    for (const std::string& skin : anim.skins)
      for (const std::string& orient : anim.orients)
        for (const std::string& word : anim.maskWords)
          anm.Add({image,
                   anim.part + skin + orient + anim.masks[m] + word,
                   AnmLoop::Loop,
                   0,
                   {{x, 0, anim.width, anim.height}}});
  }
  return AddPng(image, atlas, files, AnimBuilder::AnmPath(anim), findings);
}

}  // namespace

bool AnimBuilder::Build(const AnimEntry& anim, const Pictograms& pictograms,
                        std::map<std::string, std::vector<uint8_t>>& files, Findings& findings) {
  AnmWriter anm;
  const bool single =
      anim.skins.size() == 1 && anim.orients.size() == 1 && anim.skins[0].empty() && anim.orients[0].empty();
  bool ok = true;
  if (!anim.words.empty())
    for (const std::string& skin : anim.skins)
      for (const std::string& orient : anim.orients)
        ok = RowAtlas(anim, pictograms, skin, orient, single, anm, files, findings) && ok;
  if (!anim.masks.empty()) {
    if (!anim.words.empty()) return findings.Add(AnmPath(anim), "a mask-word anm takes no other words"), false;
    ok = MaskAtlas(anim, pictograms, anm, files, findings) && ok;
  }
  return ok && anm.Build(AnmPath(anim), files[AnmPath(anim)], findings);
}

}  // namespace Content
