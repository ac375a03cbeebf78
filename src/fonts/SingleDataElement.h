#pragma once
#include <string>

#include "fonts/DataElement.h"

namespace Velk {

// One word as it was read; a quoted word keeps its quotes until it is unquoted.
class SingleDataElement : public DataElement {
 public:
  std::wstring mString;

  SingleDataElement() = default;
  explicit SingleDataElement(const std::wstring& str) : mString(str) {}
  SingleDataElement(const SingleDataElement& other) = default;

  DataElement* Duplicate() const override;
};

}  // namespace Velk
