#include "engine/QCParticleSystem.h"

#include <algorithm>
#include <cmath>

#include "engine/EngineUtil.h"
#include "engine/QCParticleRegistry.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "platform/crt/Rand.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

float RandUnit() { return static_cast<float>(Velk::rand()) / static_cast<float>(Velk::kRandMax); }

}  // namespace

QCParticleSystem::QCParticleSystem(const PSDescriptor* settings, QCEffect* effect, QCParticleRegistry* registry) {
  PSSetDescriptor(settings);
  if (registry) registry->RegisterParticleSystem(reinterpret_cast<uintptr_t>(effect), this);
}

QCParticleSystem::~QCParticleSystem() { mTexture.Reset(); }

bool QCParticleSystem::CheckColourKeys(const PSDescriptor& s) const {
  if (s.colourKeyCount == 0) return true;
  if (s.colourKeyCount < 2 || s.colourKeyCount > PSDescriptor::kMaxColorKeys) {
    DebugLog("ERROR: [PS: ] age color count less than 2 !..");
    return false;
  }
  if (s.colourKeys[0].age != 0.0f) {
    DebugLog("ERROR: [PS: ] first color age must be equal to 0!..");
    return false;
  }
  if (!(s.colourKeys[s.colourKeyCount - 1].age > 1.0f)) {
    DebugLog("ERROR: [PS: ] last color age must be greater than 1!..");
    return false;
  }
  return true;
}

bool QCParticleSystem::PSSetDescriptor(const PSDescriptor* settings) {
  if (!settings) return true;
  DropAllParticles();
  mEmitAccumulator = 0.0f;
  mSettings = PSDescriptor();
  mPool.clear();
  mFree.clear();
  if (!CheckColourKeys(*settings)) return false;
  mSettings = *settings;
  float most = settings->life * settings->rate;
  // Bounded so that odd settings cannot ask for an absurd pool.
  mSettings.maxParticles = most > 0.0f && most < 100000.0f ? static_cast<int>(std::ceil(most)) : 0;
  mPool.resize(static_cast<size_t>(mSettings.maxParticles) + 1);
  for (PSParticle& p : mPool) mFree.push_back(&p);
  return true;
}

void QCParticleSystem::PSLoadTexture() {
  mTexture.Reset();
  if (mSettings.texture.empty()) return;
  if (QCTextureManager* textures = QCTextureManager::Get()) {
    mTexture = textures->Find(mSettings.texture);
    mTexture.Acquire();
  }
}

void QCParticleSystem::PSStop() {
  mEmitting = false;
  mEmitAccumulator = 0.0f;
}

void QCParticleSystem::PSReset() {
  PSStop();
  DropAllParticles();
}

void QCParticleSystem::DropAllParticles() {
  while (!mLive.empty()) Release(mLive.size() - 1);
}

// The last live particle takes the freed slot.
void QCParticleSystem::Release(size_t liveIndex) {
  mFree.push_back(mLive[liveIndex]);
  mLive[liveIndex] = mLive.back();
  mLive.pop_back();
}

void QCParticleSystem::PSUpdate(float dt) {
  for (size_t i = 0; i < mLive.size();) {
    PSParticle& p = *mLive[i];
    p.age += dt;
    if (p.age > p.life) {
      Release(i);
      continue;
    }
    AdvanceParticle(p, dt);
    ++i;
  }
  if (mEmitting) {
    mEmitAccumulator += dt;
    PSEmit();
  }
}

void QCParticleSystem::AdvanceParticle(PSParticle& p, float dt) const {
  p.slowdown = std::max(p.slowdown - dt, 0.0f);
  float u = p.age / p.life;
  float slow = mSettings.slowdownTime > 0.0f ? p.slowdown / mSettings.slowdownTime : 0.0f;
  p.x += slow * p.speed * p.dirX * dt;
  p.x += dt * mSettings.driftX;
  p.y += slow * p.speed * p.dirY * dt;
  p.y += dt * mSettings.driftY;
  ColourParticle(p, u);
  p.scale = p.startScale + (p.endScale - p.startScale) * u;
}

