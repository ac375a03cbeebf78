#pragma once
// One element as the XML reader returns it.

#include <map>
#include <string>
#include <vector>

namespace Velk {

struct XMLElement {
  enum Type { TYPE_NONE = 0, TYPE_START = 1, TYPE_END = 2, TYPE_TEXT = 3, TYPE_INSTRUCTION = 4, TYPE_COMMENT = 5 };

  Type mType = TYPE_NONE;
  std::wstring mSection;      // the open elements joined by '/' when this one was read
  std::wstring mValue;        // tag name, text, or an instruction's first word
  std::wstring mInstruction;  // the rest of an instruction, or a comment's body
  std::map<std::wstring, std::wstring> mAttributes;
  std::vector<std::wstring> mAttributeOrder;  // as read, repeats included
};

}  // namespace Velk
