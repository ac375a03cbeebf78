#pragma once
// What the crash catcher asks of the application. The catcher works without one; the application
// registers itself once it exists.
#include "common/Buffer.h"

#include <map>
#include <string>

namespace Velk {

class CrashHost {
 public:
  virtual ~CrashHost() = default;
  virtual void OnCrash() = 0;
  virtual std::string GetCrashInfo() = 0;
  // The version of a system file, for the report's library lines.
  virtual std::string GetProductVersion(const std::string& path) = 0;
  virtual std::string GetProductName() = 0;
  virtual std::string GetProductVersionText() = 0;
  // Once the main thread, whose the demo is, has stopped: when a demo is being recorded, closes it
  // with a filler event, saves it and gives its path, and either way recording and playback end. A
  // main thread that runs on keeps its demo, unsaved. Returns whether a demo was saved.
  virtual bool SaveDemoForCrash(std::string& path) = 0;
  virtual std::string GetExtraInfoText() = 0;
  virtual void FillUploadFields(std::map<std::string, std::string>& fields) = 0;
  // Reads a file for the upload without touching the demo.
  virtual bool ReadUploadFile(const std::string& path, Buffer& data) = 0;
};

}  // namespace Velk