void QCParticleSystem::ColourParticle(PSParticle& p, float u) const {
  const int count = mSettings.colourKeyCount;
  if (count == 0) {
    p.r = p.g = p.b = p.a = 255;
    return;
  }
  int k = std::max(p.keyIndex, 1);
  while (k < count - 1 && !(mSettings.colourKeys[k].age > u)) ++k;
  p.keyIndex = k;
  const PSColorKey& from = mSettings.colourKeys[k - 1];
  const PSColorKey& to = mSettings.colourKeys[k];
  float f = (u - from.age) / (to.age - from.age);
  auto lerp = [f](int a, int b) { return static_cast<int>(static_cast<float>(a) + static_cast<float>(b - a) * f); };
  p.r = lerp(from.r, to.r);
  p.g = lerp(from.g, to.g);
  p.b = lerp(from.b, to.b);
  p.a = lerp(from.a, to.a);
}

float QCParticleSystem::Spread(float value) const {
  float r = 2.0f * RandUnit() - 1.0f;
  return value + mSettings.randomness * value * r;
}

void QCParticleSystem::PSEmit() {
  if (!(mSettings.rate > 0.0f)) return;
  const float interval = 1.0f / mSettings.rate;
  const int due = static_cast<int>(std::min(mEmitAccumulator / interval, 1.0e6f));
  if (due < 1) return;
  for (int k = 0; k < due; ++k) {
    if (static_cast<int>(mLive.size()) >= mSettings.maxParticles || mFree.empty()) break;
    SpawnParticle(static_cast<float>(k) * interval);
  }
  // What found no room this frame is dropped, not saved up for a burst later.
  mEmitAccumulator -= static_cast<float>(due) * interval;
}

void QCParticleSystem::SpawnParticle(float age) {
  const PSDescriptor& s = mSettings;
  PSParticle& p = *mFree.back();
  mFree.pop_back();
  p = PSParticle();
  p.speed = (s.randomFlags & kPSRandomSpeed) ? Spread(s.speed) : s.speed;
  p.x = static_cast<int>(s.x);
  p.y = static_cast<int>(s.y);
  p.age = age;
  p.slowdown = s.slowdownTime;
  p.startScale = (s.randomFlags & kPSRandomStartScale) ? Spread(s.startScale) : s.startScale;
  p.endScale = (s.randomFlags & kPSRandomEndScale) ? Spread(s.endScale) : s.endScale;
  p.life = (s.randomFlags & kPSRandomLife) ? Spread(s.life) : s.life;
  if (s.shape == kPSBox) {
    p.x += static_cast<int>(Spread(s.width) - 0.5f * s.width);
    p.y += static_cast<int>(Spread(s.height) - 0.5f * s.height);
  } else if (s.shape == kPSHalfDisc) {
    double a = static_cast<double>(Velk::rand()) * kPi / Velk::kRandMax;
    double d = static_cast<double>(Velk::rand()) * s.radius / Velk::kRandMax;
    p.x += static_cast<int>(std::cos(a) * d);
    p.y += static_cast<int>(std::sin(a) * d);
  }
  double b = ((RandUnit() - 0.5) * s.angleSpread + s.baseAngle) * kPi / 180.0;
  p.dirX = -std::sin(b);
  p.dirY = std::cos(b);
  mLive.push_back(&p);
}

void QCParticleSystem::PSDraw(Velk::Graphics* g) {
  if (mLive.empty() || mTexture.IsEmpty()) return;
  Velk::Image* image = mTexture.GetImage();
  if (!image) return;
  const int w = image->GetWidth();
  const int h = image->GetHeight();
  const Velk::Rect source(0, 0, w, h);
  const bool colorize = g->GetImageColorize();
  const Velk::Color colour = g->GetColor();
  g->SetImageColorize(true);
  for (const PSParticle* p : mLive) {
    int sw = static_cast<int>(static_cast<float>(w) * p->scale);
    int sh = static_cast<int>(static_cast<float>(h) * p->scale);
    Velk::Rect dest(static_cast<int>(p->x - 0.5 * sw), static_cast<int>(p->y - 0.5 * sh), sw, sh);
    g->SetColor(Velk::Color(p->r, p->g, p->b, p->a));
    g->DrawImage(image, dest, source);
  }
  g->SetImageColorize(colorize);
  g->SetColor(colour);
}
