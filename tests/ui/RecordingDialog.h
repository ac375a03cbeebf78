#pragma once
// A dialog that logs what its buttons and its fields send it.
#include <string>
#include <vector>

#include "engine/QCDialog.h"

class RecordingDialog : public QCDialog {
 public:
  using QCDialog::QCDialog;

  void OnButtonPressed(int id, int clickCount) override {
    log.push_back("pressed " + std::to_string(id) + " " + std::to_string(clickCount));
  }
  void OnButtonHeld(int id) override { log.push_back("held " + std::to_string(id)); }
  void OnButtonReleased(int id) override {
    log.push_back("released " + std::to_string(id));
    QCDialog::OnButtonReleased(id);
  }
  void ButtonDepress(int id) override { log.push_back("depress " + std::to_string(id)); }
  void KeyDown(int key) override { log.push_back("key " + std::to_string(key)); }

  std::vector<std::string> Take() {
    std::vector<std::string> out;
    out.swap(log);
    return out;
  }

  std::vector<std::string> log;
};
