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
  for (auto& [owner, system] : mSystems) delete system;
  mSystems.clear();
}

bool QCParticleRegistry::RegisterParticleSystem(uintptr_t owner, QCParticleSystem* system) {
  mSystems.emplace(owner, system);
  return false;
}

void QCParticleRegistry::UpdateParticleSystemsOf(uintptr_t owner, float dt) {
  auto [first, last] = mSystems.equal_range(owner);
  for (auto it = first; it != last; ++it) it->second->PSUpdate(dt);
}

void QCParticleRegistry::UpdateAllParticleSystems(float dt) {
  for (auto& [owner, system] : mSystems) system->PSUpdate(dt);
}

void QCParticleRegistry::ResetAllParticleSystems() {
  for (auto& [owner, system] : mSystems) system->PSReset();
}

void QCParticleRegistry::RemoveParticleSystemsOf(uintptr_t owner) {
  auto [first, last] = mSystems.equal_range(owner);
  for (auto it = first; it != last; ++it) delete it->second;
  mSystems.erase(first, last);
}
