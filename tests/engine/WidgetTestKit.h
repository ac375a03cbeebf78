#pragma once
// Game widgets under test: effects and UI documents served from memory, the real effect callbacks,
// a texture manager that counts its loads, a recording drawing target and fake UI widget classes.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/Matrix3x3.h"
#include "engine/EngineUtil.h"
#include "engine/QCDialog.h"
#include "engine/QCEffect.h"
#include "engine/QCParticleRegistry.h"
#include "engine/QCParticleSystem.h"
#include "engine/QCTexture.h"
#include "engine/XmlAccess.h"
#include "exports/ExportTable.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"
#include "widgets/WidgetManager.h"
#include "widgets/WidgetTestSupport.h"

namespace WidgetKit {

// Effects of the tests: "fade" shows at once and fades in over 1 s, fades out over 0.5 s and then
// hides; "late" shows only after 0.5 s; "stars" bursts the goal stars and draws them;
// "created" answers "oncreate"; "slide" moves in from the left.
inline const char* kEffects = R"(<effects>
  <effect name="fade">
    <timers>
      <timer name="in" type="usual" ftime="1.0" direction="forward">
        <control id="0" starttime="0" type="point" function="DlgShow" active="true"/>
        <control id="1" starttime="0" endtime="1" type="range" function="DlgFadeIn" active="true"/>
      </timer>
      <timer name="out" type="usual" ftime="0.5" direction="forward">
        <control id="0" starttime="0" endtime="0.5" type="range" function="DlgFadeOut" active="true"/>
        <control id="1" starttime="0.5" type="point" function="DlgHide" active="true"/>
      </timer>
    </timers>
    <messages>
      <message name="onshow" command="stop" timer_id="out"/>
      <message name="onshow" command="start" timer_id="in"/>
      <message name="onhide" command="stop" timer_id="in"/>
      <message name="onhide" command="start" timer_id="out"/>
    </messages>
  </effect>
  <effect name="late">
    <timers><timer name="in" type="usual" ftime="1.0" direction="forward">
      <control id="0" starttime="0.5" type="point" function="DlgShow" active="true"/>
    </timer></timers>
    <messages><message name="onshow" command="start" timer_id="in"/></messages>
  </effect>
  <effect name="stars">
    <timers><timer name="burst" type="usual" ftime="2.0" direction="forward">
      <control id="0" starttime="0" type="point" function="FuncOnGoalExpertPSEffect" active="true"/>
    </timer></timers>
    <messages>
      <message name="go" command="start" timer_id="burst"/>
      <message name="render_ps" command="call" timer_id="RenderPSFunc"/>
    </messages>
  </effect>
  <effect name="created">
    <timers><timer name="t" type="usual" ftime="1.0"/></timers>
    <messages><message name="oncreate" command="start" timer_id="t"/></messages>
  </effect>
  <effect name="slide">
    <timers><timer name="in" type="usual" ftime="1.0" direction="forward">
      <control id="0" starttime="0" endtime="1" type="range" function="DlgSlideFromLeftAccel400" active="true"/>
    </timer></timers>
    <messages><message name="go" command="start" timer_id="in"/></messages>
  </effect>
</effects>)";

// Opaque white pictures of 10 x 10, counted per file.
class CountingTextures : public QCTextureManager {
 public:
  CountingTextures() : QCTextureManager(nullptr) {}
  Velk::Image* LoadImageFile(const std::string& fileName) override {
    ++loads[fileName];
    auto* image = new Velk::MemoryImage();
    image->CreateBlank(10, 10);
    uint32_t* bits = image->GetArgbBits();
    for (int i = 0; i < 100; ++i) bits[i] = 0xFFFFFFFF;
    image->OnBitsChanged();
    return image;
  }
  std::map<std::string, int> loads;
};

struct Draw {
  Velk::Matrix3x3 matrix;
  Velk::Rect clip;
  Velk::Rect source;
  Velk::Rect dest;
  Velk::Color colour;
  int mode;
  bool transformed;
};

