// The two playback jump dialogs: a list of the markers ahead and a time before the end.

#include "app/JumpToTimeDialog.h"
#include "app/MarkerListDialog.h"
#include "app/VelkAppBase.h"
#include "platform/clock/Clock.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Velk {

namespace {
constexpr int kDialogWidth = 400;
constexpr int kButtonArea = 72;
constexpr int kTimeDialogHeight = 150;
}  // namespace

int VelkAppBase::OpenDemoDialog(Dialog* dialog) {
  AddDialog(dialog);
  mWidgetManager->SetFocus(dialog);
  mDemoDialogOpen = true;
  const int result = RunDemoDialog(dialog);
  mDemoDialogOpen = false;
  return result;
}

int VelkAppBase::RunDemoDialog(Dialog* dialog) {
  // The recording stands still meanwhile: only window input and drawing run, no updates.
  while (dialog->mResult == Dialog::NoResult && !mShutdown) {
    PumpMessages();
    ProcessDeferredInput(false);
    if (dialog->mResult != Dialog::NoResult) break;
    DrawFrame();
    Sleep(mFrameTime);
  }
  return dialog->mResult;
}

void VelkAppBase::ShowMarkerListDialog() {
  auto* dialog = new MarkerListDialog(
      nullptr, DemoJumps::MarkersAhead(mDemoInfo.mMarkers, mUpdateCount, mDemoInfo.mDemoLength, mFrameTime));
  const int rows = std::min(static_cast<int>(dialog->mEntries.size()), MarkerListDialog::kVisibleRows);
  dialog->SetBounds(10, 10, kDialogWidth,
                    MarkerListDialog::kListTop + rows * MarkerListDialog::kRowHeight + kButtonArea);
  if (OpenDemoDialog(dialog) == Dialog::YesButtonId)
    mDemoControls.SetJumpTarget(dialog->Target(), mUpdateCount, mDemoInfo.mDemoLength);
  RemoveDialog(dialog);
  ResetTiming(false);
}

void VelkAppBase::ShowJumpToTimeDialog() {
  auto* dialog = new JumpToTimeDialog(nullptr, RegistryStore(mRegKey));
  dialog->SetBounds(10, 10, kDialogWidth, kTimeDialogHeight);
  if (OpenDemoDialog(dialog) == Dialog::YesButtonId) {
    dialog->SaveText();
    DWORD target = DemoJumps::TargetForTimeText(dialog->Text(), mDemoInfo.mDemoLength, mFrameTime);
    mDemoControls.SetJumpTarget(target, mUpdateCount, mDemoInfo.mDemoLength);
  }
  RemoveDialog(dialog);
  ResetTiming(false);
}

}  // namespace Velk
