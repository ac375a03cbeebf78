#include "platform/sdl/SdlPresenter.h"

#include "platform/ddraw/DDrawSurface.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>

namespace Velk {

namespace {

std::mutex& LiveMutex() {
  static std::mutex mutex;
  return mutex;
}

std::set<SdlPresenter*>& Live() {
  static std::set<SdlPresenter*> live;
  return live;
}

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
  std::lock_guard<std::mutex> guard(LiveMutex());
  Live().insert(this);
}

SdlPresenter::~SdlPresenter() {
  std::lock_guard<std::mutex> guard(LiveMutex());
  Live().erase(this);
  FreeSdlObjects();
}

void SdlPresenter::FreeSdlObjects() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (ownRenderer_ && renderer_) SDL_DestroyRenderer(renderer_);
  texture_ = nullptr;
  renderer_ = nullptr;
  ownRenderer_ = false;
  window_ = nullptr;
}

void SdlPresenter::WindowGone(void* window) {
  std::lock_guard<std::mutex> guard(LiveMutex());
  for (SdlPresenter* presenter : Live()) {
    if (presenter->window_ == window) presenter->FreeSdlObjects();
  }
}

bool SdlPresenter::PrepareTexture(int width, int height, uint32_t format) {
  if (!renderer_ || format == SDL_PIXELFORMAT_UNKNOWN) return false;
  if (texture_ && textureWidth_ == width && textureHeight_ == height && textureFormat_ == format) return true;
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, width, height);
  textureWidth_ = width;
  textureHeight_ = height;
  textureFormat_ = format;
  return texture_ != nullptr;
}

// One texture pixel to one window pixel; a window larger than the primary shows black beyond it.
void SdlPresenter::CopyTexture() {
  const SDL_Rect whole{0, 0, textureWidth_, textureHeight_};
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, &whole);
}

void SdlPresenter::Show(const void* pixels, int pitch) {
  SDL_UpdateTexture(texture_, nullptr, pixels, pitch);
  CopyTexture();
  SDL_RenderPresent(renderer_);
}

void SdlPresenter::Present(const DDrawSurface& primary, bool onMainThread) {
  const uint32_t format = SdlFormat(primary.Format());
  std::lock_guard<std::mutex> surfaceGuard(primary.Mutex());
  if (!onMainThread) {
    std::lock_guard<std::mutex> guard(pendingMutex_);
    pendingPixels_.assign(primary.Pixels(), primary.Pixels() + primary.ByteSize());
    pendingWidth_ = primary.Width();
    pendingHeight_ = primary.Height();
    pendingPitch_ = primary.Pitch();
    pendingFormat_ = format;
    pending_ = true;
    SDL_Event wake{};
    wake.type = SDL_USEREVENT;
    SDL_PushEvent(&wake);
    return;
  }
  {
    std::lock_guard<std::mutex> guard(pendingMutex_);
    pending_ = false;
  }
  if (PrepareTexture(primary.Width(), primary.Height(), format)) Show(primary.Pixels(), primary.Pitch());
}

void SdlPresenter::ShowOwnPending() {
  std::lock_guard<std::mutex> guard(pendingMutex_);
  if (!pending_) return;
  pending_ = false;
  if (PrepareTexture(pendingWidth_, pendingHeight_, pendingFormat_)) Show(pendingPixels_.data(), pendingPitch_);
}

void SdlPresenter::ShowPending() {
  std::lock_guard<std::mutex> guard(LiveMutex());
  for (SdlPresenter* presenter : Live()) presenter->ShowOwnPending();
}

bool SdlPresenter::ReadOwnPixels(std::vector<uint32_t>& pixels, int* width, int* height) {
  if (!renderer_ || !texture_) return false;
  // What a present leaves in the back buffer is undefined, so the picture is drawn again first.
  CopyTexture();
  int w = 0, h = 0;
  if (SDL_GetRendererOutputSize(renderer_, &w, &h) != 0 || w <= 0 || h <= 0) return false;
  pixels.assign(static_cast<size_t>(w) * h, 0);
  if (SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(), w * 4) != 0) return false;
  *width = w;
  *height = h;
  return true;
}

bool SdlPresenter::ReadWindowPixels(std::vector<uint32_t>& pixels, int* width, int* height) {
  std::lock_guard<std::mutex> guard(LiveMutex());
  for (SdlPresenter* presenter : Live()) {
    if (presenter->ReadOwnPixels(pixels, width, height)) return true;
  }
  return false;
}

void SdlPresenter::SetMode(int width, int height) {
  if (!window_) return;
  if (width <= 0 || height <= 0) {
    SDL_SetWindowFullscreen(window_, 0);
    return;
  }
  // A window manager enlarges a full-screen window; without one the window keeps its size and its
  // fixed size hints, so it is given the display's bounds first (which also sets those hints).
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window_), 0), &bounds) == 0) {
    SDL_SetWindowPosition(window_, bounds.x, bounds.y);
    SDL_SetWindowSize(window_, bounds.w, bounds.h);
  }
  SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

}  // namespace Velk
