#pragma once
#include <vector>

#include "fonts/DataElement.h"

namespace Velk {

// A parenthesised list; it owns its elements, and copies are deep.
class ListDataElement : public DataElement {
 public:
  std::vector<DataElement*> mElementVector;

  ListDataElement() : DataElement(true) {}
  ListDataElement(const ListDataElement& other);
  ListDataElement& operator=(const ListDataElement& other);
  ~ListDataElement() override;

  DataElement* Duplicate() const override;

 private:
  void Clear();
};

}  // namespace Velk
