#include "engine/QCDeadline.h"

#include <mutex>

namespace {

float gGameClock = 0.0f;
float gDt = 0.0f;

std::mutex gListLock;
QCDeadline* gFirst = nullptr;
QCDeadline* gLast = nullptr;

}  // namespace

float GetGameClock() { return gGameClock; }
float GetGameDt() { return gDt; }
void SetGameDt(float dt) { gDt = dt; }
void AdvanceGameClock() { gGameClock += gDt; }

void ResetAllDeadlines() {
  std::lock_guard<std::mutex> guard(gListLock);
  gGameClock = 0.0f;
  for (QCDeadline* d = gFirst; d; d = d->mNext) d->mEnd = 0.0f;
}

QCDeadline::QCDeadline() { Link(); }

QCDeadline::QCDeadline(const QCDeadline& other) : mEnd(other.mEnd) { Link(); }

QCDeadline& QCDeadline::operator=(const QCDeadline& other) {
  mEnd = other.mEnd;
  return *this;
}

void QCDeadline::Link() {
  std::lock_guard<std::mutex> guard(gListLock);
  mPrev = gLast;
  (gLast ? gLast->mNext : gFirst) = this;
  gLast = this;
}

QCDeadline::~QCDeadline() {
  std::lock_guard<std::mutex> guard(gListLock);
  (mPrev ? mPrev->mNext : gFirst) = mNext;
  (mNext ? mNext->mPrev : gLast) = mPrev;
}

void QCDeadline::StartDeadline(float seconds) { mEnd = gGameClock + seconds; }
void QCDeadline::ExtendDeadline(float seconds) { mEnd += seconds; }
float QCDeadline::DeadlineRemaining() const { return mEnd - gGameClock; }
bool QCDeadline::DeadlineRunning() const { return gGameClock < mEnd; }
