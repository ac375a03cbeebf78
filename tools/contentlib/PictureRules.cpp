// Rules 11 and 12: what the pictures can tell a player. Every product the game can ask for (the
// orders of the levels, the workers' products) has a picture in the order bubbles
// (status_production) and on the boss's plates (held_items) that no other product shares, and the
// bubbles' signs of a guest who has not ordered yet ("ready" to order, still "think"ing) are none
// of them; every worker kind has a trade sign (the product
// on its apron) that is the product it makes, and its bubble shows that product's picture.
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "contentlib/AnmWriter.h"
#include "contentlib/Figure.h"
#include "contentlib/GameFacts.h"
#include "contentlib/GameRules.h"
#include "contentlib/Pictograms.h"
#include "contentlib/PngReader.h"

namespace Content::ValidatorRules {
namespace {

using Pixels = std::vector<uint32_t>;

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// The first frame of every entry of one .anm, cut from its atlas.
class AnmCells {
 public:
  AnmCells(const Stage& stage, const std::string& part) : mStage(stage), mAnm("anm\\" + part + ".anm") {
    const std::vector<uint8_t>* b = stage.Bytes(mAnm);
    constexpr size_t kImage = 12;
    if (!b || b->size() < kImage + 8 || Le32(*b, 0) != AnmWriter::kMagic) return;
    const uint32_t count = Le32(*b, kImage);
    for (uint32_t i = 0; i < count; ++i) {
      const size_t at = kImage + 8 + i * AnmWriter::kEntrySize;
      if (at + AnmWriter::kEntrySize > b->size()) return;
      const std::string image(reinterpret_cast<const char*>(&(*b)[at]),
                              strnlen(reinterpret_cast<const char*>(&(*b)[at]), AnmWriter::kNameField));
      const size_t nameAt = at + AnmWriter::kNameField + 4;
      const std::string name(reinterpret_cast<const char*>(&(*b)[nameAt]),
                             strnlen(reinterpret_cast<const char*>(&(*b)[nameAt]), AnmWriter::kNameField));
      const size_t sequence = kImage + (Le32(*b, at + AnmWriter::kEntrySize - 4) - AnmWriter::kBase);
      if (sequence + AnmWriter::kSequenceSize > b->size()) continue;
      const size_t frame = kImage + (Le32(*b, sequence + 20) - AnmWriter::kBase);
      if (frame + 16 > b->size()) continue;
      mFrames[name] = {image,
                       {static_cast<int32_t>(Le32(*b, frame)), static_cast<int32_t>(Le32(*b, frame + 4)),
                        static_cast<int32_t>(Le32(*b, frame + 8)), static_cast<int32_t>(Le32(*b, frame + 12))}};
    }
  }

  const std::string& Anm() const { return mAnm; }

  // False when the entry is missing or its atlas cannot be read.
  bool Cell(const std::string& entry, Pixels& out) {
    const auto found = mFrames.find(entry);
    if (found == mFrames.end()) return false;
    const auto& [image, f] = found->second;
    const Picture& atlas = Decoded(image);
    if (f.x < 0 || f.y < 0 || f.w <= 0 || f.h <= 0 || f.x + f.w > atlas.width || f.y + f.h > atlas.height) return false;
    out.clear();
    for (int y = f.y; y < f.y + f.h; ++y)
      out.insert(out.end(), atlas.pixels.begin() + y * atlas.width + f.x,
                 atlas.pixels.begin() + y * atlas.width + f.x + f.w);
    return true;
  }

 private:
  // An atlas that cannot be read is an empty picture: every cell of it is then missing.
  const Picture& Decoded(const std::string& image) {
    auto it = mAtlases.find(image);
    if (it != mAtlases.end()) return it->second;
    Picture& atlas = mAtlases[image];
    if (const std::vector<uint8_t>* bytes = mStage.Bytes(image)) PngReader::Read(*bytes, atlas);
    return atlas;
  }

  const Stage& mStage;
  std::string mAnm;
  std::map<std::string, std::pair<std::string, AnmFrame>> mFrames;
  std::map<std::string, Picture> mAtlases;
};

// Every order of every level, the workers' products, and each single product of those.
std::set<std::string> ProductMasks(const Stage& stage) {
  std::set<std::string> masks;
  for (const std::string& doc : GameFacts::Levels(stage))
    for (const pugi::xpath_node& p :
         stage.Document(doc)->select_nodes("//time_point/param | //time_point_template/param"))
      if (GameFacts::IsOrderMask(p.node().attribute("name").value())) masks.insert(p.node().attribute("name").value());
  for (const auto& [kind, mask] : GameFacts::WorkerProducts(stage))
    if (GameFacts::IsOrderMask(mask)) masks.insert(mask);
  for (const std::string& mask : std::set<std::string>(masks))
    for (const std::string& single : GameFacts::Products(mask)) masks.insert(single);
  return masks;
}

// Each name's cell exists and looks like no other's (and unlike every cell of others).
void Distinct(AnmCells& cells, const std::map<std::string, std::string>& entries, const std::set<std::string>& others,
              Findings& findings) {
  std::map<Pixels, std::string> seen;
  for (const std::string& other : others) {
    Pixels pixels;
    if (cells.Cell(other, pixels)) seen.emplace(pixels, other);
  }
  for (const auto& [product, entry] : entries) {
    Pixels pixels;
    if (!cells.Cell(entry, pixels)) {
      findings.Add(cells.Anm(), "product " + product + " has no picture (entry '" + entry + "')");
      continue;
    }
    const auto [at, fresh] = seen.emplace(pixels, entry);
    if (!fresh) findings.Add(cells.Anm(), "product " + product + " looks the same as '" + at->second + "'");
  }
}

}  // namespace

void ProductPictures(const Stage& stage, Findings& findings) {
  const std::set<std::string> masks = ProductMasks(stage);
  if (masks.empty()) return;
  std::map<std::string, std::string> bubble, plate;
  for (const std::string& mask : masks) {
    bubble[mask] = "status_production" + mask;
    plate[mask] = "held_itemsb" + mask + "boss_move_full";
  }
  AnmCells bubbles(stage, "status_production"), plates(stage, "held_items");
  Distinct(bubbles, bubble, {"status_productionready", "status_productionthink"}, findings);
  Distinct(plates, plate, {"held_itemsb0000boss_move_full"}, findings);
}

void TradeSigns(const Stage& stage, Findings& findings) {
  const pugi::xml_document* cfg = stage.Document(GameFacts::kCfg);
  if (!cfg) return;
  AnmCells bubbles(stage, "status_production");
  for (pugi::xml_node w : cfg->document_element().child("workers").children("worker")) {
    const std::string kind = w.attribute("name").value(), mask = w.attribute("product").value();
    const std::string type = w.attribute("product_type").value();
    const auto sign = Figure::TradeSigns().find(kind);
    if (sign == Figure::TradeSigns().end()) {
      findings.Add(GameFacts::kCfg, "worker '" + kind + "' has no trade sign to wear");
      continue;
    }
    if (Pictograms::OfMask(mask) != std::vector<std::string>{sign->second})
      findings.Add(GameFacts::kCfg, "worker '" + kind + "' wears the sign of " + sign->second + " but makes " + mask);
    Pixels shown, made;
    if (!bubbles.Cell("status_production" + type, shown) || !bubbles.Cell("status_production" + mask, made) ||
        shown != made)
      findings.Add(bubbles.Anm(), "worker '" + kind + "': its bubble '" + type + "' does not show its product " + mask);
  }
}

}  // namespace Content::ValidatorRules
