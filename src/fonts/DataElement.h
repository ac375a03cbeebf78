#pragma once

namespace Velk {

// A value of the descriptor language: one word or a list of values.
class DataElement {
 public:
  bool mIsList = false;

  DataElement() = default;
  explicit DataElement(bool isList) : mIsList(isList) {}
  virtual ~DataElement();

  // A deep copy of the same kind, owned by the caller.
  virtual DataElement* Duplicate() const = 0;

 protected:
  DataElement(const DataElement&) = default;
  DataElement& operator=(const DataElement&) = default;
};

}  // namespace Velk
