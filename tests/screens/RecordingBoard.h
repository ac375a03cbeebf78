#pragma once
#include <string>
#include <vector>

#include "scene/QCBoard_Game.h"

// A board without a scene; pauses, resumes, resets and loads are recorded in order.
class RecordingBoard : public QCBoard_Game {
 public:
  ~RecordingBoard() override { JoinLevelLoading(); }
  void LoadLevel(int, int) override {}
  void StartLevel() override {}
  void EndLevel() override {}
  void ResetLevel() override { events.push_back("reset"); }
  void ReadLevel(IXMLDOMNode*, IXMLDOMNode*) override {}
  void ResetItems() override {}
  void OnObjectClicked(QCPickItem*) override {}
  void PerFrame() override {}
  void LoadConfigs(IXMLDOMNode*) override {}
  void ClearConfigs() override {}
  void OnMoneyChanged() override {}
  void OnStageAdvanced() override {}
  bool DispatchEvent(QCEventRecord*) override { return true; }
  void OnPause() override { events.push_back("pause"); }
  void OnResume() override { events.push_back("resume"); }
  void OnHideHook() override {
    events.push_back("hide");
    QCBoard_Game::OnHideHook();
  }

  std::vector<std::string> events;
};
