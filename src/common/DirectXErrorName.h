#pragma once
// Symbolic names of DirectDraw, Direct3D and DirectSound result codes, for error texts and the
// renderer's runtime-error record.

#include <cstdint>
#include <string>

namespace Velk {

// The name of a known code; any other code (success included) as lower-case hex digits, no prefix.
std::string DirectXErrorName(uint32_t code);

}  // namespace Velk
