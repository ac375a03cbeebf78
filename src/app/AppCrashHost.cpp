#include "app/AppCrashHost.h"

#include "app/VelkAppBase.h"

namespace Velk {

void AppCrashHost::OnCrash() { mApp.OnCrash(); }
std::string AppCrashHost::GetCrashInfo() { return mApp.GetCrashInfo(); }
std::string AppCrashHost::GetProductVersion(const std::string& path) { return mApp.GetProductVersion(path); }
std::string AppCrashHost::GetProductName() { return mApp.mProdName; }
std::string AppCrashHost::GetProductVersionText() { return mApp.mProductVersion; }
std::string AppCrashHost::GetExtraInfoText() { return mApp.GetExtraInfoText(); }
void AppCrashHost::FillUploadFields(std::map<std::string, std::string>& fields) { mApp.FillUploadFields(fields); }

bool AppCrashHost::ReadUploadFile(const std::string& path, Buffer& data) {
  return mApp.ReadFileWithDemo(path, data, true);
}

bool AppCrashHost::SaveDemoForCrash(std::string& path) {
  bool recording = mApp.mDemo.mRecording;
  if (recording) {
    mApp.mDemo.RecordEvent(kDemoFiller);
    mApp.SaveDemoFile();
    path = mApp.mDemoFilePath;
  }
  mApp.mDemo.mRecording = false;
  mApp.mDemo.mPlaying = false;
  return recording;
}

}  // namespace Velk
