#include "ui/QCUiEngine.h"

#include "app/VelkAppBase.h"
#include "engine/QCCursorManager.h"
#include "engine/QCEngine.h"
#include "engine/QCSoundTable.h"
#include "engine/QCTexture.h"

void SelectUiCursor(const char* name) {
  QCEngine* engine = GetEngine();
  if (engine && engine->GetCursorManager()) engine->GetCursorManager()->SetCursor(name);
}

void PlayUiSound(const std::string& name) {
  if (!name.empty()) PlaySoundByName(name);
}

float AdvanceSeconds(float elapsed) {
  const DWORD ms = Velk::gVelkApp ? Velk::gVelkApp->mFrameTime : 10;
  return static_cast<float>(elapsed + ms / 1000.0);
}

QCTextureRef FindUiTexture(const std::string& name) {
  QCTextureManager* textures = QCTextureManager::Get();
  return textures ? textures->Find(name) : QCTextureRef();
}

Velk::Font* FindUiFont(const std::string& name) {
  QCEngine* engine = GetEngine();
  return engine ? engine->GetFontByName(name) : nullptr;
}
