#include "engine/QCParticleRegistry.h"

#include <atomic>

#include "engine/QCParticleSystem.h"

namespace {

std::atomic<QCParticleRegistry*> gRegistry{nullptr};

}  // namespace

QCParticleRegistry* GetParticleRegistry() { return gRegistry.load(); }

QCParticleRegistry::QCParticleRegistry() {
  QCParticleRegistry* none = nullptr;
  gRegistry.compare_exchange_strong(none, this);
}

QCParticleRegistry::~QCParticleRegistry() {
  QCParticleRegistry* self = this;
  gRegistry.compare_exchange_strong(self, nullptr);
  std::lock_guard<std::recursive_mutex> hold(mLock);
  for (auto& [owner, system] : mSystems) delete system;
  mSystems.clear();
}

bool QCParticleRegistry::RegisterParticleSystem(uintptr_t owner, QCParticleSystem* system) {
  std::lock_guard<std::recursive_mutex> hold(mLock);
  mSystems.emplace(owner, system);
  return false;
}

void QCParticleRegistry::UpdateParticleSystemsOf(uintptr_t owner, float dt) {
  std::lock_guard<std::recursive_mutex> hold(mLock);
  auto [first, last] = mSystems.equal_range(owner);
  for (auto it = first; it != last; ++it) it->second->PSUpdate(dt);
}

void QCParticleRegistry::UpdateAllParticleSystems(float dt) {
  std::lock_guard<std::recursive_mutex> hold(mLock);
  for (auto& [owner, system] : mSystems) system->PSUpdate(dt);
}

void QCParticleRegistry::ResetAllParticleSystems() {
  std::lock_guard<std::recursive_mutex> hold(mLock);
  for (auto& [owner, system] : mSystems) system->PSReset();
}

void QCParticleRegistry::RemoveParticleSystemsOf(uintptr_t owner) {
  std::lock_guard<std::recursive_mutex> hold(mLock);
  auto [first, last] = mSystems.equal_range(owner);
  for (auto it = first; it != last; ++it) delete it->second;
  mSystems.erase(first, last);
}

size_t QCParticleRegistry::Count() const {
  std::lock_guard<std::recursive_mutex> hold(mLock);
  return mSystems.size();
}
