// Builds a dialog tree from arbitrary UI description text (UTF-8 here, stored as the game stores
// it), with stand-ins for the nine UI widget classes, then shows, updates, draws and hides it.
#include <cstdint>
#include <string>

#include "engine/QCDialog.h"
#include "engine/QCEffect.h"
#include "engine/QCParticleRegistry.h"
#include "engine/QCTexture.h"
#include "engine/XmlAccess.h"
#include "exports/ExportTable.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace {

const char* kEffects = R"(<effects>
  <effect name="fade"><timers><timer name="in" type="usual" ftime="0.5" direction="forward">
    <control id="0" starttime="0" type="point" function="DlgShow" active="true"/>
    <control id="1" starttime="0" endtime="0.5" type="range" function="DlgFadeIn" active="true"/>
    <control id="2" starttime="0" type="point" function="FuncOnGoalExpertPSEffect" active="true"/>
  </timer></timers>
  <messages><message name="onshow" command="start" timer_id="in"/>
    <message name="render_ps" command="call" timer_id="RenderPSFunc"/></messages></effect>
</effects>)";

class Images : public QCTextureManager {
 public:
  Images() : QCTextureManager(nullptr) {}
  Velk::Image* LoadImageFile(const std::string&) override {
    auto* image = new Velk::MemoryImage();
    image->CreateBlank(8, 8);
    return image;
  }
};

void Setup(MemoryPak& pak) {
  RegisterEffectCallbacks();
  pak.Put("cfg/effect.xml", Utf16File(kEffects));
  pak.Put("img/a.png", "x");
  LoadEffectDefinitions();
  for (const char* type :
       {"qcbutton", "qctext", "qcbar", "qclist", "qcscroll", "qccheckbox", "qcslider", "qcedit", "qcanim"})
    QCDialog::SetWidgetCreator(type, [](QCDialog* parent, IXMLDOMNode* node, QCEngine*) {
      auto* widget = new QCCandyWidget(parent);
      widget->ReadCommonXml(node);
      return widget;
    });
}

void Exercise(QCDialog& dialog, Velk::Graphics& g) {
  dialog.Show();
  dialog.ShowChildren();
  for (int i = 0; i < 5; ++i) {
    dialog.Update();
    dialog.Draw(&g);
    for (auto& [name, child] : dialog.mChildren) {
      child->Update();
      child->Draw(&g);
    }
  }
  dialog.HideChildren();
  dialog.Hide();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryPak* pak = new MemoryPak();
  static Images* images = new Images();
  static QCParticleRegistry* particles = new QCParticleRegistry();
  static Velk::MemoryImage* screen = [] {
    Setup(*pak);
    auto* image = new Velk::MemoryImage();
    image->CreateBlank(800, 600);
    return image;
  }();
  pak->Put("cfg/ui.xml", Utf16File("<root><texture id=\"a\" file=\"img/a.png\"/>" +
                                   std::string(reinterpret_cast<const char*>(data), size) + "</root>"));
  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\ui.xml");
  if (!doc) return 0;
  IXMLDOMNode* root = nullptr;
  doc->selectSingleNode(L"root", &root);
  if (root) {
    images->ReadUiTextures(root);
    IXMLDOMNode* first = nullptr;
    if (root->selectSingleNode(L"element", &first) == S_OK && first) {
      QCDialog dialog(nullptr, nullptr);
      dialog.Build(first);
      Velk::Graphics g(screen);
      Exercise(dialog, g);
      first->Release();
    }
    root->Release();
  }
  doc->Release();
  (void)particles;
  return 0;
}
