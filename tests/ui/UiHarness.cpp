#include "UiHarness.h"

#include <fstream>
#include <iterator>

#include "UiXmlDoc.h"
#include "app/ImageDump.h"
#include "engine/QCCursorManager.h"
#include "engine/QCEffect.h"
#include "engine/QCFont.h"
#include "engine/SoundTestSupport.h"
#include "platform/clock/Clock.h"
#include "platform/modules/Modules.h"
#include "raster/SpanFillerTable.h"
#include "support/XmlFixture.h"
#include "ui/UiWidgets.h"
#include "widgets/WidgetManager.h"

namespace {

// The pictures every UI test can name: solid, and large enough for a widget's default source rectangle.
const std::map<std::string, FixturePicture> kPictures = {
    {"white", {256, 256, 0xFFFFFFFF}},  {"red", {256, 256, 0xFFFF0000}},    {"green", {256, 256, 0xFF00FF00}},
    {"blue", {256, 256, 0xFF0000FF}},   {"grey", {256, 256, 0xFF808080}},   {"black", {256, 256, 0xFF000000}},
    {"yellow", {256, 256, 0xFFFFFF00}}, {"glow00", {256, 256, 0xFFFF0000}}, {"glow01", {256, 256, 0xFF00FF00}},
    {"glow02", {256, 256, 0xFF0000FF}}, {"check", {8, 6, 0xFF0000FF}},
};

const char* kEffects = R"(<effects>
  <effect name="count_change"><timers><timer name="t"/></timers>
    <messages><message name="onchange" command="call" timer_id="UiTestCountChange"/></messages></effect>
</effects>)";

const char* kLoc = R"(<root>
  <loc id="gallery_title" text="Every widget of the game"/>
  <loc id="gallery_ok" text="OK"/>
</root>)";

const char* kCfg = R"(<root><sounds>
  <sound name="snd_click" group="ui" path="snd\click.wav"/>
  <sound name="snd_hover" group="ui" path="snd\hover.wav"/>
</sounds></root>)";

int CountChange(void*) {
  ++UiHarness::ChangeCount();
  return 1;
}

std::string UiRoot() {
  std::string xml = "<root>";
  for (const auto& [id, picture] : kPictures) xml += "<texture id=\"" + id + "\" file=\"t\\" + id + ".png\"/>";
  xml += R"(<font name="sys" type="System" face="Arial" size="14"/>)";
  for (const char* mode : {"normal", "active", "text"})
    xml += std::string("<cursors mode=\"") + mode + "\" image=\"white\"/>";
  return xml + "</root>";
}

}  // namespace

Velk::Image* FixtureTextures::LoadImageFile(const std::string& fileName) {
  ++loads[fileName];
  auto it = pictures.find(fileName);
  if (it == pictures.end()) return nullptr;
  auto* image = new Velk::MemoryImage();
  std::vector<uint32_t> pixels(static_cast<size_t>(it->second.width) * it->second.height, it->second.argb);
  image->SetPixels(pixels.data(), it->second.width, it->second.height, true);
  return image;
}

int& UiHarness::ChangeCount() {
  static int count = 0;
  return count;
}

UiHarness::UiHarness() {
  auto backend = std::make_unique<Velk::HeadlessBackend>();
  headless = backend.get();
  Velk::Backend::Install(std::move(backend));
  Velk::Clock::UseManual(1000);
  for (const auto& [id, picture] : kPictures) {
    textures.pictures["t\\" + id + ".png"] = picture;
    pak.Put("t/" + id + ".png", std::string("picture"));
  }
  pak.Put("cfg/effect.xml", Utf16File(kEffects));
  pak.Put("cfg/loc.xml", Utf16File(kLoc));
  Velk::ModuleTable::RegisterProgramExport("UiTestCountChange", reinterpret_cast<FARPROC>(CountChange));
  Velk::ModuleTable::HideEntry("", "UiTestCountChange", false);
  ChangeCount() = 0;

  engine = std::make_unique<QCEngine>();
  LoadEffectDefinitions();
  engine->LoadLocTable();
  UiXmlDoc ui(UiRoot());
  textures.ReadUiTextures(ui.Root());
  engine->GetCursorManager()->ReadCursors(ui.Root(), &textures);
  engine->GetFontTable()->ReadUiFonts(ui.Root());
  ResetSoundState();
  StartSoundSystem(0);
  WithCfgRoot(pak, kCfg, [](IXMLDOMNode* root) { LoadSoundTable(root); });
  squall.Clear();
  RegisterUiWidgetCreators();

  // The gameplay board fills the rasteriser's table in the game; transformed blits need it.
  Velk::InitSpanFillerTable();
  frame.CreateBlank(800, 600);
  Manager()->mImage = &frame;
}

