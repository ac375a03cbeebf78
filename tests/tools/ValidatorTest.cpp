// The validator's generic rules: a consistent small stage passes, and each single mistake in it
// gives one finding that names the staged file.
#include <gtest/gtest.h>

#include <cstring>

#include "contentlib/Utf16Writer.h"
#include "contentlib/Validator.h"

namespace Content {
namespace {

const char kUi[] =
    "<root>"
    "<texture id=\"btn\" file=\"gfx\\ui\\btn.png\"/>"
    "<texture id=\"arrow\" file=\"gfx\\cursor\\arrow.png\"/>"
    "<font name=\"ui_body\" type=\"Image\" face=\"fonts\\sans14.txt\"/>"
    "<cursors mode=\"normal\" image=\"arrow\" hot_spot_x=\"0\" hot_spot_y=\"0\"/>"
    "<element type=\"qcdialog\" name=\"menu\" x=\"0\" y=\"0\" width=\"800\" height=\"600\" effect=\"dlg_fade\">"
    "<element type=\"qcbutton\" name=\"play\" x=\"10\" y=\"-1.0\" width=\"50\" height=\"20\" visible=\"true\""
    " label=\"play\" snd_click=\"button_click\">"
    "<texture id=\"normal\" texture=\"btn\" v=\"0\"/>"
    "<textattr id=\"normal\" color=\"FF3B2A1E\" font=\"ui_body\"/>"
    "</element></element></root>";

const char kEffect[] =
    "<effects><effect name=\"dlg_fade\"><timers>"
    "<timer name=\"in\" type=\"usual\" ftime=\"0.25\" direction=\"forward\">"
    "<control id=\"1\" type=\"point\" starttime=\"0.0\" endtime=\"0.0\" function=\"DlgShow\" active=\"true\"/>"
    "<control id=\"2\" type=\"range\" starttime=\"0.0\" endtime=\"0.25\" function=\"DlgFadeIn\" active=\"true\"/>"
    "</timer>"
    "<timer name=\"out\" type=\"usual\" ftime=\"0.25\" direction=\"forward\">"
    "<control id=\"1\" type=\"point\" starttime=\"0.25\" endtime=\"0.25\" function=\"EffectItemHide\" active=\"true\"/>"
    "</timer></timers><messages>"
    "<message name=\"onshow\" command=\"start\" timer_id=\"in\"/>"
    "<message name=\"onhide\" command=\"start\" timer_id=\"out\"/>"
    "<message name=\"render_ps\" command=\"call\" timer_id=\"RenderPSFunc\"/>"
    "</messages></effect></effects>";

const char kCfg[] =
    "<root><music><stream name=\"level1\" path=\"music\\level1.ogg\"/></music>"
    "<sounds><sound name=\"button_click\" group=\"0\" path=\"sounds\\button_click.wav\" "
    "loop=\"false\"/></sounds></root>";

const char kScene[] =
    "<root><objects>"
    "<object class=\"static\" name=\"counter\"><part name=\"bar_counter\"/></object>"
    "<object class=\"static\" name=\"plant\"><part name=\"plant\" parent_z=\"counter:bar_counter\" "
    "font=\"ui_body\"/></object>"
    "</objects></root>";

const char kLevel[] = "<level doc=\"cfg\\scene1.xml\"><objects><object name=\"plant\" skin=\"c1\"/></objects></level>";

class ValidatorTest : public ::testing::Test {
 protected:
  ValidatorTest() {
    Xml("cfg\\ui.xml", kUi);
    Xml("cfg\\loc.xml", "<root><loc id=\"play\" text=\"Play\"/></root>");
    Xml("cfg\\effect.xml", kEffect);
    Xml("cfg\\cfg.xml", kCfg);
    Xml("cfg\\scene1.xml", kScene);
    Xml("cfg\\l1.xml", kLevel);
    Xml("properties\\resources.xml", "<ResourceManifest/>");
    for (const char* file : {"gfx\\ui\\btn.png", "gfx\\cursor\\arrow.png", "music\\level1.ogg",
                             "sounds\\button_click.wav", "fonts\\sans14.png"})
      mStage.Add(file, {1, 2, 3});
    Descriptor("fonts\\sans14.txt", "CreateLayer Main;\nLayerSetImage Main \"sans14\";\n");
  }
  void Xml(const std::string& name, const std::string& utf8) { Add(name, Utf16Writer::Convert(utf8, true)); }
  void Descriptor(const std::string& name, const std::string& utf8) { Add(name, Utf16Writer::Convert(utf8, false)); }
  void Add(const std::string& name, const std::string& bytes) { mStage.Add(name, {bytes.begin(), bytes.end()}); }
  // Replaces the first occurrence of a piece of a document's source.
  void Edit(const std::string& name, const std::string& source, const std::string& from, const std::string& to) {
    std::string s = source;
    const size_t at = s.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    Xml(name, s.replace(at, from.size(), to));
  }
  // The findings of a run, one text each.
  std::vector<std::string> Run() {
    Findings findings;
    const bool passed = Validator::Run(mStage, findings, Validator::GenericRules());
    EXPECT_EQ(passed, findings.Empty());
    std::vector<std::string> texts;
    for (const Finding& f : findings.List()) texts.push_back(f.Text());
    return texts;
  }
  using Texts = std::vector<std::string>;

