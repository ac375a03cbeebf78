#pragma once
// Shared by the sound and music tests: a fresh process-wide sound state and cfg documents from text.

#include "engine/QCSoundSystem.h"
#include "engine/QCSoundTable.h"
#include "engine/XmlAccess.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

#include <gtest/gtest.h>

#include <string>

// Back to the state before the first start; the group counter goes on counting, as it does in a run.
inline void ResetSoundState() {
  QCSoundState& state = SoundState();
  state.present = false;
  ClearSoundTable();
  state.startCount = 0;
  state.soundVolume = 100;
  state.musicVolume = 100;
}

// Calls `read` with the root element of a cfg document made from UTF-8 text.
template <typename Read>
void WithCfgRoot(MemoryPak& pak, const std::string& xml, Read read) {
  pak.Put("cfg\\cfg.xml", Utf16File(xml));
  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\cfg.xml");
  ASSERT_NE(doc, nullptr);
  IXMLDOMNode* root = nullptr;
  doc->selectSingleNode(L"root", &root);
  read(root);
  if (root) root->Release();
  doc->Release();
}
