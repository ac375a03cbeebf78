// The validator's game rules: the pack as built passes them, and each single mistake a developer
// could make in it (a control gone from a screen, a point no edge reaches, an order nobody makes,
// an animation missing in one direction, more offers than upgrade records, two products that look
// alike, a worker without the sign of its trade) is a finding that names the file and the name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "contentlib/AnmWriter.h"
#include "contentlib/PngReader.h"
#include "contentlib/PngWriter.h"
#include "contentlib/Stage.h"
#include "contentlib/Validator.h"
#include "contentlib/XmlConvert.h"

namespace Content {
namespace {

namespace fs = std::filesystem;

const fs::path kStage = fs::path(TEST_BINARY_DIR) / "content" / "stage";

class GameRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Findings load;
    ASSERT_TRUE(mStage.LoadFolder((kStage / "data").string(), load) &&
                mStage.LoadFolder((kStage / "loc").string(), load));
  }

  // Changes one staged document the way a developer's edit would.
  void Edit(const std::string& name, const std::function<void(pugi::xml_node root)>& change) {
    pugi::xml_document doc;
    ASSERT_NE(mStage.Document(name), nullptr) << name;
    doc.reset(*mStage.Document(name));
    change(doc.document_element());
    const std::string bytes = XmlConvert::Write(doc);
    mStage.Add(name, {bytes.begin(), bytes.end()});
  }

  Findings Run() {
    Findings findings;
    Validator::Run(mStage, findings);
    return findings;
  }

  static pugi::xml_node Named(pugi::xml_node parent, const char* element, const char* name) {
    return parent.find_child_by_attribute(element, "name", name);
  }

  Stage mStage;
};

std::string Text(const Findings& findings) {
  std::string text;
  for (const Finding& f : findings.List()) text += f.Text() + "\n";
  return text;
}

TEST_F(GameRulesTest, TheBuiltPackPassesEveryRule) {
  const Findings findings = Run();
  EXPECT_TRUE(findings.Empty()) << Text(findings);
}

TEST_F(GameRulesTest, AControlMissingFromAScreen) {
  Edit("cfg\\ui.xml", [](pugi::xml_node root) {
    pugi::xml_node mini = Named(root, "element", "minigame");
    mini.remove_child(Named(mini, "element", "tray16"));
    pugi::xml_node help = Named(root, "element", "help");
    help.remove_child(Named(help, "element", "f_cover"));
    root.remove_child(Named(root, "element", "dialogbox_1button"));
    pugi::xml_node options = Named(root, "element", "options");
    options.append_copy(Named(options, "element", "apply"));
  });
  const Findings findings = Run();
  EXPECT_TRUE(findings.Mentions("screen 'minigame' lacks the control 'tray16'")) << Text(findings);
  EXPECT_TRUE(findings.Mentions("at least 16 tray*"));
  EXPECT_TRUE(findings.Mentions("the parent of the flipped page 'page_1' has no f_cover"));
  EXPECT_TRUE(findings.Mentions("screen 'dialogbox_1button' is not a qcdialog element"));
  EXPECT_TRUE(findings.Mentions("element 'options' has two children named 'apply'"));
  EXPECT_EQ(findings.List()[0].file, "cfg\\ui.xml");
}

TEST_F(GameRulesTest, AScenePointNoEdgeReaches) {
  Edit("cfg\\scene1.xml", [](pugi::xml_node root) {
    pugi::xml_node edges = root.child("graphs").child("graph").child("edges");
    while (pugi::xml_node e = edges.find_child_by_attribute("edge", "p2", "super_material")) edges.remove_child(e);
  });
  const Findings findings = Run();
  EXPECT_TRUE(findings.Mentions("cfg\\scene1.xml: the point of 'super_material' is not reached from home"))
      << Text(findings);
  EXPECT_EQ(findings.Count(), 1u) << Text(findings);
}