  Stage mStage;
};

TEST_F(ValidatorTest, AConsistentStagePasses) { EXPECT_EQ(Run(), Texts{}); }

TEST(StageTest, MemberNamesStayInsideTheStage) {
  for (const char* good : {"gfx\\ui\\a.png", "GFX/UI/A.PNG", "cfg\\l1.xml"})
    EXPECT_TRUE(Stage::PlainPath(good)) << good;
  for (const char* bad :
       {"..\\a.png", "gfx\\..\\..\\a", "\\abs", "/abs", "c:x", "a\\\\b", "a\\", "", "sp ace", "caf\xC3\xA9.png"})
    EXPECT_FALSE(Stage::PlainPath(bad)) << bad;
}

TEST_F(ValidatorTest, EncodingsOfDocumentsAndDescriptors) {
  const std::string ui = Utf16Writer::Convert(kUi, true);
  Add("cfg\\ui.xml", ui.substr(2));  // the game would lose the '<'
  Descriptor("fonts\\sans14.txt",
             "\xEF\xBB\xBF"
             "CreateLayer Main;\nLayerSetImage Main \"sans14\";\n");
  EXPECT_EQ(Run(), (Texts{"cfg\\ui.xml: does not start with FF FE 3C 00 (UTF-16LE with a byte-order mark, then '<')",
                          "fonts\\sans14.txt: a font descriptor must be UTF-16LE without a byte-order mark"}));
}

TEST_F(ValidatorTest, FilesThatDocumentsNameMustBeStaged) {
  Edit("cfg\\ui.xml", kUi, "gfx\\ui\\btn.png", "gfx\\ui\\btn");  // no extension: the game would drop it
  Edit("cfg\\cfg.xml", kCfg, "music\\level1.ogg", "music\\level9.ogg");
  Edit("cfg\\l1.xml", kLevel, "scene1", "scene7");
  Descriptor("fonts\\sans14.txt", "CreateLayer Main;\nLayerSetImage Main \"sans15\";\n");
  EXPECT_EQ(Run(), (Texts{"cfg\\ui.xml: texture file 'gfx\\ui\\btn' is not staged (give it with its extension)",
                          "cfg\\cfg.xml: sound file 'music\\level9.ogg' is not staged",
                          "cfg\\l1.xml: doc 'cfg\\scene7.xml' is not staged",
                          "fonts\\sans14.txt: atlas 'sans15' is not staged"}));
}

TEST_F(ValidatorTest, ManifestFilesAreFoundAsTheResourceManagerLooksForThem) {
  Xml("properties\\resources.xml",
      "<ResourceManifest><Resources id=\"Init\"><SetDefaults path=\"fonts\"/>"
      "<Font id=\"F\" path=\"sans14.txt\"/><Font id=\"S\" path=\"!sys:Arial\"/><Font id=\"G\" path=\"gone.txt\"/>"
      "<SetDefaults path=\"gfx\\ui\"/><Image path=\"btn\"/></Resources>"
      "<Resources id=\"Extra\"><Image path=\"missing.png\"/><SetDefaults path=\"sounds\"/>"
      "<Sound id=\"C\" path=\"button_click\"/><Sound id=\"D\" path=\"button_clack\"/></Resources></ResourceManifest>");
  EXPECT_EQ(Run(), (Texts{"properties\\resources.xml: Font 'fonts\\gone.txt' is not staged",
                          "properties\\resources.xml: Image 'gfx\\ui\\missing.png' is not staged",
                          "properties\\resources.xml: Sound 'sounds\\button_clack' is not staged"}));
}

TEST_F(ValidatorTest, IdsAreUnique) {
  Edit("cfg\\ui.xml", kUi, "<texture id=\"arrow\"",
       "<texture id=\"btn\" file=\"gfx\\ui\\btn.png\"/><texture id=\"arrow\"");
  Xml("cfg\\loc.xml", "<root><loc id=\"play\" text=\"Play\"/><loc id=\"play\" text=\"Again\"/></root>");
  Edit("cfg\\scene1.xml", kScene,
       "name=\"plant\"><part name=\"plant\" parent_z=\"counter:bar_counter\" font=\"ui_body\"/>",
       "name=\"counter\"><part name=\"plant\"/>");
  EXPECT_EQ(Run(), (Texts{"cfg\\ui.xml: texture 'btn' is defined twice", "cfg\\loc.xml: loc id 'play' is defined twice",
                          "cfg\\scene1.xml: scene object 'counter' is defined twice",
                          "cfg\\l1.xml: object 'plant' is not in cfg\\scene1.xml"}));
}

TEST_F(ValidatorTest, EveryReferenceNamesADefinition) {
  std::string ui = kUi;
  for (auto [from, to] : {std::pair{"texture=\"btn\"", "texture=\"btn2\""},
                          {"image=\"arrow\"", "image=\"arrow2\""},
                          {"label=\"play\"", "label=\"plya\""},
                          {"effect=\"dlg_fade\"", "effect=\"fade\""},
                          {"snd_click=\"button_click\"", "snd_click=\"click\""},
                          {"font=\"ui_body\"", "font=\"body\""}})
    ui.replace(ui.find(from), std::strlen(from), to);
  Xml("cfg\\ui.xml", ui);
  Edit("cfg\\effect.xml", kEffect, "\"RenderPSFunc\"", "\"RenderPS\"");
  EXPECT_EQ(Run(), (Texts{"cfg\\ui.xml: texture 'arrow2' is not defined in cfg\\ui.xml",
                          "cfg\\ui.xml: effect 'fade' is not defined in cfg\\effect.xml",
                          "cfg\\ui.xml: loc id 'plya' is not defined in cfg\\loc.xml",
                          "cfg\\ui.xml: sound 'click' is not defined in cfg\\cfg.xml",
                          "cfg\\ui.xml: texture 'btn2' is not defined in cfg\\ui.xml",
                          "cfg\\ui.xml: font 'body' is not defined in cfg\\ui.xml",
                          "cfg\\effect.xml: call 'RenderPS' is not an exported callback"}));
}

TEST_F(ValidatorTest, ParentZNamesAnObjectAndItsPart) {
  Edit("cfg\\scene1.xml", kScene, "counter:bar_counter", "counter:bar");
  EXPECT_EQ(Run(), Texts{"cfg\\scene1.xml: parent_z 'counter:bar' names no object:part of the scene"});
}

TEST_F(ValidatorTest, TimersAndShowHideBindings) {
  std::string effect = kEffect;
  for (auto [from, to] : {std::pair{"type=\"usual\" ftime=\"0.25\" direction=\"forward\">"
                                    "<control id=\"1\" type=\"point\" starttime=\"0.0\"",
                                    "type=\"once\" ftime=\"-2\">"
                                    "<control id=\"1\" type=\"point\" starttime=\"0.0\""},
                          {"function=\"DlgShow\"", "function=\"DlgReset\""},
                          {"starttime=\"0.25\" endtime=\"0.25\" function=\"EffectItemHide\"",
                           "starttime=\"0.2\" endtime=\"0.2\" function=\"EffectItemHide\""}})
    effect.replace(effect.find(from), std::strlen(from), to);
  Xml("cfg\\effect.xml", effect);
  EXPECT_EQ(
      Run(),
      (Texts{"cfg\\effect.xml: effect 'dlg_fade' timer 'in': type must be usual, self_destructive, cycle or ping_pong",
             "cfg\\effect.xml: effect 'dlg_fade' timer 'in': ftime must be positive",
             "cfg\\effect.xml: effect 'dlg_fade' timer 'in': direction must be forward or backward (a timer without "
             "one never runs)",
             "cfg\\effect.xml: effect 'dlg_fade' binds onshow but shows nothing at time 0 (DlgShow/EffectItemShow)",
             "cfg\\effect.xml: effect 'dlg_fade' binds onhide but hides nothing at its end (DlgHide/EffectItemHide)"}));
}

TEST_F(ValidatorTest, ValuesTheGameWouldMisread) {
  std::string ui = kUi;
  for (auto [from, to] : {std::pair{"visible=\"true\"", "visible=\"\""},
                          {"y=\"-1.0\"", "y=\"-1.5\""},
                          {"color=\"FF3B2A1E\"", "color=\"3B2A1E\""},
                          {"name=\"play\"", "name=\"Play\""}})
    ui.replace(ui.find(from), std::strlen(from), to);
  Xml("cfg\\ui.xml", ui);
  Xml("cfg\\loc.xml", "<root><loc id=\"play\" text=\"" + std::string(2047, 'x') + "\"/><loc id=\"long\" text=\"" +
                          std::string(2046, 'x') + "\xF0\x9F\x98\x80\"/></root>");
  EXPECT_EQ(Run(), (Texts{"cfg\\loc.xml: loc 'long': the game reads at most 2047 characters",
                          "cfg\\ui.xml: <element name=\"Play\">: names are lower case ASCII letters, digits and '_'",
                          "cfg\\ui.xml: <element y=\"-1.5\">: the game reads a negative fraction below -1 wrongly",
                          "cfg\\ui.xml: <element visible=\"\">: write true or false",
                          "cfg\\ui.xml: <textattr color=\"3B2A1E\">: a colour is 8 hex digits AARRGGBB"}));
}

}  // namespace
}  // namespace Content
