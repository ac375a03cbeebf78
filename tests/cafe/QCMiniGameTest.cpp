#include "cafe/QCMiniGame.h"

#include "cafe/QCTutorial.h"
#include "engine/QCDeadline.h"
#include "engine/XmlAccess.h"
#include "platform/crt/Rand.h"
#include "scene/LevelLog.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"
#include "ui/QCButton.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kTokenWidth = 33;  // tokens overlap by one pixel: pitch 32

class Rewards : public QCMiniGameRewards {
 public:
  void ApplyMiniGameReward(int kind, int count) override { paid.emplace_back(kind, count); }
  std::vector<std::pair<int, int>> paid;
};

class MiniGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAllDeadlines();
    SetGameDt(0.01f);
    SetLevelLogListener([this](const std::string& line) { log.push_back(line); });
    game.SetBounds(0, 0, 560, 92);
  }
  void TearDown() override {
    SetLevelLogListener(nullptr);
    SetGameDt(0.0f);
  }

  // n token and n burst controls; the dialog owns and deletes them.
  void Bind(int n) {
    for (int i = 1; i <= n; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "tray%02d", i);
      auto* token = new QCCandyWidget(&game);
      token->SetBounds(0, 0, kTokenWidth, 32);
      game.BindControl(name, token);
      std::snprintf(name, sizeof name, "effect_ele%02d", i);
      game.BindControl(name, new QCCandyWidget(&game));
    }
  }
  void Level(const std::string& params) {
    pak.Put("cfg\\l1.xml", Utf16File("<level>" + params + "</level>"));
    IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\l1.xml");
    ASSERT_NE(doc, nullptr);
    IXMLDOMNode* level = nullptr;
    doc->selectSingleNode(L"level", &level);
    game.ReadLevel(level);
    game.Reset();  // as the level starts
    if (level) level->Release();
    doc->Release();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) game.Update();
  }
  std::vector<int> Kinds() const {
    std::vector<int> kinds;
    for (const auto& placed : game.Elements()) kinds.push_back(placed.record.kind);
    return kinds;
  }
  std::vector<int> Xs() const {
    std::vector<int> xs;
    for (const auto& placed : game.Elements()) xs.push_back(placed.widget->mX);
    return xs;
  }
  void Add(std::initializer_list<int> kinds) {
    for (int kind : kinds) game.AddElement(kind, true, false);
  }

  MemoryPak pak;
  Rewards rewards;
  QCMiniGame game{nullptr, nullptr, &rewards, nullptr};
  std::vector<std::string> log;
};

// Speed 100000 px/s: every token reaches its place in the frame after it arrives.
const char kFast[] = R"(<partparams speed="100000"/>)";

TEST_F(MiniGameTest, ChainsPayNMinusTwoAtMostOncePerFrame) {
  Bind(16);
  Level(kFast);
  Add({2, 2, 2, 2, 2});
  game.Update();
  EXPECT_EQ(Xs(), (std::vector<int>{15, 47, 79, 111, 143}));
  EXPECT_TRUE(rewards.paid.empty());
  game.Update();
  EXPECT_EQ(rewards.paid, (std::vector<std::pair<int, int>>{{2, 3}}));
  EXPECT_TRUE(game.Elements().empty());

  rewards.paid.clear();
  Add({1, 0, 0, 0, 3, 3, 3});
  Frames(2);
  EXPECT_EQ(rewards.paid, (std::vector<std::pair<int, int>>{{0, 1}}));
  EXPECT_EQ(Kinds(), (std::vector<int>{1, 3, 3, 3}));
  game.Update();  // the happy tokens close the gap
  EXPECT_EQ(rewards.paid.size(), 1u);
  game.Update();
  EXPECT_EQ(rewards.paid.back(), (std::pair<int, int>{3, 1}));
  EXPECT_EQ(Kinds(), (std::vector<int>{1}));
}

