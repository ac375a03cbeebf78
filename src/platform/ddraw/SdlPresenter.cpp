#include "platform/ddraw/SdlPresenter.h"

#include "platform/ddraw/DDrawSurface.h"

#include <SDL.h>

#include <mutex>

namespace Velk {

namespace {

uint32_t SdlFormat(const DDPIXELFORMAT& f) {
  if (f.dwRGBBitCount == 32) return SDL_PIXELFORMAT_RGB888;
  if (f.dwRGBBitCount == 24) return SDL_PIXELFORMAT_RGB24;
  if (f.dwRGBBitCount == 16) return f.dwGBitMask == 0x03E0 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565;
  return SDL_PIXELFORMAT_UNKNOWN;
}

}  // namespace

SdlPresenter::SdlPresenter(void* window) : window_(static_cast<SDL_Window*>(window)) {
  renderer_ = SDL_GetRenderer(window_);
  if (!renderer_) {
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
    ownRenderer_ = renderer_ != nullptr;
  }
}

SdlPresenter::~SdlPresenter() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (ownRenderer_) SDL_DestroyRenderer(renderer_);
}

bool SdlPresenter::PrepareTexture(const DDrawSurface& primary) {
  const uint32_t format = SdlFormat(primary.Format());
  if (!renderer_ || format == SDL_PIXELFORMAT_UNKNOWN) return false;
  if (texture_ && textureWidth_ == primary.Width() && textureHeight_ == primary.Height() && textureFormat_ == format)
    return true;
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, primary.Width(), primary.Height());
  textureWidth_ = primary.Width();
  textureHeight_ = primary.Height();
  textureFormat_ = format;
  return texture_ != nullptr;
}

void SdlPresenter::Present(const DDrawSurface& primary, bool onMainThread) {
  if (!onMainThread) {
    dirty_ = true;
    return;
  }
  dirty_ = false;
  if (!PrepareTexture(primary)) return;
  {
    std::lock_guard<std::mutex> guard(primary.Mutex());
    SDL_UpdateTexture(texture_, nullptr, primary.Pixels(), primary.Pitch());
  }
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

void SdlPresenter::SetMode(int width, int height) {
  if (width > 0 && height > 0) {
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (renderer_) SDL_RenderSetLogicalSize(renderer_, width, height);
  } else {
    SDL_SetWindowFullscreen(window_, 0);
    if (renderer_) SDL_RenderSetLogicalSize(renderer_, 0, 0);
  }
}

}  // namespace Velk
