#pragma once
// The playback list of markers still ahead; a chosen marker becomes the fast-forward target.
#include "app/DemoJumps.h"
#include "app/DemoDialog.h"

#include <vector>

namespace Velk {

class MarkerListDialog : public DemoDialog {
 public:
  static constexpr int kId = 0x7F00;
  static constexpr int kListTop = 56;
  static constexpr int kRowHeight = 18;
  static constexpr int kVisibleRows = 16;

  std::vector<DemoJumps::Entry> mEntries;
  int mSelected;    // -1: nothing chosen
  int mTopRow = 0;  // the first row shown; a long list scrolls with the selection

  MarkerListDialog(Image* buttonImage, std::vector<DemoJumps::Entry> entries);

  // The chosen marker's update number; 0 when none is chosen.
  DWORD Target() const;

  using Dialog::MouseDown;
  void KeyDown(int key) override;
  void MouseDown(int x, int y, int button, int clickCount) override;
  void Draw(Graphics* g) override;

 private:
  int ShownRows() const;
};

}  // namespace Velk
