#pragma once
// The playback time entry: "s", "m:s" or "h:m:s" before the end of the demo. The last text entered
// is kept in the registry for the next time.
#include "app/RegistryStore.h"
#include "app/DemoDialog.h"

#include <string>

namespace Velk {

class JumpToTimeDialog : public DemoDialog {
 public:
  static constexpr int kId = 0x7F01;
  static constexpr size_t kMaxText = 500;

  JumpToTimeDialog(Image* buttonImage, RegistryStore store);

  const std::string& Text() const { return mText; }
  // Stores the text for the next time; called when the entry is accepted.
  void SaveText() const;

  void KeyChar(wchar_t c) override;

 private:
  void SetText(std::string text);

  RegistryStore mStore;
  std::string mText;
};

}  // namespace Velk
