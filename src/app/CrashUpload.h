#pragma once
// The crash report as a multipart form posted to the error collector.
#include "common/Buffer.h"

#include <map>
#include <string>

namespace Velk {

struct CrashUploadFields {
  std::map<std::string, std::string> extra;  // filled by the application, sent first in key order
  std::string product;
  std::string version;
  std::string userText;
  std::string errorTitle;
  std::string errorText;
  bool hasDemo = false;
  Buffer demo;
};

class CrashUpload {
 public:
  static constexpr const char* kBoundary = "---------------------------7d3e1f30eec";
  static std::string BuildBody(const CrashUploadFields& fields);
  static std::string BuildRequest(const std::string& host, const std::string& body);
};

}  // namespace Velk
