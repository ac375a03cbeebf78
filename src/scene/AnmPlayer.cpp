#include "scene/AnmPlayer.h"

#include <algorithm>
#include <cstdio>

#include "app/VelkAppBase.h"
#include "engine/EngineUtil.h"
#include "engine/QCDeadline.h"
#include "engine/QCEffect.h"
#include "engine/QCTimer.h"
#include "fonts/TruncToInt.h"
#include "graphics/MemoryImage.h"
#include "scene/AnmFileCache.h"
#include "scene/LevelLog.h"

namespace {

constexpr int kAnmTimer = 1;
// Ids of the three controls of the player's timer.
constexpr int kProgressControl = 0;
constexpr int kFinishedControl = 1;
constexpr int kSeekControl = 2;
constexpr int kMaxVariants = 9;

const AnmSequence* SequenceOf(QCEffect* effect) {
  return static_cast<const AnmSequence*>(effect->EffectGetParam(kParamSequence));
}

void SetFrame(QCEffect* effect, int frame) {
  if (int* current = static_cast<int*>(effect->EffectGetParam(kParamFrame))) *current = frame;
}

void SetDone(QCEffect* effect) {
  if (bool* done = static_cast<bool*>(effect->EffectGetParam(kParamOffset))) *done = true;
}

TimerControl MakeControl(QCEffect* owner, int id, uint32_t type, float start, float end, EffectCallback function,
                         bool active) {
  TimerControl c;
  c.flags = type | kControlHasFunction;
  c.id = id;
  c.start = start;
  c.end = end;
  c.function = function;
  c.active = active;
  c.owner = owner;
  return c;
}

// Sets the timer's time by running it there from its start, so that the progress control is entered
// on the way: a run that continues from a kept time still makes its closing call at the end.
void MoveTimerTo(QCTimer* timer, double t) {
  timer->TimerRewind();
  const double start = timer->GetTime();
  timer->TimerStep(t >= start ? t - start : start - t);
}

}  // namespace

int AnmFrameFromProgress(void* argument) {
  const TimerCall* record = static_cast<const TimerCall*>(argument);
  const AnmSequence* seq = SequenceOf(record->owner);
  if (seq && seq->frameCount >= 1)
    SetFrame(record->owner, Velk::TruncToInt(static_cast<float>(seq->frameCount - 1) * record->value));
  return 1;
}

int AnmMarkFinished(void* argument) {
  const TimerCall* record = static_cast<const TimerCall*>(argument);
  SetDone(record->owner);
  return 1;
}

int AnmSeekControl(void* argument) {
  const TimerCall* record = static_cast<const TimerCall*>(argument);
  SetDone(record->owner);
  if (const AnmSequence* seq = SequenceOf(record->owner))
    SetFrame(record->owner, Velk::TruncToInt(static_cast<float>(seq->fps) * record->value));
  return 1;
}

void BuildAnimationTimers(QCEffect* effect, int timerCount, const QCAnimTimerDesc* timers, const int* controlCounts,
                          const TimerControl* controls) {
  for (int i = 0; i < timerCount; ++i) {
    if (!effect->EffectAddTimer(timers[i].id)) continue;
    QCTimer* timer = effect->EffectGetTimer(timers[i].id);
    timer->TimerSetDesc(timers[i].desc);
    for (int c = 0; c < controlCounts[i]; ++c) timer->TimerAddControl(controls[c]);
  }
}

AnmPlayer::AnmPlayer(QCAnmOwner* owner) : mEffect(new QCEffect()), mOwner(owner) {
  QCAnimTimerDesc timer;
  timer.id = kAnmTimer;
  timer.desc.mask = kDescFtime | kDescDirection | kDescType;
  timer.desc.ftime = 0.0f;
  timer.desc.direction = kTimerForward;
  timer.desc.type = kTimerUsual;
  timer.desc.state = 0;
  const TimerControl controls[] = {
      MakeControl(mEffect, kProgressControl, kControlRange, 0.0f, 0.0f, &AnmFrameFromProgress, false),
      MakeControl(mEffect, kFinishedControl, kControlPoint, 0.0f, 0.0f, &AnmMarkFinished, false),
      MakeControl(mEffect, kSeekControl, kControlPoint, 0.0f, 0.0f, &AnmSeekControl, false),
  };
  const int counts[] = {3};
  BuildAnimationTimers(mEffect, 1, &timer, counts, controls);
  mEffect->EffectSetParam(kParamFrame, &mCurrentFrame);
  mEffect->EffectSetParam(kParamSequence, nullptr);
  mEffect->EffectSetParam(kParamOffset, &mFinished);
}

AnmPlayer::~AnmPlayer() { delete mEffect; }

bool AnmPlayer::Load(const std::string& name) {
  std::shared_ptr<const AnmFile> file = AnmFileCache::Get(name);
  if (!file) return false;
  mEffect->EffectSetParam(kParamSequence, nullptr);
  mFile = std::move(file);
  mImages.assign(Entries().size(), Velk::SharedImageHandle());
  mVariants.clear();
  mLoaded = true;
  CancelStopFrame();
  if (ValidIndex(mCurrentEntry))
    PlaySequence(mCurrentEntry, false);
  else
    mCurrentEntry = -1;
  return true;
}

