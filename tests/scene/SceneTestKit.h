#pragma once
// Scene tests: documents from readable XML, animation files and a board whose rules record what is
// asked of them, over an in-memory archive.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/EngineUtil.h"
#include "engine/QCDeadline.h"
#include "engine/XmlAccess.h"
#include "graphics/MemoryImage.h"
#include "scene/AnmBytes.h"
#include "scene/QCBoard_Game.h"
#include "scene/QCItem.h"
#include "scene/QCLevelEvents.h"
#include "scene/QCMoveItem.h"
#include "scene/QCPickItem.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace SceneTesting {

// The stretched blits of the parts, with where, what, colour and mode.
struct BlitCall {
  Velk::Rect dest;
  Velk::Rect src;
  Velk::Color colour;
  int mode;
  bool mirrored;
};

class BlitLog : public Velk::MemoryImage {
 public:
  BlitLog() { CreateBlank(800, 600); }
  void BlitStretched(Velk::Image*, const Velk::Rect& dest, const Velk::Rect& src, const Velk::Rect&,
                     const Velk::Color& c, int mode, bool) override {
    blits.push_back({dest, src, c, mode, false});
  }
  void BlitStretchedMirrored(Velk::Image*, const Velk::Rect& dest, const Velk::Rect& src, const Velk::Rect&,
                             const Velk::Color& c, int mode, bool) override {
    blits.push_back({dest, src, c, mode, true});
  }
  std::vector<BlitCall> blits;
};

// A document made from text, and its element; both released at the end.
class XmlDoc {
 public:
  XmlDoc(MemoryPak& pak, const std::string& xml, const wchar_t* element) {
    pak.Put("scratch\\doc.xml", Utf16File(xml));
    mDoc = CreateAndLoadXmlDocument("scratch\\doc.xml");
    if (mDoc) mDoc->selectSingleNode(element, &mNode);
  }
  ~XmlDoc() {
    if (mNode) mNode->Release();
    if (mDoc) mDoc->Release();
  }
  XmlDoc(const XmlDoc&) = delete;
  XmlDoc& operator=(const XmlDoc&) = delete;
  IXMLDOMNode* Node() const { return mNode; }

 private:
  IXMLDOMDocument* mDoc = nullptr;
  IXMLDOMNode* mNode = nullptr;
};

// Every debug-log line while it lives.
class LogCapture {
 public:
  LogCapture() {
    SetDebugLogSink([this](const std::string& line) { lines.push_back(line); });
  }
  ~LogCapture() { SetDebugLogSink(nullptr); }
  bool Has(const std::string& text) const {
    for (const std::string& line : lines)
      if (line.find(text) != std::string::npos) return true;
    return false;
  }
  std::vector<std::string> lines;
};

// An animation file whose entries are `names`, each a loop of `frames` frames of 8 x 8 at 10 fps.
inline void PutAnm(MemoryPak& pak, const std::string& part, const std::vector<std::string>& names, int frames = 2,
                   int loopMode = 0) {
  AnmTesting::AnmBytes bytes;
  for (const std::string& name : names) bytes.Add(name, frames, 10, loopMode);
  pak.Put("anm\\" + part + ".anm", bytes.Build());
}

// A scripted events block: a queue of records due at their times, and a money target.
class ScriptedEvents : public QCLevelEvents {
 public:
  std::vector<QCEventRecord> queue;
  size_t cursor = 0;
  float clock = 0.0f;
  int target = 0;
  int nextStages = 0;
  void Tick(float dt) override { clock += dt; }
  QCEventRecord* NextDueEvent() override {
    return cursor < queue.size() && queue[cursor].time <= clock ? &queue[cursor] : nullptr;
  }
  void TakeEvent() override { ++cursor; }
  bool IsFinished() const override { return cursor >= queue.size(); }
  float GetProgress() const override { return queue.empty() ? 0.0f : float(cursor) / float(queue.size()); }
  int GetStageTarget() const override { return target; }
  void NextStage() override { ++nextStages; }
  void Reset() override {
    cursor = 0;
    clock = 0.0f;
  }
};

// The rules of a board as a record of calls.
class TestBoard : public QCBoard_Game {
 public:
  TestBoard() {
    auto events = std::make_unique<ScriptedEvents>();
    scripted = events.get();
    SetEventsBlock(std::move(events));
  }
  ~TestBoard() override {
    JoinLevelLoading();
    ClearScene();
  }

  void StartLevel() override { calls.push_back("StartLevel"); }
  void EndLevel() override { calls.push_back("EndLevel"); }
  void ResetLevel() override { calls.push_back("ResetLevel"); }
  void ReadLevel(IXMLDOMNode*, IXMLDOMNode* level) override {
    calls.push_back(level ? "ReadLevel" : "ReadLevel(none)");
  }
  void ResetItems() override { calls.push_back("ResetItems"); }
  void OnObjectClicked(QCPickItem* item) override {
    clicked.push_back(item);
    if (walkToClicks && SceneBossObject) static_cast<QCMoveItem*>(SceneBossObject)->QueueTarget(item);
  }
  void PerFrame() override {}
  void LoadConfigs(IXMLDOMNode*) override { calls.push_back("LoadConfigs"); }
  void ClearConfigs() override { calls.push_back("ClearConfigs"); }
  void OnMoneyChanged() override { calls.push_back("OnMoneyChanged"); }
  void OnStageAdvanced() override { calls.push_back("OnStageAdvanced"); }
  bool DispatchEvent(QCEventRecord* event) override {
    dispatched.push_back(event->event);
    return acceptEvents;
  }
  void OnPause() override { calls.push_back("OnPause"); }
  void OnResume() override { calls.push_back("OnResume"); }
  bool IsLevelOver() override {
    ++overAsked;
    return levelOver;
  }

  int Count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }
  // Loads on the calling thread and hands over as the engine would.
  void LoadNow(int level, int mode) {
    mLoading = true;
    LoadLevel(level, mode);
    OnLevelLoaded();
  }

  ScriptedEvents* scripted;
  std::vector<std::string> calls;
  std::vector<QCPickItem*> clicked;
  std::vector<std::string> dispatched;
  bool acceptEvents = true;
  bool walkToClicks = false;
  bool levelOver = false;
  int overAsked = 0;
};

}  // namespace SceneTesting
