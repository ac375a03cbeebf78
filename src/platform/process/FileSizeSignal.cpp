#include "platform/process/FileSizeSignal.h"

#include <signal.h>

namespace Velk {

// Only a bad signal number makes sigaction fail, and SIGXFSZ is a good one.
void FileSizeSignal::Ignore() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, nullptr);
}

}  // namespace Velk