const std::vector<AnmEntry>& AnmPlayer::Entries() const {
  static const std::vector<AnmEntry> kNone;
  return mFile ? mFile->Entries() : kNone;
}

bool AnmPlayer::ValidIndex(int index) const { return index >= 0 && static_cast<size_t>(index) < Entries().size(); }

const AnmSequence* AnmPlayer::CurrentSequence() const {
  return ValidIndex(mCurrentEntry) ? Entries()[static_cast<size_t>(mCurrentEntry)].sequence.get() : nullptr;
}

int AnmPlayer::FindSequence(const std::string& name) const {
  const auto& entries = Entries();
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].name == name) return static_cast<int>(i);
  return -1;
}

void AnmPlayer::CollectVariants(const std::string& name) {
  if (mVariants.count(name)) return;
  std::vector<int>& found = mVariants[name];
  for (int i = 1; i <= kMaxVariants; ++i) {
    char suffix[4];
    std::snprintf(suffix, sizeof suffix, "%02d", i);
    int index = FindSequence(name + suffix);
    if (index < 0) break;
    found.push_back(index);
  }
}

int AnmPlayer::PickVariant(const std::string& name) const {
  auto it = mVariants.find(name);
  if (it == mVariants.end() || it->second.empty()) return -1;
  const std::vector<int>& found = it->second;
  if (found.size() == 1) return found[0];
  return found[static_cast<size_t>(RandomInt(0, static_cast<int>(found.size()) - 1))];
}

bool AnmPlayer::PlayByName(const std::string& name, bool keepTime) {
  if (!mLoaded || name.empty()) return false;
  int index = FindSequence(name);
  if (index < 0) {
    CollectVariants(name);
    index = PickVariant(name);
    if (index < 0) return false;
  }
  StartNamed(index, keepTime);
  return true;
}

void AnmPlayer::StartNamed(int index, bool keepTime) {
  if (!keepTime) Stop();
  PlaySequence(index, keepTime);
  mState = kPlaying;
}

void AnmPlayer::PlayVariant(const std::string& name) {
  int index = PickVariant(name);
  if (index >= 0) PlaySequence(index, true);
}

double AnmPlayer::GetTime() const { return mEffect->EffectGetTimer(kAnmTimer)->GetTime(); }

void AnmPlayer::PlaySequence(int index, bool keepTime) {
  if (!ValidIndex(index)) return;
  QCTimer* timer = mEffect->EffectGetTimer(kAnmTimer);
  double t0 = 0.0;
  if (keepTime)
    t0 = timer->GetTime();
  else
    mCurrentFrame = 0;
  const AnmEntry& entry = Entries()[static_cast<size_t>(index)];
  FetchImage(index);

  const AnmSequence& seq = *entry.sequence;
  const bool runs = seq.fps != 0 && seq.frameCount > 1;
  const float duration = runs ? static_cast<float>(seq.frameCount) / static_cast<float>(seq.fps) : 0.0f;
  if (keepTime && duration < t0) t0 = 0.0;
  const bool backward = seq.loopMode == kAnmOnceBackward;

  TimerDesc desc;
  desc.mask = kDescFtime | kDescDirection | kDescType;
  desc.ftime = duration;
  desc.direction = backward ? kTimerBackward : kTimerForward;
  desc.type = seq.loopMode == kAnmLoop ? kTimerCycle : kTimerUsual;
  desc.state = duration > 0.0f ? 1 : 0;
  timer->TimerSetDesc(desc);

  timer->TimerReplaceControl(
      MakeControl(mEffect, kProgressControl, kControlRange, 0.0f, duration, &AnmFrameFromProgress, duration > 0.0f));
  // A backward run ends at time 0, where its finished mark belongs.
  const float finishAt = backward ? 0.0f : duration;
  const bool reportsEnd = seq.loopMode != kAnmLoop && seq.frameCount > 1 && duration > 0.0f;
  timer->TimerReplaceControl(
      MakeControl(mEffect, kFinishedControl, kControlPoint, finishAt, finishAt, &AnmMarkFinished, reportsEnd));
  mEffect->EffectSetParam(kParamSequence, const_cast<AnmSequence*>(&seq));
  mCurrentEntry = index;
  if (keepTime && t0 > 0.0) MoveTimerTo(timer, t0);
}

void AnmPlayer::Update(bool& finished) {
  finished = false;
  if (mState != kPlaying) return;
  mEffect->EffectUpdate(GetGameDt());
  const AnmSequence* seq = CurrentSequence();
  if (mStopFrame >= 0 && mFinished && seq && seq->fps > 0) {
    QCTimer* timer = mEffect->EffectGetTimer(kAnmTimer);
    const double stopTime = static_cast<double>(mStopFrame + 1) / seq->fps;
    CancelStopFrame();
    MoveTimerTo(timer, stopTime);
    mState = kPaused;
    timer->TimerSetState(0);
  }
  finished = mFinished;
  mFinished = false;
}

