#include "app/CrashUpload.h"

namespace Velk {

namespace {

void AddPart(std::string& body, const std::string& disposition, const std::string& value) {
  body += std::string("--") + CrashUpload::kBoundary + "\r\nContent-Disposition: form-data; " + disposition +
          "\r\n\r\n" + value + "\r\n";
}

std::string Named(const std::string& name) { return "name=\"" + name + "\""; }

}  // namespace

std::string CrashUpload::BuildBody(const CrashUploadFields& fields) {
  std::string body;
  for (const auto& [name, value] : fields.extra) AddPart(body, Named(name), value);
  AddPart(body, Named("prod"), fields.product);
  AddPart(body, Named("version"), fields.version);
  AddPart(body, Named("usertext"), fields.userText);
  AddPart(body, Named("errortitle"), fields.errorTitle);
  AddPart(body, Named("errortext"), fields.errorText);
  if (fields.hasDemo) {
    const char* bytes = reinterpret_cast<const char*>(fields.demo.Data());
    std::string demo = bytes ? std::string(bytes, static_cast<size_t>(fields.demo.ByteLength())) : std::string();
    AddPart(body, Named("demofile") + "; filename=\"hexfin.dmo\"\r\nContent-Type: application/octet-stream", demo);
  }
  body += std::string("--") + kBoundary + "--\r\n";
  return body;
}

std::string CrashUpload::BuildRequest(const std::string& host, const std::string& body) {
  return std::string("POST /tramix_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=") + kBoundary +
         "\r\nUser-Agent: Mozilla/4.0 (compatible; hexfin)\r\nHost: " + host +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

}  // namespace Velk
