#include "fonts/ListDataElement.h"

namespace Velk {

ListDataElement::ListDataElement(const ListDataElement& other) : DataElement(true) { *this = other; }

ListDataElement& ListDataElement::operator=(const ListDataElement& other) {
  if (this == &other) return *this;
  Clear();
  mElementVector.reserve(other.mElementVector.size());
  for (const DataElement* element : other.mElementVector) mElementVector.push_back(element->Duplicate());
  return *this;
}

ListDataElement::~ListDataElement() { Clear(); }

DataElement* ListDataElement::Duplicate() const { return new ListDataElement(*this); }

void ListDataElement::Clear() {
  for (DataElement* element : mElementVector) delete element;
  mElementVector.clear();
}

}  // namespace Velk