UiHarness::~UiHarness() {
  Manager()->mImage = nullptr;
  // The cursors hold pictures of the fixture, which goes before the engine.
  engine->GetCursorManager()->Clear();
  ResetSoundState();
  ReleaseEffectDefinitions();
  Velk::ModuleTable::HideEntry("", "UiTestCountChange");
  Velk::Clock::UseReal();
}

std::string UiHarness::ReadFixture(const std::string& name) {
  std::ifstream in(std::string(TEST_DATA_DIR) + "/ui/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

QCDialog* UiHarness::Build(const std::string& elementXml, bool show) {
  return BuildInto(new QCDialog(nullptr, engine.get()), elementXml, show);
}

QCDialog* UiHarness::BuildInto(QCDialog* dialog, const std::string& elementXml, bool show) {
  UiXmlDoc doc(elementXml);
  EXPECT_NE(doc.Root(), nullptr) << elementXml;
  if (doc.Root()) dialog->Build(doc.Root());
  Manager()->AddChild(dialog);
  if (show) dialog->SetVisible(true);
  return dialog;
}

void UiHarness::Update(int count) {
  for (int i = 0; i < count; ++i) Manager()->UpdateFrame();
}

void UiHarness::Draw() {
  frame.ClearPixels();
  for (Velk::Widget* w : Manager()->mWidgets) w->mDirty = true;
  Manager()->DrawScreen(nullptr);
}

uint32_t UiHarness::Pixel(int x, int y) { return frame.GetArgbBits()[y * frame.GetWidth() + x]; }

bool UiHarness::PixelIs(int x, int y, uint32_t argb) {
  const uint32_t pixel = Pixel(x, y);
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((pixel >> shift) & 0xFF), b = static_cast<int>((argb >> shift) & 0xFF);
    if (a - b > 1 || b - a > 1) return false;
  }
  return true;
}

std::string UiHarness::SaveFrame(const std::string& name) {
  std::string path = std::string(TEST_BINARY_DIR) + "/" + name + ".png";
  Velk::ImageDump::WritePNG(&frame, path);
  return path;
}

void UiHarness::MoveTo(int x, int y) { Manager()->DispatchMouseMove(x, y); }

void UiHarness::Press(int x, int y, int clickCode) {
  MoveTo(x, y);
  Manager()->DispatchMouseDown(x, y, clickCode);
}

void UiHarness::Release(int x, int y, int clickCode) { Manager()->DispatchMouseUp(x, y, clickCode); }

void UiHarness::Click(int x, int y, int clickCode) {
  Press(x, y, clickCode);
  Release(x, y, clickCode);
}

void UiHarness::KeyDown(int vk) { Manager()->DispatchKeyDown(vk); }

void UiHarness::KeyUp(int vk) { Manager()->DispatchKeyUp(vk); }

void UiHarness::Char(wchar_t ch) { Manager()->DispatchKeyChar(ch); }

void UiHarness::Type(const std::wstring& text) {
  for (wchar_t ch : text) Char(ch);
}

void UiHarness::Hold(int vk, bool down) { Manager()->mKeyDown[vk] = down; }

std::vector<std::string> UiHarness::TakePlayedSounds() {
  std::vector<std::string> names;
  for (const SquallCall& call : squall.calls) {
    if (call.name != "Sample_PlayEx" || call.args.empty()) continue;
    for (const char* name : {"snd_click", "snd_hover"}) {
      QCSoundEntry* entry = FindSoundEntry(name);
      if (entry && static_cast<int>(entry->sample) == call.args[0]) names.push_back(name);
    }
  }
  squall.Clear();
  return names;
}
