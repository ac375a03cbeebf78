// The program entry: make the game's application, start it up, run it until it shuts down, delete it.

#include "app/CrashCatcher.h"
#include "cafe/QCEngine3.h"
#include "platform/process/ProcessInfo.h"

// SDL keeps its D-Bus connection until the process ends; what that system library still holds then
// is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  Velk::CrashCatcher::Install();
  Velk::SetCommandLine(argc, argv);
  auto* app = new QCEngine3();
  app->Init();
  app->Run();
  delete app;
  Velk::CrashCatcher::Remove();
  return 0;
}
