#pragma once
// The application as the crash catcher sees it.
#include "app/CrashHost.h"

namespace Velk {

class VelkAppBase;

class AppCrashHost : public CrashHost {
 public:
  explicit AppCrashHost(VelkAppBase& app) : mApp(app) {}
  void OnCrash() override;
  std::string GetCrashInfo() override;
  std::string GetProductVersion(const std::string& path) override;
  std::string GetProductName() override;
  std::string GetProductVersionText() override;
  bool SaveDemoForCrash(std::string& path) override;
  std::string GetExtraInfoText() override;
  void FillUploadFields(std::map<std::string, std::string>& fields) override;
  bool ReadUploadFile(const std::string& path, Buffer& data) override;

 private:
  // The demo is the main thread's: true once that thread has stopped, at the fault itself or parked
  // in its loop, within a bound.
  bool MainThreadStopped();

  VelkAppBase& mApp;
};

}  // namespace Velk