bool AnmPlayer::Stop() {
  if (mState != kPlaying && mState != kPaused) return false;
  CancelStopFrame();
  mState = kStopped;
  QCTimer* timer = mEffect->EffectGetTimer(kAnmTimer);
  if (timer->GetFtime() > 0.0f && mOwner) {
    const AnmEntry* entry = ValidIndex(mCurrentEntry) ? &Entries()[static_cast<size_t>(mCurrentEntry)] : nullptr;
    mOwner->OnAnmStopped(entry ? entry->name : std::string());
  }
  timer->TimerSetControlActive(kProgressControl, false);
  timer->TimerSetControlActive(kFinishedControl, false);
  timer->TimerSetState(0);
  timer->TimerRewind();
  return true;
}

bool AnmPlayer::Pause() {
  if (mState != kPlaying) return false;
  mState = kPaused;
  mEffect->EffectGetTimer(kAnmTimer)->TimerSetState(0);
  return true;
}

bool AnmPlayer::Resume() {
  if (mState != kPaused) return false;
  mState = kPlaying;
  mEffect->EffectGetTimer(kAnmTimer)->TimerSetState(1);
  return true;
}

void AnmPlayer::Rewind(int index) {
  if (!ValidIndex(index)) return;
  mEffect->EffectGetTimer(kAnmTimer)->TimerRewind();
  CancelStopFrame();
}

void AnmPlayer::SetSeekControl(bool active, float time) {
  mEffect->EffectGetTimer(kAnmTimer)->TimerReplaceControl(
      MakeControl(mEffect, kSeekControl, kControlPoint, time, time, &AnmSeekControl, active));
}

bool AnmPlayer::StopAtFrame(int frame) {
  const AnmSequence* seq = CurrentSequence();
  if (!mLoaded || !seq || frame < 0 || frame > seq->frameCount || seq->fps <= 0) return false;
  SetSeekControl(true, static_cast<float>(frame) / static_cast<float>(seq->fps));
  mStopFrame = frame;
  return true;
}

void AnmPlayer::CancelStopFrame() {
  SetSeekControl(false, 0.0f);
  mStopFrame = -1;
}

const AnmFrame* AnmPlayer::GetCurrentFrame() const {
  const AnmSequence* seq = CurrentSequence();
  if ((mState != kPlaying && mState != kPaused) || !seq || seq->frames.empty()) return nullptr;
  // A seek past the run's last frame shows the last one.
  int frame = std::clamp(mCurrentFrame, 0, seq->frameCount - 1);
  return &seq->frames[static_cast<size_t>(frame)];
}

const AnmEntry* AnmPlayer::GetCurrentEntry() const {
  if ((mState != kPlaying && mState != kPaused) || !ValidIndex(mCurrentEntry)) return nullptr;
  return &Entries()[static_cast<size_t>(mCurrentEntry)];
}

Velk::MemoryImage* AnmPlayer::GetCurrentImage() const {
  return ValidIndex(mCurrentEntry) ? mImages[static_cast<size_t>(mCurrentEntry)].GetImage() : nullptr;
}

float AnmPlayer::GetDuration() const {
  const AnmSequence* seq = CurrentSequence();
  if (!seq || seq->fps == 0) return 0.0f;
  return static_cast<float>(seq->frameCount) / static_cast<float>(seq->fps);
}

void AnmPlayer::FetchImage(int index) {
  const AnmEntry& entry = Entries()[static_cast<size_t>(index)];
  Velk::SharedImageHandle& image = mImages[static_cast<size_t>(index)];
  if (image.GetImage() || !Velk::gVelkApp) return;
  bool isNew = false;
  image = Velk::gVelkApp->GetSharedImage(entry.imageFile, "", &isNew);
  if (isNew) DropPixelsAfterUpload(Velk::gVelkApp, image.GetImage());
  // The entry then shows nothing; every player of the file would find the same.
  if (!image.GetImage())
    LevelLogOnce("picture " + entry.imageFile, "scene: cannot read the picture %s", entry.imageFile.c_str());
}

const AnmEntry* AnmPlayer::GetEntry(int index) const {
  return ValidIndex(index) ? &Entries()[static_cast<size_t>(index)] : nullptr;
}

Velk::MemoryImage* AnmPlayer::GetEntryImage(int index) const {
  return ValidIndex(index) ? mImages[static_cast<size_t>(index)].GetImage() : nullptr;
}

void AnmPlayer::FetchImages(const std::string& key) {
  const auto& entries = Entries();
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].name.find(key) != std::string::npos) FetchImage(static_cast<int>(i));
}

bool AnmPlayer::HasEntryStartingWith(const std::string& prefix) const {
  const auto& entries = Entries();
  return std::any_of(entries.begin(), entries.end(),
                     [&prefix](const AnmEntry& entry) { return entry.name.rfind(prefix, 0) == 0; });
}

void AnmPlayer::HandOverImages(std::vector<Velk::SharedImageHandle>& out) {
  for (Velk::SharedImageHandle& image : mImages) {
    if (!image.GetImage()) continue;
    out.push_back(image);
    image.Release();
  }
}
