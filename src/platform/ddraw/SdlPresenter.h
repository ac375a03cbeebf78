#pragma once
// Presents the primary in a real window through one streaming texture. SDL's renderer is used on
// the main thread only: a present from another thread (the cursor thread) marks the picture dirty,
// and the next present on the main thread shows it.

#include "platform/ddraw/DDrawPresenter.h"

#include <atomic>

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
  void SetMode(int width, int height) override;

 private:
  bool PrepareTexture(const DDrawSurface& primary);

  SDL_Window* window_;
  SDL_Renderer* renderer_ = nullptr;
  bool ownRenderer_ = false;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  uint32_t textureFormat_ = 0;
  std::atomic<bool> dirty_{false};
};

}  // namespace Velk
