// The built pack under the game's own readers: the game mounts the two archives the build made,
// starts up (texts, pref.dat, the resource manifest's Init group, the effects, the sound library),
// reads cfg.xml and ui.xml and makes every screen as its loading thread does, stacks the screens,
// and then finds every texture, font, sound, music loop, effect and text that the documents name.
// Nothing may reach the debug log: a missing element, texture or text would be logged there.
#include <pugixml.hpp>

#include <set>
#include <tuple>
#include <string>
#include <vector>

#include "PackGame.h"
#include "cafe/CafeConfigs.h"
#include "engine/LocTexts.h"
#include "engine/QCEffect.h"
#include "engine/QCFont.h"
#include "engine/QCMusicManager.h"
#include "engine/QCSoundSystem.h"
#include "engine/QCSoundTable.h"
#include "engine/QCTexture.h"
#include "graphics/Image.h"

namespace {

// A staged document as the validator reads it (the archives hold the same bytes).
pugi::xml_document Staged(const std::string& relative) {
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_file((std::string(TEST_BINARY_DIR) + "/content/stage/" + relative).c_str(), pugi::parse_default,
                            pugi::encoding_utf16_le))
      << relative;
  return doc;
}

std::vector<std::string> Values(const pugi::xml_document& doc, const char* xpath) {
  std::vector<std::string> values;
  for (const pugi::xpath_node& n : doc.select_nodes(xpath)) values.push_back(n.attribute().value());
  return values;
}

using PackStartUpTest = PackTesting::PackGameTest;

TEST_F(PackStartUpTest, EveryNameTheDocumentsUseIsFoundByTheGamesReaders) {
  PackTesting::PackGame& engine = Start();
  ASSERT_FALSE(engine.mShutdown) << "the Init group failed to load";
  for (int screen = 0; screen < QCEngine3::kScreenCount; ++screen)
    if (QCEngine3::kGameScreens[screen]) {
      EXPECT_NE(engine.mScreens[screen], nullptr) << "screen " << screen;
    }
  EXPECT_EQ(engine.mTitle, L"Pelune Cafe");
  const pugi::xml_document ui = Staged("data/cfg/ui.xml"), cfg = Staged("data/cfg/cfg.xml"),
                           effects = Staged("data/cfg/effect.xml");

  EXPECT_EQ(engine.GetTextureManager()->Count(), Values(ui, "/root/texture/@id").size());
  EXPECT_EQ(engine.GetFontTable()->Count(), Values(ui, "/root/font/@name").size());
  for (const std::string& id : Values(ui, "/root/texture/@id")) {
    QCTextureRef texture = engine.GetTextureManager()->Find(id);
    EXPECT_NE(texture.GetImage(), nullptr) << "texture " << id;
    texture.Release();
  }
  // One of each picture format: JPEG 2000, GIF, JPEG with an alpha companion, a book-sized PNG.
  for (auto [id, width, height] : {std::tuple{"cafe_3", 200, 150},
                                   {"list_check", 16, 16},
                                   {"splash_sample", 400, 300},
                                   {"book_pages", 732, 565}}) {
    QCTextureRef texture = engine.GetTextureManager()->Find(id);
    ASSERT_NE(texture.GetImage(), nullptr) << id;
    EXPECT_EQ(texture.GetImage()->GetWidth(), width) << id;
    EXPECT_EQ(texture.GetImage()->GetHeight(), height) << id;
    texture.Release();
  }
  for (const std::string& font : Values(ui, "/root/font/@name"))
    EXPECT_NE(engine.GetFontTable()->GetFont(font), nullptr) << "font " << font;
  ASSERT_TRUE(IsSoundPresent());
  for (const std::string& sound : Values(cfg, "//sounds/sound/@name")) {
    ASSERT_NE(FindSoundEntry(sound), nullptr) << "sound " << sound;
    EXPECT_GT(FindSoundEntry(sound)->sample, 0u) << "sound " << sound;
  }
  for (const std::string& music : Values(cfg, "//music/stream/@name"))
    EXPECT_NE(engine.GetMusicManager()->Find(music), nullptr) << "music " << music;
  for (const std::string& effect : Values(effects, "/effects/effect/@name")) {
    QCEffect* made = CreateEffectByName(effect.c_str());
    EXPECT_NE(made, nullptr) << "effect " << effect;
    delete made;
  }
  // The board has read the settings of every kind of customer, worker and timed pick-up.
  for (const std::string& client : Values(cfg, "//clients/client/@name"))
    EXPECT_NE(FindClientConfig(client), nullptr) << "customer " << client;
  for (const std::string& worker : Values(cfg, "//workers/worker/@name"))
    EXPECT_EQ(gWorkerConfigs.count(worker), 1u) << "worker " << worker;
  for (const std::string& item : Values(cfg, "//period_items/period_item/@name"))
    EXPECT_NE(FindPeriodItemConfig(item), nullptr) << "pick-up " << item;
  EXPECT_FALSE(Values(cfg, "//clients/client/@name").empty());
  std::set<std::string> labels;
  for (const std::string& id : Values(ui, "//@label")) labels.insert(id);
  for (const std::string& id : Values(cfg, "//@loc_str")) labels.insert(id);
  for (const char* id : {"app_title", "breif_l1", "breif_text_l01", "breif_l59", "breif_text_l59", "tut_01"})
    labels.insert(id);
  for (const std::string& id : labels) EXPECT_FALSE(engine.GetLocTexts()->GetLocText(id).empty()) << "loc " << id;
  EXPECT_EQ(engine.GetLocTexts()->GetLocText("tut_01"),
            L"A guest! Click the guest's place at the counter to take the order.");

  ExpectNothingLogged("start-up");
}

}  // namespace
