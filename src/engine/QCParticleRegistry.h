#pragma once
// Every particle system of the game, filed under the effect that created it, so that whoever updates
// an effect can advance its systems with the same step, a level start can reset them all, and an
// effect that goes away takes its systems with it. The registry owns the systems.
//
// The engine holds the one registry; while it lives, GetParticleRegistry() answers it, so effects
// and their callbacks reach it without the engine. The level thread makes and destroys effects while
// the main thread updates the systems, so every call holds the registry's lock (recursive: a system's
// update may reach the registry again).

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

class QCParticleSystem;

class QCParticleRegistry {
 public:
  QCParticleRegistry();
  ~QCParticleRegistry();
  QCParticleRegistry(const QCParticleRegistry&) = delete;
  QCParticleRegistry& operator=(const QCParticleRegistry&) = delete;

  // Systems under one key stay in the order they were registered. Returns false (nobody reads it).
  bool RegisterParticleSystem(uintptr_t owner, QCParticleSystem* system);
  void UpdateParticleSystemsOf(uintptr_t owner, float dt);
  void UpdateAllParticleSystems(float dt);
  void ResetAllParticleSystems();
  // Destroys the systems filed under the owner; called when the owning effect is destroyed, so a new
  // effect at the same address never inherits them.
  void RemoveParticleSystemsOf(uintptr_t owner);

  size_t Count() const;

 private:
  mutable std::recursive_mutex mLock;
  std::multimap<uintptr_t, QCParticleSystem*> mSystems;
};

// The registry made first and still alive, or null.
QCParticleRegistry* GetParticleRegistry();