TEST_F(GameRulesTest, SceneFaultsThatWouldHangOrCrashTheGame) {
  Edit("cfg\\scene2.xml", [](pugi::xml_node root) {
    pugi::xml_node objects = root.child("objects");
    Named(objects, "object", "coffeemachine").append_child("picks").append_attribute("pick") = "material01";
    Named(objects, "object", "material01").append_child("picks").append_attribute("pick") = "coffeemachine";
    Named(objects, "object", "bar").attribute("class") = "counter";
    pugi::xml_node point = root.child("graphs").child("graph").child("points").append_child("point");
    point.append_attribute("name") = "near";
    point.append_attribute("x") = "685";
    point.append_attribute("y") = "265";
    pugi::xml_node edge = root.child("graphs").child("graph").child("edges").append_child("edge");
    edge.append_attribute("p1") = "near";
    edge.append_attribute("p2") = "wash_stand";  // both points stand 15 px apart: fine
    point = root.child("graphs").child("graph").child("points").append_child("point");
    point.append_attribute("name") = "twin";
    point.append_attribute("x") = "400";
    point.append_attribute("y") = "300";
    edge = root.child("graphs").child("graph").child("edges").append_child("edge");
    edge.append_attribute("p1") = "home";
    edge.append_attribute("p2") = "twin";  // same place as home
    objects.remove_child(Named(objects, "object", "client03"));
  });
  const Findings findings = Run();
  EXPECT_TRUE(findings.Mentions("picks starting at")) << Text(findings);
  EXPECT_TRUE(findings.Mentions("class 'counter' is none of the object factory's"));
  EXPECT_TRUE(findings.Mentions("edge home-twin has zero length"));
  EXPECT_FALSE(findings.Mentions("edge near-wash_stand"));
  EXPECT_TRUE(findings.Mentions("object 'status_bubble_client03' pairs with 'client03'"));
}

TEST_F(GameRulesTest, ALevelOrderingAProductNoListedWorkerMakes) {
  Edit("cfg\\l2.xml", [](pugi::xml_node root) {
    root.child("objects").remove_child(Named(root.child("objects"), "object", "worker03"));  // the juicer
  });
  const Findings findings = Run();
  EXPECT_TRUE(findings.Mentions("cfg\\l2.xml: time point")) << Text(findings);
  EXPECT_TRUE(findings.Mentions("but nothing listed makes 0030"));
  EXPECT_TRUE(findings.Mentions("status object 'status_bubble_worker03' is listed without its character 'worker03'"));
}

TEST_F(GameRulesTest, LevelFaultsThatWouldBlockTheDayOrCorruptOverrides) {
  Edit("cfg\\l1.xml", [](pugi::xml_node root) {
    pugi::xml_node first = root.child("events_queue").child("time_point");
    first.attribute("type") = "bonus";
    first.insert_child_before("param", first.child("param")).append_attribute("name") = "sit";
    root.child("override_workers").append_copy(root.child("override_workers").child("worker"));
    root.child("params").attribute("expert") = "90";
  });
  Edit("cfg\\e1.xml", [](pugi::xml_node root) {
    root.child("stages").append_copy(root.child("stages").child("stage"));
    root.child("objects").find_child_by_attribute("object", "name", "super_material").remove_attribute("stop");
  });
  const Findings findings = Run();
  EXPECT_TRUE(findings.Mentions("type must be \"client\"")) << Text(findings);
  EXPECT_TRUE(findings.Mentions("\"sit\" cannot be the first entry"));
  EXPECT_TRUE(findings.Mentions("\"sit\" without a seated guest"));
  EXPECT_TRUE(findings.Mentions("override_workers: 'baker' twice"));
  EXPECT_TRUE(findings.Mentions("expert goal at least 20 above"));
  EXPECT_TRUE(findings.Mentions("two stages open on day 2"));
  EXPECT_TRUE(findings.Mentions("'super_material' is opened by a stage but listed without stop"));
}

