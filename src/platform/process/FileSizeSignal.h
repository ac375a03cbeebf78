#pragma once
// A write past the file-size limit the program was started under raises SIGXFSZ, whose plain action
// ends the process. Ignored, the write fails instead (EFBIG), and the caller's failure path keeps
// the old file, removes its temporary one and tells the player.

namespace Velk {

class FileSizeSignal {
 public:
  // For the whole process, once at its start.
  static void Ignore();
};

}  // namespace Velk
