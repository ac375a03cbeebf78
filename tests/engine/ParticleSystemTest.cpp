#include "engine/QCParticleSystem.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/EngineUtil.h"
#include "engine/QCEffect.h"
#include "engine/QCParticleRegistry.h"
#include "platform/crt/Rand.h"

namespace {

PSDescriptor Plain(float rate, float life) {
  PSDescriptor s;
  s.rate = rate;
  s.life = life;
  s.speed = 100.0f;
  s.startScale = 1.0f;
  s.endScale = 2.0f;
  s.slowdownTime = 1.0f;
  s.x = 100.0f;
  s.y = 50.0f;
  return s;
}

// The goal stars' colour keys.
void StarKeys(PSDescriptor& s) {
  s.colourKeyCount = 3;
  s.colourKeys[0] = {0.0f, 255, 255, 255, 1};
  s.colourKeys[1] = {0.1f, 255, 255, 255, 255};
  s.colourKeys[2] = {1.01f, 255, 255, 255, 1};
}

class ParticleTest : public ::testing::Test {
 protected:
  QCParticleRegistry registry;
  std::vector<std::string> log;

  void SetUp() override {
    Velk::srand(7);
    SetDebugLogSink([this](const std::string& line) { log.push_back(line); });
  }
  void TearDown() override { SetDebugLogSink(nullptr); }

