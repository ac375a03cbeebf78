#pragma once
#include "platform/modules/Modules.h"

namespace Velk {

// The stand-in's entries under the decorated names the program asks the module table for.
ModuleExports FModExports();

}  // namespace Velk