TEST_F(GameRulesTest, AnAnimationNameMissingForOneOrientation) {
  AnmWriter anm;
  for (const char* orient : {"t", "tr", "r", "br", "b", "bl", "l"})  // no "tl"
    for (const char* word :
         {"boss_idle_empty101", "boss_idle_empty201", "boss_idle_second01", "boss_idle_full01",
          "boss_idle_full_second01", "boss_move_empty", "boss_move_second", "boss_move_full", "boss_move_full_second"})
      anm.Add({"anm\\img\\boss.png", std::string("bossstd") + orient + word, AnmLoop::Loop, 0, {{0, 0, 4, 4}}});
  std::vector<uint8_t> bytes;
  Findings built;
  ASSERT_TRUE(anm.Build("anm\\boss.anm", bytes, built));
  mStage.Add("anm\\boss.anm", bytes);
  const Findings findings = Run();
  EXPECT_TRUE(findings.Mentions("anm\\boss.anm has no entry 'bossstdtlboss_idle_empty1'")) << Text(findings);
  EXPECT_TRUE(findings.Mentions("'bossstdtlboss_move_full_second'"));
  EXPECT_FALSE(findings.Mentions("bossstdlboss"));
  EXPECT_EQ(findings.Count(), 9u) << Text(findings);
}

TEST_F(GameRulesTest, ACafeWithMoreOffersThanRecords) {
  Edit("cfg\\cfg.xml", [](pugi::xml_node root) {
    pugi::xml_node upgrade = root.child("upgrade");
    for (const char* name : {"floor_c1", "bar_c1", "decor_c1"}) upgrade.remove_child(Named(upgrade, "visual", name));
    pugi::xml_node stray = upgrade.append_child("functional");
    for (auto [key, value] : {std::pair{"name", "speed"}, {"object", "waiter"}, {"min_level", "1"}, {"max_level", "0"}})
      stray.append_attribute(key) = value;
  });
  const Findings findings = Run();
  EXPECT_TRUE(findings.Mentions("career: cafe 1 offers 3 visual upgrades but only 2 records are left"))
      << Text(findings);
  EXPECT_TRUE(findings.Mentions("functional upgrade 'speed' of 'waiter' has no upgrade slot"));
  EXPECT_TRUE(findings.Mentions("min_level and max_level must lie in 1-3"));
}

// A bubble atlas of one row per word, each row its own colour except where a test makes two alike.
TEST_F(GameRulesTest, ProductsWhosePicturesAreMissingOrAlike) {
  const std::vector<std::string> words = {"0200", "think", "0030", "0004", "cake", "juice", "sandwich"};
  Picture atlas(4, 4 * static_cast<int>(words.size()));
  AnmWriter anm;
  for (size_t row = 0; row < words.size(); ++row) {
    const uint32_t colour =
        words[row] == "0200" ? 0xFF000001u : 0xFF000000u + static_cast<uint32_t>(row);  // 0200 as think
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) atlas.At(x, static_cast<int>(row) * 4 + y) = colour;
    anm.Add({"anm\\img\\status_production.png",
             "status_production" + words[row],
             AnmLoop::Loop,
             0,
             {{0, static_cast<int32_t>(row) * 4, 4, 4}}});
  }
  std::vector<uint8_t> png, bytes;
  std::string error;
  Findings built;
  ASSERT_TRUE(PngWriter::Write(atlas, png, error) && anm.Build("anm\\status_production.anm", bytes, built));
  mStage.Add("anm\\img\\status_production.png", png);
  mStage.Add("anm\\status_production.anm", bytes);
  const Findings findings = Run();
  EXPECT_TRUE(findings.Mentions("product 0200 looks the same as 'status_productionthink'")) << Text(findings);
  EXPECT_TRUE(findings.Mentions("product 0034 has no picture (entry 'status_production0034')"));
  EXPECT_FALSE(findings.Mentions("product 0030 looks")) << "a product with its own picture passes";
  EXPECT_FALSE(findings.Mentions("product 0200 has no picture")) << Text(findings);
}

