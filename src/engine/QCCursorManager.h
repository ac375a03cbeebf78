#pragma once
// The game's own mouse cursors: images from the UI textures, selected by name ("normal", "active"),
// drawn by the engine over every frame at the mouse position minus the hot spot. While one is
// selected the framework shows an empty custom cursor, so only the drawn one is seen; an unknown name
// brings back the system arrow.
//
// The framework's cursor is changed on the main thread only: a selection made on another thread (the
// start-up loading thread) is recorded and applied by ApplyPendingCursor on the main thread.

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "engine/QCTexture.h"

namespace Velk {
class Graphics;
class VelkAppBase;
}  // namespace Velk

class IXMLDOMNode;

class QCCursorManager {
 public:
  explicit QCCursorManager(Velk::VelkAppBase* app);
  ~QCCursorManager();
  QCCursorManager(const QCCursorManager&) = delete;
  QCCursorManager& operator=(const QCCursorManager&) = delete;

  // Every `cursors` element of the ui root, with the textures of the given manager (the process's
  // manager when none is given); nothing without one.
  void ReadCursors(IXMLDOMNode* uiRoot, QCTextureManager* textures = nullptr);
  // One cursor: skipped without `mode` and `image`, when the texture is unknown, or when the mode
  // is already taken. Always true.
  bool ReadCursor(IXMLDOMNode* node, QCTextureManager* textures);

  void SetCursor(const std::string& name);
  // Applies the selection recorded off the main thread, if any.
  void ApplyPendingCursor();
  void ShowCursor() { mDrawEnabled = true; }
  void HideCursor() { mDrawEnabled = false; }
  bool IsDrawEnabled() const { return mDrawEnabled; }
  void Draw(Velk::Graphics* g);
  // No game cursor; the system arrow.
  void Reset();
  // As Reset, then every cursor's texture is released.
  void Clear();

  // The selected cursor's name, empty when none.
  std::string GetCurrentName() const;
  bool HasCursor(const std::string& name) const { return mCursors.count(name) != 0; }

 private:
  struct Cursor {
    QCTextureRef texture;
    int hotX = 0;
    int hotY = 0;
  };

  bool OnMainThread() const;
  void ShowSystemArrow();

  Velk::VelkAppBase* mApp;
  std::map<std::string, Cursor> mCursors;
  const Cursor* mCurrent = nullptr;
  std::atomic<bool> mDrawEnabled{true};
  std::mutex mPendingLock;
  std::optional<std::string> mPending;
};
