#pragma once
// The music interface the application runs with: it accepts songs and plays none, since the game
// plays its music through its own music table.

#include "platform/base/WinTypes.h"
#include "sound/MusicInterface.h"

namespace Velk {

class BassMusicInterface : public MusicInterface {
 public:
  explicit BassMusicInterface(HWND window);
  bool LoadMusic(int songId, const std::string& fileName) override;
};

}  // namespace Velk
