#include "fonts/SingleDataElement.h"

namespace Velk {

DataElement* SingleDataElement::Duplicate() const { return new SingleDataElement(*this); }

}  // namespace Velk
