#pragma once
// UTF-8 text to the UTF-16LE bytes the game reads. Characters above U+FFFF become surrogate pairs
// (the game counts 16-bit units); a malformed sequence becomes U+FFFD.

#include <string>
#include <string_view>

namespace Content {

class Utf16Writer {
 public:
  // With a byte-order mark for XML documents, without for font descriptors.
  static std::string Convert(std::string_view utf8, bool byteOrderMark);
  // The code points of the text, one per element.
  static std::u32string Decode(std::string_view utf8);
};

}  // namespace Content