// What a widget draws, with matrix, clip, colour and mode.
class DrawLog : public Velk::MemoryImage {
 public:
  DrawLog() { CreateBlank(800, 600); }
  void BlitTransformed(Velk::Image*, float, float, const Velk::Matrix3x3& m, const Velk::Rect& clip,
                       const Velk::Color& c, int mode, const Velk::Rect& src, bool) override {
    draws.push_back({m, clip, src, {}, c, mode, true});
  }
  void BlitStretched(Velk::Image*, const Velk::Rect& dest, const Velk::Rect& src, const Velk::Rect& clip,
                     const Velk::Color& c, int mode, bool) override {
    draws.push_back({{}, clip, src, dest, c, mode, false});
  }
  std::vector<Draw> draws;
};

// Stands for a UI widget class: reads the common attributes, and a button takes the next id.
class FakeControl : public QCCandyWidget {
 public:
  std::string type;
  int id = 0;
  Velk::ButtonListener* listener = nullptr;
  FakeControl(QCDialog* parent, const std::string& kind) : QCCandyWidget(parent), type(kind), listener(parent) {}
  void Click() {
    if (listener) listener->OnButtonReleased(id);
  }
};

inline void RegisterFakeCreators() {
  for (const char* type :
       {"qcbutton", "qctext", "qcbar", "qclist", "qcscroll", "qccheckbox", "qcslider", "qcedit", "qcanim"}) {
    QCDialog::SetWidgetCreator(type, [type](QCDialog* parent, IXMLDOMNode* node, QCEngine*) {
      auto* control = new FakeControl(parent, type);
      control->ReadCommonXml(node);
      if (control->type == "qcbutton") control->id = NextButtonId();
      return control;
    });
  }
}

class WidgetTest : public ::testing::Test {
 protected:
  MemoryPak pak;
  CountingTextures textures;
  QCParticleRegistry particles;
  Velk::Testing::FakeHost host;
  Velk::WidgetManager manager{&host};
  std::vector<std::string> log;
  IXMLDOMDocument* doc = nullptr;
  IXMLDOMNode* root = nullptr;

  void SetUp() override {
    RegisterEffectCallbacks();
    RegisterFakeCreators();
    pak.Put("cfg/effect.xml", Utf16File(kEffects));
    LoadEffectDefinitions();
    SetDebugLogSink([this](const std::string& line) { log.push_back(line); });
  }
  void TearDown() override {
    manager.RemoveAllChildren(true, false);
    if (root) root->Release();
    if (doc) doc->Release();
    ReleaseEffectDefinitions();
    SetDebugLogSink(nullptr);
  }

  // Loads cfg\ui.xml from the text (inside <root>), registering its textures.
  IXMLDOMNode* Ui(const std::string& body) {
    if (root) root->Release();
    if (doc) doc->Release();
    root = nullptr;
    pak.Put("img/a.png", "png");
    pak.Put("img/b.png", "png");
    pak.Put("cfg/ui.xml", Utf16File("<root><texture id=\"a\" file=\"img/a.png\"/><texture id=\"b\" file=\"img/b.png\"/>"
                                    "<texture id=\"fx_goal_star_small\" file=\"img/a.png\"/>"
                                    "<texture id=\"fx_goal_star_big\" file=\"img/b.png\"/>" +
                                    body + "</root>"));
    doc = CreateAndLoadXmlDocument("cfg\\ui.xml");
    EXPECT_NE(doc, nullptr);
    doc->selectSingleNode(L"root", &root);
    textures.ReadUiTextures(root);
    return root;
  }

  // A dialog built from the element of that name, owned by the manager.
  QCDialog* Screen(const std::string& name) {
    auto* dialog = new QCDialog(nullptr, nullptr);
    manager.AddChild(dialog);
    dialog->LoadFromUi(root, name);
    return dialog;
  }

  // A fresh element read from a snippet, for ReadCommonXml.
  IXMLDOMNode* Element(const std::string& attributes) {
    Ui("<element type=\"qcdialog\" name=\"e\" " + attributes + "/>");
    IXMLDOMNode* e = nullptr;
    root->selectSingleNode(L"element", &e);
    return e;
  }

  // A still texture of the id under key 0.
  QCTexture* AddStill(QCCandyWidget* w, const char* id) {
    auto* texture = new QCTexture();
    texture->SetImage(textures.Find(id));
    w->AddTexture(0, texture);
    return texture;
  }

  static void Step(QCCandyWidget* w, int updates) {
    for (int i = 0; i < updates; ++i) w->Update();
  }
};

}  // namespace WidgetKit
