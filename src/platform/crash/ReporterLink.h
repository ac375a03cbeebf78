#pragma once
// The crash reporter: a process of its own, forked at start-up while the program is still one
// thread, that waits on a packet socket for the fault record of the fatal-signal handler and makes
// the report outside the signal context. It ends when the program's end of the socket closes (the
// program ended) and never outlives the program; when it ends first, the program reaps it.
#include <string>
#include <sys/types.h>

namespace Velk {

class ReporterLink {
 public:
  // The reporter's whole life: its end of the socket and the program's process id.
  using ReporterMain = void (*)(int descriptor, pid_t program);

  // Starts the reporter once; false when it could not be started.
  static bool Start(ReporterMain reporterMain);
  // The program's end of the socket, or -1.
  static int Descriptor();
  // One message to the reporter; false when it did not go.
  static bool Send(const std::string& message);
};

}  // namespace Velk
