#pragma once
// Plays the animations of one animation file for an item part: one entry at a time, on a timer of
// the player's own effect, with random numbered variants of a name (walk -> walk01 ... walk09),
// keep-time replays and stop-at-frame.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/SharedImageHandle.h"
#include "scene/AnmFile.h"

#include "engine/QCTimer.h"

class QCEffect;

// Told when a playing animation is stopped; the item part implements it.
class QCAnmOwner {
 public:
  virtual ~QCAnmOwner() = default;
  virtual void OnAnmStopped(const std::string& anim) = 0;
};

// The timer callbacks of the player's effect; their addresses go straight into its controls.
// Each takes the timer's TimerCall.
int AnmFrameFromProgress(void* call);
int AnmMarkFinished(void* call);
int AnmSeekControl(void* call);

// A timer of an animation effect: its id and how it is set up.
struct QCAnimTimerDesc {
  int id = 0;
  TimerDesc desc;
};

// Adds each timer with its descriptor and the first controlCounts[i] controls of the shared array.
void BuildAnimationTimers(QCEffect* effect, int timerCount, const QCAnimTimerDesc* timers, const int* controlCounts,
                          const TimerControl* controls);

class AnmPlayer {
 public:
  enum State { kIdle = 0, kPlaying = 1, kPaused = 2, kStopped = 3 };

  explicit AnmPlayer(QCAnmOwner* owner);
  ~AnmPlayer();
  AnmPlayer(const AnmPlayer&) = delete;
  AnmPlayer& operator=(const AnmPlayer&) = delete;

  // Reads "anm\<name>.anm". A missing or damaged file answers false and keeps the previous one.
  bool Load(const std::string& name);
  int FindSequence(const std::string& name) const;
  bool PlayByName(const std::string& name, bool keepTime);
  int PickVariant(const std::string& name) const;
  void PlayVariant(const std::string& name);
  void PlaySequence(int index, bool keepTime);
  void Update(bool& finished);
  bool Stop();
  bool Pause();
  bool Resume();
  void Rewind(int index);
  bool StopAtFrame(int frame);
  void CancelStopFrame();

  const AnmFrame* GetCurrentFrame() const;
  const AnmEntry* GetCurrentEntry() const;
  // The current entry's image strip (empty until it is first played, or when it cannot be read).
  Velk::MemoryImage* GetCurrentImage() const;
  float GetDuration() const;

  State GetState() const { return mState; }
  int GetCurrentIndex() const { return mCurrentEntry; }
  int GetCurrentFrameIndex() const { return mCurrentFrame; }
  bool IsLoaded() const { return mLoaded; }
  QCEffect* GetEffect() const { return mEffect; }
  double GetTime() const;

  // For the item parts: an entry and its image by index (null when out of range or not loaded),
  // fetching ahead the images of the entries whose names contain `key`, and handing every fetched
  // image over to a caller that releases them later.
  const AnmEntry* GetEntry(int index) const;
  Velk::MemoryImage* GetEntryImage(int index) const;
  void FetchImages(const std::string& key);
  // True when an entry's name begins with `prefix`.
  bool HasEntryStartingWith(const std::string& prefix) const;
  void HandOverImages(std::vector<Velk::SharedImageHandle>& out);

 private:
  void FetchImage(int index);

  bool ValidIndex(int index) const;
  const AnmSequence* CurrentSequence() const;
  void CollectVariants(const std::string& name);
  void StartNamed(int index, bool keepTime);
  void SetSeekControl(bool active, float time);

  const std::vector<AnmEntry>& Entries() const;

  std::shared_ptr<const AnmFile> mFile;  // shared with the other players of the same file
  bool mLoaded = false;
  // Beside the entries: each entry's image, fetched at its first play.
  std::vector<Velk::SharedImageHandle> mImages;
  int mCurrentEntry = -1;
  std::map<std::string, std::vector<int>> mVariants;
  State mState = kIdle;
  int mCurrentFrame = 0;
  QCEffect* mEffect = nullptr;
  QCAnmOwner* mOwner;
  bool mFinished = false;
  int mStopFrame = -1;
};
