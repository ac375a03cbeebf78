// Serves arbitrary bytes as an animation file and plays whatever loads: every entry by name, the
// numbered-variant lookups of its name stem, keep-time replays, stop frames and a few updates each.
#include <cstdint>
#include <string>

#include "engine/QCDeadline.h"
#include "scene/AnmFile.h"
#include "scene/AnmPlayer.h"
#include "support/MemoryPak.h"

namespace {

void Steps(AnmPlayer& player, int count) {
  for (int i = 0; i < count; ++i) {
    bool finished = false;
    player.Update(finished);
    player.GetCurrentFrame();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryPak* pak = new MemoryPak();  // published as the process's archive layer
  SetGameDt(0.05f);
  pak->Put("anm\\fuzz.anm", std::string(reinterpret_cast<const char*>(data), size));
  AnmPlayer player(nullptr);
  if (!player.Load("fuzz")) return 0;
  AnmFile file;
  file.Parse(data, size);
  for (const AnmEntry& entry : file.Entries()) {
    player.PlayByName(entry.name, false);
    Steps(player, 3);
    player.StopAtFrame(1);
    Steps(player, 3);
    player.Resume();
    if (entry.name.size() > 2) player.PlayByName(entry.name.substr(0, entry.name.size() - 2), true);
    Steps(player, 2);
    player.GetDuration();
    player.Pause();
    player.Stop();
  }
  player.Load("fuzz");
  Steps(player, 2);
  return 0;
}
