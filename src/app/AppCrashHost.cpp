#include "app/AppCrashHost.h"

#include "app/VelkAppBase.h"
#include "platform/crash/FatalSignals.h"

#include <chrono>
#include <thread>

namespace Velk {

namespace {

// The main thread parks at its next loop step; this leaves the rest of the crash thread's time
// for the report.
constexpr int kMainThreadStopWaitMs = kCrashThreadWaitMs / 3;
constexpr int kMainThreadPollMs = 5;

}  // namespace

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
  if (!MainThreadStopped()) return false;
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

// Waited for in real time: a test's manual clock must not cut the wait short.
bool AppCrashHost::MainThreadStopped() {
  if (CaughtFault().threadId == mApp.mMainThreadId) return true;
  for (int waited = 0; !mApp.mParkedAfterFault && waited < kMainThreadStopWaitMs; waited += kMainThreadPollMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kMainThreadPollMs));
  }
  return mApp.mParkedAfterFault;
}

}  // namespace Velk
