// The program entry: make the game's application, start it up, run it until it shuts down, delete it.

#include "app/CrashCatcher.h"
#include "cafe/QCEngine3.h"
#include "platform/process/ProcessInfo.h"

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
