#include "engine/QCCursorManager.h"

#include "app/VelkAppBase.h"
#include "engine/XmlAccess.h"
#include "graphics/Graphics.h"
#include "platform/threads/Threads.h"
#include "widgets/WidgetManager.h"

namespace {

// The custom cursor the framework shows while a game cursor is drawn; its image stays empty.
constexpr int kGameCursorNumber = 12;

}  // namespace

QCCursorManager::QCCursorManager(Velk::VelkAppBase* app) : mApp(app) {}

QCCursorManager::~QCCursorManager() { Clear(); }

void QCCursorManager::ReadCursors(IXMLDOMNode* uiRoot, QCTextureManager* textures) {
  if (!textures) textures = QCTextureManager::Get();
  if (!textures) return;
  XmlForEach(uiRoot, L"cursors", [&](IXMLDOMNode* item) { return ReadCursor(item, textures); });
}

bool QCCursorManager::ReadCursor(IXMLDOMNode* node, QCTextureManager* textures) {
  char mode[128] = {};
  char image[128] = {};
  if (!textures || !XmlGetAttrString(node, L"mode", mode, sizeof mode) ||
      !XmlGetAttrString(node, L"image", image, sizeof image))
    return true;
  QCTextureRef texture = textures->Find(image);
  if (texture.IsEmpty() || mCursors.count(mode)) return true;
  Cursor& cursor = mCursors[mode];
  cursor.texture = texture;
  cursor.texture.Acquire();
  XmlGetAttrInt(node, L"hot_spot_x", cursor.hotX);
  XmlGetAttrInt(node, L"hot_spot_y", cursor.hotY);
  return true;
}

bool QCCursorManager::OnMainThread() const {
  DWORD main = mApp ? mApp->mMainThreadId.load() : 0;
  return main == 0 || main == GetCurrentThreadId();
}

void QCCursorManager::SetCursor(const std::string& name) {
  if (!OnMainThread()) {
    std::lock_guard<std::mutex> guard(mPendingLock);
    mPending = name;
    return;
  }
  auto it = mCursors.find(name);
  if (it == mCursors.end()) {
    mCurrent = nullptr;
    ShowSystemArrow();
    return;
  }
  // A cursor whose picture did not load cannot be selected: the previous one stays.
  if (!it->second.texture.GetImage()) return;
  mCurrent = &it->second;
  if (!mApp) return;
  mApp->SetCustomCursorsEnabled(true);
  mApp->SetCursorKind(kGameCursorNumber);
  mApp->SetCursorImage(kGameCursorNumber, nullptr);
}

void QCCursorManager::ApplyPendingCursor() {
  std::optional<std::string> pending;
  {
    std::lock_guard<std::mutex> guard(mPendingLock);
    pending.swap(mPending);
  }
  if (pending) SetCursor(*pending);
}

void QCCursorManager::ShowSystemArrow() {
  if (!mApp) return;
  mApp->SetCustomCursorsEnabled(false);
  mApp->SetCursorKind(0);
  mApp->SetCursorImage(kGameCursorNumber, nullptr);
}

void QCCursorManager::Draw(Velk::Graphics* g) {
  if (!g || !mCurrent || !mDrawEnabled || !mApp || !mApp->mWidgetManager) return;
  Velk::Image* image = mCurrent->texture.GetRecord()->image.get();
  if (!image) return;
  g->DrawImage(image, mApp->mWidgetManager->mLastMouseX - mCurrent->hotX,
               mApp->mWidgetManager->mLastMouseY - mCurrent->hotY);
}

void QCCursorManager::Reset() {
  mCurrent = nullptr;
  ShowSystemArrow();
}

void QCCursorManager::Clear() {
  Reset();
  for (auto& [name, cursor] : mCursors) cursor.texture.Release();
}

std::string QCCursorManager::GetCurrentName() const {
  for (const auto& [name, cursor] : mCursors)
    if (&cursor == mCurrent) return name;
  return {};
}