TEST_F(MiniGameTest, RestingTokensWaitForEverythingLeftOfThem) {
  Bind(16);
  Level(kFast);
  Add({4, 3});
  game.Update();
  Add({1, 1, 1});
  game.Update();  // the three arrive at 79, 111, 143: moved this frame, so no chain yet
  ASSERT_TRUE(rewards.paid.empty());
  game.OnElementClicked(game.Elements()[0].widget);  // the happy token now has to slide
  SetGameDt(0.0f);                                   // a paused frame: nothing moves
  Frames(3);
  EXPECT_TRUE(rewards.paid.empty());  // the three rest, but left of them a token still slides
  EXPECT_EQ(Xs(), (std::vector<int>{47, 79, 111, 143}));
  SetGameDt(0.01f);
  Frames(2);
  EXPECT_EQ(rewards.paid, (std::vector<std::pair<int, int>>{{1, 1}}));
  EXPECT_EQ(Kinds(), (std::vector<int>{3}));
}

TEST_F(MiniGameTest, SlideSteps) {
  Bind(16);
  Level(R"(<partparams speed="200"/>)");
  Add({0});
  for (int x : {558, 556, 554}) {
    game.Update();
    EXPECT_EQ(game.Elements()[0].widget->mX, x);
  }
  Level(R"(<partparams speed="50"/>)");  // half a pixel a frame still creeps
  Add({0});
  Frames(545);
  EXPECT_EQ(game.Elements()[0].widget->mX, 15);
  Level("<partparams/>");  // no speed: a token stays where it arrives
  EXPECT_EQ(game.GetSpeed(), 0.0f);
  Add({0});
  Frames(10);
  EXPECT_EQ(game.Elements()[0].widget->mX, 560);
}

TEST_F(MiniGameTest, TheSeventeenthPushesTheLeftmostOutUntilThereIsRoom) {
  Bind(16);
  Level(kFast);
  for (int i = 0; i < 16; ++i) game.AddElement(i % 2 == 0 ? 4 : 3, true, false);
  game.Update();
  game.AddElement(0, true, false);
  EXPECT_EQ(game.Elements().size(), 16u);
  EXPECT_EQ(game.PendingKinds(), (std::deque<int>{4}));
  EXPECT_EQ(Kinds().front(), 3);
  Frames(2);
  EXPECT_EQ(game.PendingKinds().size(), 1u);  // still no room
  ASSERT_TRUE(game.OnElementClicked(game.Elements()[5].widget));
  EXPECT_EQ(game.Elements().size(), 15u);
  game.Update();
  EXPECT_TRUE(game.PendingKinds().empty());
  EXPECT_EQ(Kinds().front(), 4);
  EXPECT_EQ(Xs().front(), 15);  // came in at 0 and slid into place
}

