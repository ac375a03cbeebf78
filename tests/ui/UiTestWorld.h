#pragma once
// A headless game for widget tests and fuzzing: an engine on the headless back end and the manual
// clock, UI textures served as solid-colour pictures, effects, texts and fonts from small fixture
// documents, the nine widget creators registered, and dialogs built by the real builder from element
// text, attached to the real widget manager and driven through its dispatch entry points.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BlockFont.h"
#include "engine/QCDialog.h"
#include "engine/QCEngine.h"
#include "engine/QCTexture.h"
#include "graphics/MemoryImage.h"
#include "platform/headless/HeadlessBackend.h"
#include "support/MemoryPak.h"
#include "widgets/WidgetManager.h"

// Every texture id of the fixture names a solid picture: id -> {width, height, ARGB}.
struct FixturePicture {
  int width;
  int height;
  uint32_t argb;
};

class FixtureTextures : public QCTextureManager {
 public:
  FixtureTextures() : QCTextureManager(nullptr) {}
  Velk::Image* LoadImageFile(const std::string& fileName) override;

  std::map<std::string, FixturePicture> pictures;  // by file name
  std::map<std::string, int> loads;
};

class UiTestWorld {
 public:
  // "onchange" messages the "count_change" effect received.
  static int& ChangeCount();

  // Makes the game's application (a plain engine by default) once the pictures are in place.
  using EngineMaker = std::function<std::unique_ptr<QCEngine>()>;

  explicit UiTestWorld(const EngineMaker& makeEngine = nullptr);
  virtual ~UiTestWorld();

  // The text of a file under tests/data/ui.
  static std::string ReadFixture(const std::string& name);
  // Builds `<element type="qcdialog" ...>` text with the dialog builder, adds the dialog to the widget
  // manager and shows it. The harness owns it through the manager.
  QCDialog* Build(const std::string& elementXml, bool show = true);
  // The same into a dialog the test made (it is given to the widget manager).
  QCDialog* BuildInto(QCDialog* dialog, const std::string& elementXml, bool show = true);
  template <typename Widget>
  static Widget* Child(QCCandyWidget* parent, const std::string& name) {
    return dynamic_cast<Widget*>(parent->FindChild(name));
  }

  // Logic updates through the widget manager.
  void Update(int count = 1);
  // Clears the frame and draws every widget into it.
  void Draw();
  uint32_t Pixel(int x, int y);
  // Whether the pixel is the colour, each channel within 1 (colourised drawing scales by 255 / 256).
  bool PixelIs(int x, int y, uint32_t argb);
  // Writes the frame as a PNG beside the test output; the path.
  std::string SaveFrame(const std::string& name);

  void MoveTo(int x, int y);
  void Press(int x, int y, int clickCode = 1);
  void Release(int x, int y, int clickCode = 1);
  void Click(int x, int y, int clickCode = 1);
  // A key as the input translator delivers it: key-down, then (for a character) the character.
  void KeyDown(int vk);
  void KeyUp(int vk);
  void Char(wchar_t ch);
  void Type(const std::wstring& text);
  void Hold(int vk, bool down);

  Velk::WidgetManager* Manager() { return engine->mWidgetManager; }
  Velk::HeadlessBackend* headless = nullptr;
  MemoryPak pak;
  // Made after the pictures (which must be the process's texture manager) and gone after them.
  std::unique_ptr<QCEngine> engine;
  FixtureTextures textures;
  Velk::MemoryImage frame;
  BlockFont font{10};
};
