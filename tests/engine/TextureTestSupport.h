#pragma once
// A texture manager that counts its loads instead of decoding files, and a drawing target that
// records what is drawn on it.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/Matrix3x3.h"
#include "engine/QCTexture.h"
#include "graphics/MemoryImage.h"

class CountingTextures : public QCTextureManager {
 public:
  CountingTextures() : QCTextureManager(nullptr) {}
  Velk::Image* LoadImageFile(const std::string& fileName) override {
    ++loads[fileName];
    if (failing.count(fileName)) return nullptr;
    auto* image = new Velk::MemoryImage();
    image->CreateBlank(4, 4);
    return image;
  }
  std::map<std::string, int> loads;
  std::set<std::string> failing;
};

struct DrawRecord {
  Velk::Image* source;
  float x, y;
  int drawMode;
  Velk::Rect clip;
  Velk::Rect sourceRect;
  Velk::Rect destRect;
  bool transformed;
};

class RecordingImage : public Velk::MemoryImage {
 public:
  RecordingImage() { CreateBlank(800, 600); }
  void Blit(Velk::Image* src, int x, int y, const Velk::Rect& srcRect, const Velk::Color&, int drawMode) override {
    draws.push_back({src, float(x), float(y), drawMode, {}, srcRect, {}, false});
  }
  void BlitStretched(Velk::Image* src, const Velk::Rect& destRect, const Velk::Rect& srcRect, const Velk::Rect& clip,
                     const Velk::Color&, int drawMode, bool) override {
    draws.push_back({src, 0, 0, drawMode, clip, srcRect, destRect, false});
  }
  void BlitTransformed(Velk::Image* src, float x, float y, const Velk::Matrix3x3&, const Velk::Rect& clip,
                       const Velk::Color&, int drawMode, const Velk::Rect& srcRect, bool) override {
    draws.push_back({src, x, y, drawMode, clip, srcRect, {}, true});
  }
  std::vector<DrawRecord> draws;
};
