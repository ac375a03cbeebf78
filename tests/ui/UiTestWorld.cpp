#include "UiTestWorld.h"

#include <fstream>
#include <iterator>

#include "UiXmlDoc.h"
#include "app/ImageDump.h"
#include "engine/QCCursorManager.h"
#include "engine/QCEffect.h"
#include "engine/QCFont.h"
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

int CountChange(void*) {
  ++UiTestWorld::ChangeCount();
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

int& UiTestWorld::ChangeCount() {
  static int count = 0;
  return count;
}

UiTestWorld::UiTestWorld(const EngineMaker& makeEngine) {
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

  engine = makeEngine ? makeEngine() : std::make_unique<QCEngine>();
  LoadEffectDefinitions();
  engine->LoadLocTable();
  UiXmlDoc ui(UiRoot());
  textures.ReadUiTextures(ui.Root());
  engine->GetCursorManager()->ReadCursors(ui.Root(), &textures);
  engine->GetFontTable()->ReadUiFonts(ui.Root());
  RegisterUiWidgetCreators();

  // The gameplay board fills the rasteriser's table in the game; transformed blits need it.
  Velk::InitSpanFillerTable();
  frame.CreateBlank(800, 600);
  Manager()->mImage = &frame;
}

UiTestWorld::~UiTestWorld() {
  Manager()->mImage = nullptr;
  // The widgets and cursors hold pictures of the fixture, which goes before the engine.
  Manager()->RemoveAllChildren(true, false);
  engine->GetCursorManager()->Clear();
  ReleaseEffectDefinitions();
  Velk::ModuleTable::HideEntry("", "UiTestCountChange");
  Velk::Clock::UseReal();
}

std::string UiTestWorld::ReadFixture(const std::string& name) {
  std::ifstream in(std::string(TEST_DATA_DIR) + "/ui/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

QCDialog* UiTestWorld::Build(const std::string& elementXml, bool show) {
  return BuildInto(new QCDialog(nullptr, engine.get()), elementXml, show);
}

QCDialog* UiTestWorld::BuildInto(QCDialog* dialog, const std::string& elementXml, bool show) {
  UiXmlDoc doc(elementXml);
  if (doc.Root()) dialog->Build(doc.Root());
  Manager()->AddChild(dialog);
  if (show) dialog->SetVisible(true);
  return dialog;
}

void UiTestWorld::Update(int count) {
  for (int i = 0; i < count; ++i) Manager()->UpdateFrame();
}

void UiTestWorld::Draw() {
  frame.ClearPixels();
  for (Velk::Widget* w : Manager()->mWidgets) w->mDirty = true;
  Manager()->DrawScreen(nullptr);
}

uint32_t UiTestWorld::Pixel(int x, int y) { return frame.GetArgbBits()[y * frame.GetWidth() + x]; }

bool UiTestWorld::PixelIs(int x, int y, uint32_t argb) {
  const uint32_t pixel = Pixel(x, y);
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((pixel >> shift) & 0xFF), b = static_cast<int>((argb >> shift) & 0xFF);
    if (a - b > 1 || b - a > 1) return false;
  }
  return true;
}

std::string UiTestWorld::SaveFrame(const std::string& name) {
  std::string path = std::string(TEST_BINARY_DIR) + "/" + name + ".png";
  Velk::ImageDump::WritePNG(&frame, path);
  return path;
}

void UiTestWorld::MoveTo(int x, int y) { Manager()->DispatchMouseMove(x, y); }

void UiTestWorld::Press(int x, int y, int clickCode) {
  MoveTo(x, y);
  Manager()->DispatchMouseDown(x, y, clickCode);
}

void UiTestWorld::Release(int x, int y, int clickCode) { Manager()->DispatchMouseUp(x, y, clickCode); }

void UiTestWorld::Click(int x, int y, int clickCode) {
  Press(x, y, clickCode);
  Release(x, y, clickCode);
}

void UiTestWorld::KeyDown(int vk) { Manager()->DispatchKeyDown(vk); }

void UiTestWorld::KeyUp(int vk) { Manager()->DispatchKeyUp(vk); }

void UiTestWorld::Char(wchar_t ch) { Manager()->DispatchKeyChar(ch); }

void UiTestWorld::Type(const std::wstring& text) {
  for (wchar_t ch : text) Char(ch);
}

void UiTestWorld::Hold(int vk, bool down) { Manager()->mKeyDown[vk] = down; }
