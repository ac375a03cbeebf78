#pragma once
// SHA-256 of a byte string, as a lower-case hex text (what sha256sum prints).

#include <cstdint>
#include <string>
#include <vector>

namespace Content {

class Sha256 {
 public:
  static std::string Hex(const std::vector<uint8_t>& bytes);
};

}  // namespace Content
