#include "app/MarkerListDialog.h"

#include "common/StringUtil.h"
#include "graphics/Graphics.h"
#include "platform/window/WinUser.h"

namespace Velk {

namespace {
constexpr int kTextColor = 1;
const Color kSelectionColor(60, 60, 140);
}  // namespace

MarkerListDialog::MarkerListDialog(Image* buttonImage, std::vector<DemoJumps::Entry> entries)
    : DemoDialog(buttonImage, kId, L"Marker List"),
      mEntries(std::move(entries)),
      mSelected(mEntries.empty() ? -1 : 0) {}

DWORD MarkerListDialog::Target() const { return mSelected < 0 ? 0 : mEntries[mSelected].update; }

void MarkerListDialog::KeyDown(int key) {
  DemoDialog::KeyDown(key);
  if (mEntries.empty()) return;
  const int last = static_cast<int>(mEntries.size()) - 1;
  if (key == static_cast<int>(VK_UP) && mSelected > 0) --mSelected;
  if (key == static_cast<int>(VK_DOWN) && mSelected < last) ++mSelected;
  if (mSelected < mTopRow) mTopRow = mSelected;
  if (mSelected >= mTopRow + kVisibleRows) mTopRow = mSelected - kVisibleRows + 1;
  Invalidate();
}

void MarkerListDialog::MouseDown(int x, int y, int button, int clickCount) {
  const int shown = y < kListTop ? -1 : (y - kListTop) / kRowHeight;
  const int row = mTopRow + shown;
  if (shown < 0 || shown >= ShownRows()) {
    Dialog::MouseDown(x, y, button, clickCount);
    return;
  }
  mSelected = row;
  Invalidate();
  if (clickCount == 2) OnButtonReleased(YesButtonId);
}

int MarkerListDialog::ShownRows() const {
  const int rest = static_cast<int>(mEntries.size()) - mTopRow;
  return rest < kVisibleRows ? rest : kVisibleRows;
}

void MarkerListDialog::Draw(Graphics* g) {
  Dialog::Draw(g);
  g->SetFont(mLinesFont.get());
  for (int i = mTopRow; i < mTopRow + ShownRows(); ++i) {
    const int y = kListTop + (i - mTopRow) * kRowHeight;
    if (i == mSelected) {
      g->SetColor(kSelectionColor);
      g->FillRect(mContentInsets.mLeft, y, mWidth - mContentInsets.mLeft - mContentInsets.mRight, kRowHeight);
    }
    g->SetColor(GetColor(kTextColor));
    g->DrawString(Widen(mEntries[i].text), mContentInsets.mLeft + 4, y + kRowHeight - 4);
  }
}

}  // namespace Velk
