#pragma once
// Presents the primary in a real window through one streaming texture, pixel for pixel from the
// window's corner: the display has already placed its picture on the primary, so nothing is scaled
// here and pointer positions are the primary's pixels. SDL's renderer is used on the main thread
// only: a present from another thread (the cursor thread) keeps a copy of the picture, marks it
// pending and wakes the event loop, whose next pass shows it (ShowPending).

#include "platform/ddraw/DDrawPresenter.h"

#include <mutex>
#include <vector>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace Velk {

class SdlPresenter final : public DDrawPresenter {
 public:
  explicit SdlPresenter(void* window);
  ~SdlPresenter() override;
  SdlPresenter(const SdlPresenter&) = delete;
  SdlPresenter& operator=(const SdlPresenter&) = delete;

  void Present(const DDrawSurface& primary, bool onMainThread) override;
  // Full screen covers the desktop: SDL asks a window manager for it, and where none runs the
  // window is moved and sized to cover the display itself.
  void SetMode(int width, int height) override;
  bool KeepsDesktopMode() const override { return true; }

  // Shows every picture presented off the main thread since; called by the sdl back end's pump.
  static void ShowPending();
  // The window is about to be destroyed: its presenters free their SDL objects now and make no
  // further SDL call for it.
  static void WindowGone(void* window);
  // For tests: the last picture presented as the window's renderer draws it, read back from the
  // renderer as X8R8G8B8 rows. On the main thread; false when no presenter has shown anything.
  static bool ReadWindowPixels(std::vector<uint32_t>& pixels, int* width, int* height);

 private:
  bool PrepareTexture(int width, int height, uint32_t format);
  void Show(const void* pixels, int pitch);
  void ShowOwnPending();
  bool ReadOwnPixels(std::vector<uint32_t>& pixels, int* width, int* height);
  void CopyTexture();
  void FreeSdlObjects();

  SDL_Window* window_;
  SDL_Renderer* renderer_ = nullptr;
  bool ownRenderer_ = false;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  uint32_t textureFormat_ = 0;
  std::mutex pendingMutex_;
  bool pending_ = false;
  std::vector<uint8_t> pendingPixels_;
  int pendingWidth_ = 0;
  int pendingHeight_ = 0;
  int pendingPitch_ = 0;
  uint32_t pendingFormat_ = 0;
};

}  // namespace Velk
