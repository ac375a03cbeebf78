#include "fonts/DataElement.h"

namespace Velk {

DataElement::~DataElement() = default;

}  // namespace Velk