  QCParticleSystem* Make(const PSDescriptor& s) { return new QCParticleSystem(&s, nullptr, &registry); }
};

TEST_F(ParticleTest, NeverMoreThanRateTimesLife) {
  QCParticleSystem* ps = Make(Plain(30.0f, 1.0f));
  EXPECT_EQ(ps->Settings().maxParticles, 30);
  ps->PSStart();
  size_t most = 0;
  for (int i = 0; i < 500; ++i) {
    ps->PSUpdate(i % 7 == 0 ? 0.25f : 0.01f);
    most = std::max(most, ps->LiveParticles().size());
  }
  EXPECT_EQ(most, 30u);
}

TEST_F(ParticleTest, ParticlesDueTogetherAreAgedApart) {
  QCParticleSystem* ps = Make(Plain(30.0f, 1.0f));
  ps->PSStart();
  ps->PSUpdate(0.1f + 1e-4f);  // three intervals of 1/30 s are due
  ASSERT_EQ(ps->LiveParticles().size(), 3u);
  const float interval = 1.0f / 30.0f;
  EXPECT_FLOAT_EQ(ps->LiveParticles()[0]->age, 0.0f);
  EXPECT_FLOAT_EQ(ps->LiveParticles()[1]->age, interval);
  EXPECT_FLOAT_EQ(ps->LiveParticles()[2]->age, 2.0f * interval);
  // Spawned at the emitter, white without colour keys once updated.
  EXPECT_EQ(ps->LiveParticles()[0]->x, 100.0);
  ps->PSUpdate(0.0f);
  for (const PSParticle* p : ps->LiveParticles()) {
    EXPECT_EQ(p->r + p->g + p->b + p->a, 4 * 255);
  }
}

TEST_F(ParticleTest, ParticlePastItsLifeIsGoneInThatUpdate) {
  QCParticleSystem* ps = Make(Plain(10.0f, 0.5f));
  ps->PSStart();
  ps->PSUpdate(0.1f + 1e-4f);
  ASSERT_EQ(ps->LiveParticles().size(), 1u);
  ps->PSStop();
  ps->PSUpdate(0.3f);
  EXPECT_EQ(ps->LiveParticles().size(), 1u) << "stopping lets live particles run out";
  ps->PSUpdate(0.25f);
  EXPECT_TRUE(ps->LiveParticles().empty());
}

TEST_F(ParticleTest, BadColourKeysAreRefusedWithTheirMessages) {
  QCParticleSystem* ps = Make(Plain(30.0f, 1.0f));
  PSDescriptor one = Plain(30.0f, 1.0f);
  one.colourKeyCount = 1;
  PSDescriptor first = Plain(30.0f, 1.0f);
  StarKeys(first);
  first.colourKeys[0].age = 0.05f;
  PSDescriptor last = Plain(30.0f, 1.0f);
  StarKeys(last);
  last.colourKeys[2].age = 1.0f;
  EXPECT_FALSE(ps->PSSetDescriptor(&one));
  EXPECT_FALSE(ps->PSSetDescriptor(&first));
  EXPECT_FALSE(ps->PSSetDescriptor(&last));
  EXPECT_EQ(log, (std::vector<std::string>{"ERROR: [PS: ] age color count less than 2 !..",
                                           "ERROR: [PS: ] first color age must be equal to 0!..",
                                           "ERROR: [PS: ] last color age must be greater than 1!.."}));
  // A refused emitter keeps no settings and emits nothing.
  ps->PSStart();
  ps->PSUpdate(1.0f);
  EXPECT_TRUE(ps->LiveParticles().empty());
  EXPECT_TRUE(ps->PSSetDescriptor(nullptr));
}

TEST_F(ParticleTest, StarColourBetweenTheFirstTwoKeys) {
  PSDescriptor s = Plain(30.0f, 1.0f);
  StarKeys(s);
  QCParticleSystem* ps = Make(s);
  ps->PSStart();
  ps->PSUpdate(0.034f);
  ASSERT_EQ(ps->LiveParticles().size(), 1u);
  PSParticle* p = ps->LiveParticles()[0];
  ps->PSStop();
  ps->PSUpdate(0.05f);  // age 0.05 of a 1 s life: half way from alpha 1 to alpha 255
  EXPECT_FLOAT_EQ(p->age, 0.05f);
  EXPECT_EQ(p->a, 128);
  EXPECT_EQ(p->r, 255);
  EXPECT_FLOAT_EQ(p->scale, 1.05f);
  ps->PSUpdate(0.5f);  // u = 0.55, between 0.1 (255) and 1.01 (1)
  const float f = (0.55f - 0.1f) / (1.01f - 0.1f);
  EXPECT_EQ(p->a, static_cast<int>(255.0f + (1.0f - 255.0f) * f));
}

TEST_F(ParticleTest, HalfDiscSpawnsBelowTheEmitterWithinTheRadius) {
  PSDescriptor s = Plain(100.0f, 1.0f);
  s.shape = kPSHalfDisc;
  s.radius = 40.0f;
  s.speed = 0.0f;
  QCParticleSystem* ps = Make(s);
  ps->PSStart();
  ps->PSUpdate(0.5f);
  ASSERT_EQ(ps->LiveParticles().size(), 50u);
  bool spread = false;
  for (const PSParticle* p : ps->LiveParticles()) {
    const double dx = p->x - 100.0, dy = p->y - 50.0;
    EXPECT_GE(dy, 0.0);
    EXPECT_LE(std::hypot(dx, dy), 40.0);
    spread = spread || std::fabs(dx) > 5.0;
  }
  EXPECT_TRUE(spread);
}

TEST_F(ParticleTest, ResetEmptiesAndStops) {
  QCParticleSystem* ps = Make(Plain(30.0f, 1.0f));
  ps->PSStart();
  ps->PSUpdate(0.5f);
  ASSERT_FALSE(ps->LiveParticles().empty());
  ps->PSReset();
  EXPECT_TRUE(ps->LiveParticles().empty());
  EXPECT_FALSE(ps->IsEmitting());
  ps->PSUpdate(0.5f);
  EXPECT_TRUE(ps->LiveParticles().empty());
}

TEST_F(ParticleTest, RegistryAdvancesAnOwnersSystemsInBuildOrder) {
  QCEffect a, b;
  QCParticleSystem* first = new QCParticleSystem(nullptr, &a, &registry);
  QCParticleSystem* second = new QCParticleSystem(nullptr, &a, &registry);
  QCParticleSystem* other = new QCParticleSystem(nullptr, &b, &registry);
  for (QCParticleSystem* ps : {first, second, other}) {
    PSDescriptor s = Plain(10.0f, 5.0f);
    ps->PSSetDescriptor(&s);
    ps->PSStart();
  }
  registry.UpdateParticleSystemsOf(reinterpret_cast<uintptr_t>(&a), 0.25f);
  EXPECT_EQ(first->LiveParticles().size(), 2u);
  EXPECT_EQ(second->LiveParticles().size(), 2u);
  EXPECT_TRUE(other->LiveParticles().empty());
  registry.UpdateAllParticleSystems(0.25f);
  EXPECT_EQ(other->LiveParticles().size(), 2u);
  registry.ResetAllParticleSystems();
  EXPECT_TRUE(first->LiveParticles().empty());
  QCParticleRegistry empty;
  empty.ResetAllParticleSystems();
  EXPECT_EQ(empty.Count(), 0u);
}

// A dead effect takes its systems with it; a new effect at the same address starts with none.
TEST_F(ParticleTest, DestroyedEffectRemovesItsSystems) {
  auto* effect = new QCEffect();
  const uintptr_t key = reinterpret_cast<uintptr_t>(effect);
  new QCParticleSystem(nullptr, effect, &registry);
  new QCParticleSystem(nullptr, effect, &registry);
  EXPECT_EQ(registry.Count(), 2u);
  delete effect;
  EXPECT_EQ(registry.Count(), 0u);
  auto* next = new QCEffect();
  registry.UpdateParticleSystemsOf(key, 0.1f);
  registry.UpdateParticleSystemsOf(reinterpret_cast<uintptr_t>(next), 0.1f);
  EXPECT_EQ(registry.Count(), 0u);
  delete next;
}

}  // namespace