TEST_F(GameRulesTest, WorkersWithoutTheSignOfTheirTrade) {
  Edit("cfg\\cfg.xml", [](pugi::xml_node root) {
    pugi::xml_node workers = root.child("workers");
    Named(workers, "worker", "cook").attribute("product") = "0005";
    Named(workers, "worker", "juicer").attribute("product_type") = "cake";
    pugi::xml_node barista = workers.append_copy(Named(workers, "worker", "baker"));
    barista.attribute("name") = "barista";
  });
  const Findings findings = Run();
  EXPECT_TRUE(findings.Mentions("worker 'barista' has no trade sign to wear")) << Text(findings);
  EXPECT_TRUE(findings.Mentions("worker 'cook' wears the sign of sandwich but makes 0005"));
  EXPECT_TRUE(findings.Mentions("worker 'juicer': its bubble 'cake' does not show its product 0030"));
  EXPECT_FALSE(findings.Mentions("worker 'baker'")) << Text(findings);
}

// A ticked check box shows its tick: each picture of the ticked set stands apart from the unticked
// picture of its state in a tick's worth of pixels (a white tick on a white box would not).
TEST_F(GameRulesTest, TheTickedCheckBoxPicturesShowATick) {
  const pugi::xml_node root = mStage.Document("cfg\\ui.xml")->document_element();
  auto picture = [&](pugi::xml_node box, const std::string& state) {
    const std::string id = box.find_child_by_attribute("texture", "id", state.c_str()).attribute("texture").value();
    const std::string file = root.find_child_by_attribute("texture", "id", id.c_str()).attribute("file").value();
    Picture out;
    EXPECT_TRUE(mStage.Bytes(Stage::Key(file)) && PngReader::Read(*mStage.Bytes(Stage::Key(file)), out)) << file;
    return out;
  };
  auto grey = [](uint32_t p) { return ((p >> 16 & 0xFF) * 54 + (p >> 8 & 0xFF) * 183 + (p & 0xFF) * 19) >> 8; };
  int boxes = 0;
  for (const pugi::xpath_node& node : root.select_nodes("//element[@type='qccheckbox']")) {
    ++boxes;
    for (const char* state : {"normal", "over", "disabled"}) {
      const Picture plain = picture(node.node(), state), ticked = picture(node.node(), std::string("check_") + state);
      ASSERT_EQ(plain.pixels.size(), ticked.pixels.size());
      int tick = 0;
      for (size_t i = 0; i < plain.pixels.size(); ++i)
        tick += std::abs(static_cast<int>(grey(plain.pixels[i])) - static_cast<int>(grey(ticked.pixels[i]))) >= 96;
      EXPECT_GE(tick, 20) << node.node().attribute("name").value() << " " << state;
    }
  }
  EXPECT_EQ(boxes, 2);
}

TEST_F(GameRulesTest, PickableRegionsThatOverlapButForAListedPick) {
  Edit("cfg\\scene1.xml", [](pugi::xml_node root) {
    pugi::xml_node objects = root.child("objects");
    // the tray back on the wash stand, which lists it among its picks: meant to take the clicks
    Named(objects, "object", "tray").attribute("rgn") = "715 205 765 205 765 235 715 235";
    // a bin reaching 10 px into the coffee machine, which lists nothing
    Named(objects, "object", "trash_bin").attribute("rgn") = "20 280 70 280 70 390 20 390";
    // a place that only shares the super dish's left edge
    Named(objects, "object", "client_place04").attribute("rgn") = "670 320 720 320 720 350 670 350";
  });
  const Findings findings = Run();
  EXPECT_TRUE(
      findings.Mentions("cfg\\scene1.xml: the hit regions of 'coffeemachine' and 'trash_bin' overlap (at 20,280)"))
      << Text(findings);
  EXPECT_FALSE(findings.Mentions("'tray'"));
  EXPECT_FALSE(findings.Mentions("'client_place04' and 'super_material'"));
  EXPECT_EQ(findings.Count(), 1u) << Text(findings);
}

