// Message boxes that work over the full-screen display, the error log, the framework's own
// dialogs by id, and the string properties that hold every text the framework shows.

#include "app/VelkAppBase.h"

#include "common/StringUtil.h"
#include "graphics/DDInterface.h"
#include "platform/clock/Clock.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/RegularFile.h"
#include "platform/msgbox/MessageBox.h"
#include "widgets/Dialog.h"
#include "widgets/WidgetManager.h"

#include <cstdio>
#include <ctime>

namespace Velk {

namespace {

// The log starts afresh once per process.
bool sErrorLogFirstOpen = true;
constexpr const char* kErrorLog = "ScrError.txt";
// A longer log is started afresh.
constexpr uint64_t kMaxErrorLog = 16 << 20;

}  // namespace

void VelkAppBase::FillStringDefaults() {
  SetString("DIALOG_BUTTON_OK", L"OK");
  SetString("DIALOG_BUTTON_CANCEL", L"CANCEL");
  SetString("UPDATE_CHECK_TITLE", L"Update Check");
  SetString("UPDATE_CHECK_BODY", L"Checking if there are any updates available for this product ...");
  SetString("UP_TO_DATE_TITLE", L"Up to Date");
  SetString("UP_TO_DATE_BODY", L"There are no updates available for this product at this time.");
  SetString("NEW_VERSION_TITLE", L"New Version");
  SetString("NEW_VERSION_BODY",
            L"There is an update available for this product.  Would you like to visit the web site to download it?");
}

std::wstring VelkAppBase::GetString(const std::string& id, const std::wstring& defaultText) {
  auto it = mStringProperties.find(id);
  return it == mStringProperties.end() ? defaultText : it->second;
}

void VelkAppBase::SetString(const std::string& id, const std::wstring& text) { mStringProperties[id] = text; }

void VelkAppBase::BeginPopup() {
  if (mIsPhysWindowed || !mDDInterface || !mDDInterface->mDD) return;
  mDDInterface->mDD->FlipToGDISurface();
  mFlippedToGdi = true;
}

void VelkAppBase::EndPopup() {
  if (!mIsPhysWindowed) mFlippedToGdi = false;
  ResetTiming(false);
  ClearKeyTable();
  if (mWidgetManager->mDownButtons != 0) {
    mWidgetManager->ReleaseHeldButtons();
    ReleaseCapture();
  }
}

int VelkAppBase::MsgBoxW(const std::wstring& text, const std::wstring& caption, UINT flags) {
  if (mIsScreenSaver) {
    LogError(Narrow(text));
    return IDOK;
  }
  BeginPopup();
  int result = MessageBoxW(mHWnd, text.c_str(), caption.c_str(), flags);
  EndPopup();
  return result;
}

int VelkAppBase::MsgBoxA(const std::string& text, const std::string& caption, UINT flags) {
  if (mIsScreenSaver) {
    LogError(text);
    return IDOK;
  }
  BeginPopup();
  int result = MessageBoxA(mHWnd, text.c_str(), caption.c_str(), flags);
  EndPopup();
  return result;
}

void VelkAppBase::ShowFatalErrorW(const std::wstring& text) {
  if (mIsScreenSaver) {
    LogError(Narrow(text));
    return;
  }
  BeginPopup();
  if (!mShutdown) MessageBoxW(mHWnd, text.c_str(), GetString("FATAL_ERROR", L"FATAL ERROR").c_str(), MB_ICONERROR);
  EndPopup();
}

void VelkAppBase::ShowFatalErrorA(const std::string& text) {
  if (mIsScreenSaver) {
    LogError(text);
    return;
  }
  BeginPopup();
  if (!mShutdown) {
    MessageBoxA(mHWnd, text.c_str(), Narrow(GetString("FATAL_ERROR", L"FATAL ERROR")).c_str(), MB_ICONERROR);
  }
  EndPopup();
}

// The log is rewritten whole with the line added, like every file the program writes: a reader
// never sees half a line, and a process killed meanwhile leaves the log as it was.
void VelkAppBase::LogError(const std::string& text) {
  std::string log;
  if (!sErrorLogFirstOpen) {
    ReadRegularFile(kErrorLog, kMaxErrorLog, log);
  }
  sErrorLogFirstOpen = false;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, " %02d:%02d:%02d %u\n", local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<unsigned>(GetTickCount()));
  WriteFileAtomically(kErrorLog, log + text + stamp);
}

Dialog* VelkAppBase::NewDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                               const std::wstring& footer, int buttonMode) {
  return new Dialog(nullptr, nullptr, id, modal, header, lines, footer, buttonMode);
}

Dialog* VelkAppBase::ShowDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                                const std::wstring& footer, int buttonMode) {
  RemoveDialog(id);
  Dialog* dialog = NewDialog(id, modal, header, lines, footer, buttonMode);
  AddDialog(id, dialog);
  return dialog;
}

Dialog* VelkAppBase::GetDialog(int id) {
  auto it = mDialogMap.find(id);
  return it == mDialogMap.end() ? nullptr : it->second;
}

void VelkAppBase::AddDialog(Dialog* dialog) { AddDialog(dialog->mId, dialog); }

void VelkAppBase::AddDialog(int id, Dialog* dialog) {
  RemoveDialog(id);
  if (dialog->mWidth == 0) {
    int width = mWidth / 2;
    int height = dialog->GetPreferredHeight(width);
    dialog->SetBounds((mWidth - width) / 2, mHeight / 5, width, height);
  }
  mDialogMap[id] = dialog;
  mDialogList.push_back(dialog);
  mWidgetManager->AddChild(dialog);
  if (dialog->IsModal()) {
    mWidgetManager->PushModal(dialog);
    OnModalDialogAdded();
  }
}

bool VelkAppBase::RemoveDialog(Dialog* dialog) { return RemoveDialog(dialog->mId); }

bool VelkAppBase::RemoveDialog(int id) { return RemoveDialog(id, true, true); }

bool VelkAppBase::RemoveDialog(int id, bool removeWidget, bool deleteIt) {
  auto it = mDialogMap.find(id);
  if (it == mDialogMap.end()) return false;
  Dialog* dialog = it->second;
  if (dialog->mResult == -1) dialog->mResult = 0;
  mDialogList.remove(dialog);
  mDialogMap.erase(it);
  if (removeWidget || deleteIt) mWidgetManager->RemoveChild(dialog);
  if (dialog->IsModal()) {
    OnModalDialogRemoved();
    mWidgetManager->PopModal(dialog);
  }
  if (deleteIt) SafeDelete(dialog);
  return true;
}

int VelkAppBase::GetDialogCount() { return static_cast<int>(mDialogMap.size()); }

}  // namespace Velk
