#pragma once
// One level-file input (readable text; stored as the game stores it, UTF-16LE behind a byte-order
// mark) read as the gameplay board reads it, with the fixture cafe's cfg.xml loaded: the time line in
// both modes with a thousand draws, then the board's own part of the level (skins, goals, overrides,
// achievements) and the reset that undoes the overrides.
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "cafe/QCBoard_Game3.h"
#include "engine/XmlAccess.h"
#include "scene/LevelLog.h"
#include "scene/QCLevelEvents.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace level_fuzz {

inline std::string ReadFixture(const char* name) {
  std::ifstream in(std::string(TEST_DATA_DIR) + "/cafe/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct World {
  MemoryPak pak;
  QCBoard_Game3* board = nullptr;
  World() {
    SetLevelLogListener([](const std::string&) {});
    pak.Put("cfg\\cfg.xml", Utf16File(ReadFixture("cfg_cafe.xml")));
    board = new QCBoard_Game3(nullptr, nullptr);
    board->LoadObjectConfigs();
  }
};

inline void RunEvents(IXMLDOMNode* level, int kind) {
  QCLevelEvents events;
  events.mKind = kind;
  events.LoadLevelEvents(level);
  for (int i = 0; i < 1000; ++i) {
    events.Tick(0.5f);
    if (events.NextDueEvent()) events.TakeEvent();
    if (i % 50 == 0) events.NextStage();
  }
  events.GetProgress();
  events.Reset();
  events.Clear();
}

inline void Run(World& world, const std::string& text) {
  world.pak.Put("cfg\\fuzz.xml", Utf16File(text));
  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\fuzz.xml");
  if (!doc) return;
  IXMLDOMNode* level = SelectLevelNode(doc);
  RunEvents(level, QCLevelEvents::kCareer);
  RunEvents(level, QCLevelEvents::kSurvival);
  for (bool survival : {false, true}) {
    world.board->mSurvival = survival;
    world.board->ReadLevel(nullptr, level);
    world.board->ResetItems();
  }
  if (level) level->Release();
  doc->Release();
}

}  // namespace level_fuzz
