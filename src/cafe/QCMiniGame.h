#pragma once
// The match-three strip inside the HUD. Rush-bonus stages drop tokens of five kinds onto the tray;
// they slide to the left and pack against each other; the player may click one away, and three or
// more alike lying together at rest vanish and pay their kind's reward on the board.
//
// The tray works on the positions and widths of the widgets the dialog binds as "tray..." (the
// tokens) and "effect_ele..." (their bursts), whatever their classes.

#include <array>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "engine/QCDialog.h"
#include "engine/QCTexture.h"

class QCTutorial;

// Where the mini-game's chains pay out.
class QCMiniGameRewards {
 public:
  virtual void ApplyMiniGameReward(int kind, int count) = 0;

 protected:
  ~QCMiniGameRewards() = default;
};

class QCMiniGame : public QCDialog {
 public:
  enum Kind { kCoins = 0, kClean = 1, kIce = 2, kHappy = 3, kSpeed = 4, kKinds = 5 };
  static constexpr int kMaxElements = 16;
  static constexpr int kAwardIndexes = 40;
  static constexpr int kElementY = 54;
  static constexpr int kFirstX = 15;
  static constexpr int kEffectDx = 11;
  static constexpr int kEffectDy = 17;

  // A token's three images and its kind.
  struct Element {
    Element() = default;
    Element(const Element& other) = default;
    Element& operator=(const Element& other) = default;
    ~Element();

    QCTextureRef normal;
    QCTextureRef selected;  // "_s"
    QCTextureRef effect;    // "_e"
    int kind = 0;
  };

  struct Placed {
    float x;
    QCCandyWidget* widget;
    Element record;
    QCCandyWidget* effect;
  };

  // Builds the dialog "minigame" of the ui description (none with a null root).
  QCMiniGame(QCCandyWidget* parent, QCEngine* app, QCMiniGameRewards* rewards, IXMLDOMNode* uiRoot);
  ~QCMiniGame() override;

  void Update() override;
  void OnShowHook() override;
  void OnHideHook() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  // A token's button was pressed.
  void ButtonDepress(int id) override;

  // The level's weights and slide speed from its "partparams", kept for the level start. Leaves the
  // widgets alone: the board calls Reset when the level starts.
  void ReadLevel(IXMLDOMNode* levelNode);
  // Empties the tray (no effects), forgets the waiting kinds and takes the level's settings and
  // the kinds' images.
  void Reset();
  void AddElement(int kind, bool enabled, bool atFront);
  // A token drawn by the award's weights; never a third alike next to two at the right end.
  void AddRandomElement(int awardIndex);
  // Position counted from the left from 0.
  void EnableElementAt(int position);
  // False when the widget holds no token that may be clicked.
  bool OnElementClicked(QCCandyWidget* widget);
  // A rush-bonus stage fired: the tutorial's prepared token while it has one, else a random one;
  // nothing while the tutorial holds the awards back.
  void AwardRushBonus(int stageIndex, QCTutorial* tutorial);

  const std::vector<Placed>& Elements() const { return mElements; }
  const std::deque<int>& PendingKinds() const { return mPending; }
  const std::array<float, kKinds>* Weights(int awardIndex) const;
  float GetSpeed() const { return mSpeed; }

 private:
  enum class Removal { kHidden, kClick, kChain };

  void Remove(size_t index, Removal reason);
  void Chain(size_t first, size_t count);
  void Refill();
  // Slides every token one frame and answers the first chain of resting tokens, if any.
  bool Slide(size_t& chainFirst, size_t& chainCount);
  void ReadWeights(IXMLDOMNode* params);
  void LoadKindImages();
  int DrawKind(const std::array<float, kKinds>& weights, int banned) const;

  QCMiniGameRewards* mRewards;
  std::vector<Placed> mElements;  // left to right
  std::deque<QCCandyWidget*> mFreeElements;
  std::deque<QCCandyWidget*> mFreeEffects;
  std::deque<int> mPending;
  std::map<int, std::array<float, kKinds>> mWeights;
  std::map<int, std::array<float, kKinds>> mLevelWeights;  // written by the level thread
  QCTextureRef mImages[3][kKinds];                         // normal, "_e", "_s"
  float mSpeed = 0.0f;
  float mLevelSpeed = 0.0f;  // written by the level thread
};
