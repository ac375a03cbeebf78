// The program entry: make the application, start it up, run it until it shuts down, delete it.

#include "app/CrashCatcher.h"
#include "app/VelkAppBase.h"
#include "platform/process/ProcessInfo.h"

namespace {

// Stands in for the game's own application class until that exists.
class PeluneApp : public Velk::VelkAppBase {
 public:
  PeluneApp() {
    mProdName = "Pelune Cafe";
    mProductVersion = "1.0";
    mRegKey = "Drimak Games\\Pelune Cafe";
    mTitle = L"Pelune Cafe";
  }
};

}  // namespace

int main(int argc, char** argv) {
  Velk::CrashCatcher::Install();
  Velk::SetCommandLine(argc, argv);
  auto* app = new PeluneApp();
  app->Init();
  app->Run();
  delete app;
  Velk::CrashCatcher::Remove();
  return 0;
}
