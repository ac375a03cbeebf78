#pragma once
// The widget tests' fixture: the headless game of UiTestWorld with a recording sound library, so
// tests can see which UI sounds played. The screens' tests build on it.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "UiTestWorld.h"
#include "engine/SquallRecorder.h"

class UiHarness : public ::testing::Test, public UiTestWorld {
 protected:
  explicit UiHarness(const EngineMaker& makeEngine = nullptr);
  ~UiHarness() override;

  // The names of the sounds played since the last call.
  std::vector<std::string> TakePlayedSounds();

  SquallRecorder squall;
};