TEST_F(MiniGameTest, RunningOutOfControlsKeepsTheKindsWaiting) {
  Bind(3);
  Level(kFast);
  Add({0, 1, 2, 3, 4});
  EXPECT_EQ(Kinds(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(game.PendingKinds(), (std::deque<int>{3, 4}));
  game.Update();  // no free control: the refill waits, and returns
  EXPECT_EQ(game.PendingKinds().size(), 2u);
  ASSERT_TRUE(game.OnElementClicked(game.Elements()[1].widget));
  game.Update();
  EXPECT_EQ(Kinds(), (std::vector<int>{3, 0, 2}));
  EXPECT_EQ(game.PendingKinds(), (std::deque<int>{4}));
}

TEST_F(MiniGameTest, WeightsAreNormalisedPerAward) {
  Level(R"(<partparams speed="120" bonus0101="1" bonus0301="3" bonus0202="0" bonus0540="2" bonus0140="-4"
                        bonus0141="9" bonus0600="9"/>)");
  ASSERT_NE(game.Weights(0), nullptr);
  EXPECT_EQ(*game.Weights(0), (std::array<float, 5>{0.25f, 0.0f, 0.75f, 0.0f, 0.0f}));
  EXPECT_EQ(*game.Weights(1), (std::array<float, 5>{}));
  EXPECT_EQ(*game.Weights(39), (std::array<float, 5>{0.0f, 0.0f, 0.0f, 0.0f, 1.0f}));  // -4 read as 0
  EXPECT_EQ(game.Weights(2), nullptr);
  EXPECT_EQ(game.Weights(40), nullptr);
  EXPECT_EQ(game.GetSpeed(), 120.0f);
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(MiniGameTest, RandomTokensNeverMakeThreeAlikeAndZeroWeightsAddNothing) {
  Bind(16);
  Level(R"(<partparams speed="0" bonus0101="1" bonus0301="1" bonus0302="1" bonus0103="0"/>)");
  Add({2, 2});
  for (unsigned seed = 1; seed <= 200; ++seed) {
    Velk::srand(seed);
    game.AddRandomElement(0);
    ASSERT_EQ(Kinds().back(), 0) << seed;
    game.OnElementClicked(game.Elements().back().widget);
  }
  game.AddRandomElement(1);  // only the banned kind has weight: nothing, and no endless draw
  game.AddRandomElement(2);  // every weight 0
  game.AddRandomElement(7);  // no weights at all
  EXPECT_EQ(Kinds(), (std::vector<int>{2, 2}));
}

// A seed whose first draw is 0: state * 214013 + 2531011 must be 0 modulo 2^32.
unsigned SeedForZero() {
  uint32_t a = 214013, inverse = a;
  for (int i = 0; i < 5; ++i) inverse *= 2 - a * inverse;
  return static_cast<uint32_t>(0u - 2531011u) * inverse;
}

TEST_F(MiniGameTest, ADrawOfZeroSkipsKindsWithoutWeight) {
  Bind(16);
  Level(R"(<partparams bonus0201="0" bonus0401="1" bonus0501="1"/>)");
  Velk::srand(SeedForZero());
  ASSERT_EQ(Velk::rand(), 0);
  Velk::srand(SeedForZero());
  game.AddRandomElement(0);
  EXPECT_EQ(Kinds(), (std::vector<int>{3}));
}

TEST_F(MiniGameTest, DisabledTokensWaitToBeEnabledAndClicksRemoveThem) {
  Bind(16);
  Level(kFast);
  game.AddElement(0, false, false);
  game.AddElement(1, false, false);
  game.AddElement(3, false, false);
  game.Update();
  QCCandyWidget* third = game.Elements()[2].widget;
  EXPECT_FALSE(game.OnElementClicked(third));
  game.EnableElementAt(-1);
  game.EnableElementAt(3);
  EXPECT_TRUE(third->mDisabled);
  game.EnableElementAt(2);
  EXPECT_TRUE(game.OnElementClicked(third));
  EXPECT_FALSE(third->mVisible);
  EXPECT_EQ(Kinds(), (std::vector<int>{0, 1}));
  QCCandyWidget stranger(nullptr);
  EXPECT_FALSE(game.OnElementClicked(&stranger));
  EXPECT_FALSE(game.OnElementClicked(third));  // back on the free list, holding nothing
}

TEST_F(MiniGameTest, RemovalPlacesTheBurstsOfTheTokensToItsLeft) {
  Bind(16);
  Level(kFast);
  Add({0, 1, 3, 4});
  game.Update();
  std::vector<QCCandyWidget*> bursts;
  for (const auto& placed : game.Elements()) bursts.push_back(placed.effect);
  game.OnElementClicked(game.Elements()[2].widget);
  EXPECT_EQ(bursts[0]->mX, 4);
  EXPECT_EQ(bursts[0]->mY, 37);
  EXPECT_EQ(bursts[1]->mX, 36);
  EXPECT_EQ(bursts[2]->mX, 68);
  EXPECT_EQ(bursts[3]->mX, 0);  // right of the removed one: untouched
}

TEST_F(MiniGameTest, AButtonIdFindsItsToken) {
  Level(kFast);
  auto* button = new QCButton(&game, 4242, &game);
  button->SetBounds(0, 0, kTokenWidth, 32);
  game.BindControl("tray01", button);
  game.BindControl("effect_ele01", new QCCandyWidget(&game));
  Add({1});
  game.ButtonDepress(4241);
  EXPECT_EQ(game.Elements().size(), 1u);
  game.ButtonDepress(4242);
  EXPECT_TRUE(game.Elements().empty());
}

TEST_F(MiniGameTest, RushAwardsFollowTheTutorial) {
  Bind(16);
  Level(R"(<partparams speed="0" bonus0401="1"/>)");
  QCTutorial tutorial(nullptr, nullptr, nullptr);
  tutorial.StartForDay(1);  // holds the awards back
  game.AwardRushBonus(0, &tutorial);
  EXPECT_TRUE(game.Elements().empty());
  tutorial.Reset();
  game.AwardRushBonus(0, &tutorial);
  game.AwardRushBonus(0, nullptr);
  EXPECT_EQ(Kinds(), (std::vector<int>{3, 3}));
}

}  // namespace
