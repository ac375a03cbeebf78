// UI descriptions the dialog-builder fuzzer keeps, built, shown, updated and drawn.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/WidgetTestKit.h"

namespace {

using DialogFuzzReplayTest = WidgetKit::WidgetTest;

TEST_F(DialogFuzzReplayTest, EveryKeptInputBuildsAndRuns) {
  int replayed = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/engine/uifuzz")) {
    SCOPED_TRACE(item.path().filename().string());
    std::ifstream in(item.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    Ui(text.str());
    IXMLDOMNode* first = nullptr;
    ASSERT_EQ(root->selectSingleNode(L"element", &first), S_OK);
    auto* dialog = new QCDialog(nullptr, nullptr);
    manager.AddChild(dialog);
    dialog->Build(first);
    first->Release();
    Velk::MemoryImage screen;
    screen.CreateBlank(800, 600);
    Velk::Graphics g(&screen);
    dialog->Show();
    for (int i = 0; i < 5; ++i) {
      dialog->Update();
      dialog->Draw(&g);
    }
    dialog->Hide();
    EXPECT_FALSE(dialog->mWidgets.empty());
    ++replayed;
  }
  EXPECT_GE(replayed, 3);
}

}  // namespace