TEST_F(GameRulesTest, TextsAPlayerCouldNotRead) {
  Edit("cfg\\loc.xml", [](pugi::xml_node root) {
    root.find_child_by_attribute("loc", "id", "mn09_desc_baker_speed").attribute("text") =
        "The baker works 30% faster.";
    root.find_child_by_attribute("loc", "id", "hud_money").attribute("text") = "$%money";  // never closed
  });
  Edit("cfg\\ui.xml", [](pugi::xml_node root) {
    pugi::xml_node comic = Named(Named(root, "element", "career_menu"), "element", "comix");
    pugi::xml_node caption =
        Named(Named(Named(comic, "element", "comix05"), "element", "left_page"), "element", "caption");
    caption.find_child_by_attribute("textattr", "id", "normal").attribute("color") = "FFFFFFFF";  // white on paper
    pugi::xml_node splash = Named(Named(root, "element", "career_menu"), "element", "expert_splash");
    Named(splash, "element", "caption").find_child_by_attribute("textattr", "id", "shadow").attribute("font") =
        "ui_title_shadow";
  });
  const Findings findings = Run();
  EXPECT_TRUE(findings.Mentions("cfg\\loc.xml: text 'mn09_desc_baker_speed' holds a '%' that names no text variable"))
      << Text(findings);
  EXPECT_TRUE(findings.Mentions("text 'hud_money' holds a '%'"));
  // white against the paper F3E9D2 (luminance 0.8198): 1.05 / 0.8698
  EXPECT_TRUE(findings.Mentions(
      "cfg\\ui.xml: text 'caption': its color FFFFFFFF stands out from the flat F3E9D2 under it by 1.21:1"));
  EXPECT_TRUE(findings.Mentions(
      "text 'caption': its shadow font 'ui_title_shadow' is drawn at scale 1, its text font 'ui_big' at 1.5"));
  EXPECT_EQ(findings.Count(), 4u) << Text(findings);
}

// Texts laid out where they cannot be read at 800 x 600: a label wider than its tab, a caption that
// reaches out of its page, one under the page's button, one whose words need more lines than its
// box holds, and a text drawn in a font smaller than 11 px.
TEST_F(GameRulesTest, TextsOutOfTheirPlaces) {
  Edit("cfg\\loc.xml", [](pugi::xml_node root) {
    root.find_child_by_attribute("loc", "id", "comic_15_l").attribute("text") =
        "The harbour bistro is for sale, with its old kitchen, its long counter, its terrace over the water and "
        "a view of every boat that comes in.";
  });
  Edit("cfg\\ui.xml", [](pugi::xml_node root) {
    pugi::xml_node career = Named(root, "element", "career_menu");
    Named(career, "element", "cafe3_button").attribute("width") = "100";
    pugi::xml_node comic = Named(career, "element", "comix");
    auto caption = [&](const char* page, const char* day) {
      return Named(Named(Named(comic, "element", day), "element", page), "element", "caption");
    };
    caption("left_page", "comix05").attribute("y") = "520";   // 520 + 62 > 565
    caption("right_page", "comix25").attribute("y") = "480";  // over next_button at 512
    root.append_child("font").append_attribute("name") = "tiny";
    root.last_child().append_attribute("type") = "System";
    root.last_child().append_attribute("size") = "9";
    caption("left_page", "comix35").find_child_by_attribute("textattr", "id", "normal").attribute("font") = "tiny";
  });
  const Findings findings = Run();
  EXPECT_TRUE(findings.Mentions("cfg\\ui.xml: text 'cafe3_button' its label is")) << Text(findings);
  EXPECT_TRUE(findings.Mentions("px free at each end of its 100 px"));
  EXPECT_TRUE(findings.Mentions("text 'caption' reaches out of the panel it lies in"));
  EXPECT_TRUE(findings.Mentions("text 'caption' lies under the button 'next_button'"));
  EXPECT_TRUE(findings.Mentions("text 'caption' wraps into"));
  EXPECT_TRUE(findings.Mentions("text 'caption' is drawn 9 px high with the font 'tiny', less than 11 px"));
  EXPECT_EQ(findings.Count(), 5u) << Text(findings);
}

}  // namespace
}  // namespace Content
