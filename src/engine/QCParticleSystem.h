#pragma once
// A small sprite-particle emitter: the goal stars and the worker smoke. Its settings are fixed in the
// effect callbacks that build it; it registers itself with the engine's particle registry under the
// effect that created it, which owns it from then on.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/QCTexture.h"

class QCEffect;
class QCParticleRegistry;

namespace Velk {
class Graphics;
}

struct PSColorKey {
  float age = 0.0f;  // fraction of the particle's life
  int r = 0;
  int g = 0;
  int b = 0;
  int a = 0;
};

enum PSShape { kPSPoint = 0, kPSBox = 1, kPSHalfDisc = 2 };

enum PSRandomFlags { kPSRandomStartScale = 1, kPSRandomEndScale = 2, kPSRandomSpeed = 4, kPSRandomLife = 8 };

struct PSDescriptor {
  static constexpr int kMaxColorKeys = 8;

  std::string texture;     // UI texture id drawn by every particle
  int colourKeyCount = 0;  // 0, or 2 to 8
  PSColorKey colourKeys[kMaxColorKeys];
  float rate = 0.0f;   // particles per second
  float speed = 0.0f;  // pixels per second
  float startScale = 0.0f;
  float endScale = 0.0f;
  float life = 0.0f;  // seconds
  int shape = kPSPoint;
  float width = 0.0f;
  float height = 0.0f;
  float radius = 0.0f;
  float x = 0.0f;
  float y = 0.0f;
  double driftX = 0.0;
  double driftY = 0.0;
  float baseAngle = 0.0f;  // degrees
  float angleSpread = 0.0f;
  float slowdownTime = 0.0f;  // seconds over which a particle's speed falls to 0
  float randomness = 0.0f;
  int randomFlags = 0;
  int maxParticles = 0;  // filled by the emitter
};

struct PSParticle {
  double x = 0.0;
  double y = 0.0;
  float age = 0.0f;
  int r = 0;
  int g = 0;
  int b = 0;
  int a = 0;
  float scale = 0.0f;
  int keyIndex = 0;
  float startScale = 0.0f;
  float endScale = 0.0f;
  float life = 0.0f;
  double dirX = 0.0;
  double dirY = 0.0;
  float speed = 0.0f;
  float slowdown = 0.0f;  // seconds left of the slowdown
};

class QCParticleSystem {
 public:
  // Registers itself with the registry under the effect (when there is a registry).
  QCParticleSystem(const PSDescriptor* settings, QCEffect* effect, QCParticleRegistry* registry);
  ~QCParticleSystem();
  QCParticleSystem(const QCParticleSystem&) = delete;
  QCParticleSystem& operator=(const QCParticleSystem&) = delete;

  // Null settings change nothing. Bad colour keys are refused (a debug-log line, false) and leave the
  // emitter without settings.
  bool PSSetDescriptor(const PSDescriptor* settings);
  void PSLoadTexture();
  void PSUpdate(float dt);
  void PSDraw(Velk::Graphics* g);
  void PSStart() { mEmitting = true; }
  void PSStop();
  void PSReset();

  const PSDescriptor& Settings() const { return mSettings; }
  const std::vector<PSParticle*>& LiveParticles() const { return mLive; }
  bool IsEmitting() const { return mEmitting; }

 private:
  void PSEmit();
  void SpawnParticle(float age);
  void AdvanceParticle(PSParticle& p, float dt) const;
  void ColourParticle(PSParticle& p, float u) const;
  float Spread(float value) const;
  void Release(size_t liveIndex);
  void DropAllParticles();
  bool CheckColourKeys(const PSDescriptor& settings) const;

  PSDescriptor mSettings;
  std::vector<PSParticle*> mLive;  // in creation order
  std::vector<PSParticle> mPool;
  std::vector<PSParticle*> mFree;
  float mEmitAccumulator = 0.0f;
  bool mEmitting = false;
  QCTextureRef mTexture;
};
