#include "app/CrashAppInfo.h"

#include <cstdint>
#include <cstring>

namespace Velk {

namespace {

constexpr char kTag[] = "APPINFO1";
constexpr size_t kTagLength = sizeof kTag - 1;

void Put(std::string& out, const std::string& value) {
  const uint32_t length = static_cast<uint32_t>(value.size());
  out.append(reinterpret_cast<const char*>(&length), sizeof length);
  out += value;
}

void Put(std::string& out, bool value) { out += value ? '\1' : '\0'; }

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}
  bool Take(std::string& value) {
    uint32_t length = 0;
    if (text_.size() - at_ < sizeof length) return ok_ = false;
    std::memcpy(&length, text_.data() + at_, sizeof length);
    at_ += sizeof length;
    if (text_.size() - at_ < length) return ok_ = false;
    value.assign(text_, at_, length);
    at_ += length;
    return ok_;
  }
  bool Take(bool& value) {
    if (at_ >= text_.size()) return ok_ = false;
    value = text_[at_++] != '\0';
    return ok_;
  }
  void Skip(size_t count) { at_ += count; }
  bool Whole() const { return ok_ && at_ == text_.size(); }

 private:
  const std::string& text_;
  size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace

std::string CrashAppInfo::Encode() const {
  std::string out(kTag, kTagLength);
  Put(out, hasApplication);
  for (const std::string* text : {&crashInfo, &ddrawVersion, &dsoundVersion, &product, &version}) Put(out, *text);
  Put(out, std::to_string(uploadFields.size()));
  for (const auto& [name, value] : uploadFields) {
    Put(out, name);
    Put(out, value);
  }
  Put(out, demoAvailable);
  Put(out, demoFile);
  Put(out, showWindow);
  Put(out, uploadAllowed);
  Put(out, submitHost);
  return out;
}

std::optional<CrashAppInfo> CrashAppInfo::Decode(const std::string& message) {
  if (message.compare(0, kTagLength, kTag) != 0) return std::nullopt;
  CrashAppInfo info;
  Reader in(message);
  in.Skip(kTagLength);
  in.Take(info.hasApplication);
  for (std::string* text : {&info.crashInfo, &info.ddrawVersion, &info.dsoundVersion, &info.product, &info.version})
    in.Take(*text);
  std::string count;
  if (!in.Take(count) || count.empty() || count.size() > 9 ||
      count.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  for (unsigned long i = std::stoul(count); i > 0; --i) {
    std::string name, value;
    if (!in.Take(name) || !in.Take(value)) return std::nullopt;
    info.uploadFields[name] = value;
  }
  in.Take(info.demoAvailable);
  in.Take(info.demoFile);
  in.Take(info.showWindow);
  in.Take(info.uploadAllowed);
  in.Take(info.submitHost);
  if (!in.Whole()) return std::nullopt;
  return info;
}

}  // namespace Velk
