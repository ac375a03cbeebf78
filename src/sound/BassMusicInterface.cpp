#include "sound/BassMusicInterface.h"

namespace Velk {

BassMusicInterface::BassMusicInterface(HWND /*window*/) {}

bool BassMusicInterface::LoadMusic(int, const std::string&) { return true; }

}  // namespace Velk
