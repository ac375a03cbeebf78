#include "resources/ResourceManagerException.h"

namespace Velk {

const char* ResourceManagerException::what() const noexcept { return mWhat.c_str(); }

}  // namespace Velk
