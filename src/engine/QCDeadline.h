#pragma once
// The game clock and the waits measured on it. The clock advances only by the board's frame step
// (`dt`, 0 while the board is paused), so pausing the board freezes every wait at once.
//
// Every QCDeadline alive is in one process-wide list so that a level start can reset them all. The
// list has a lock: objects owning deadlines are made and destroyed on the main thread and on the
// level-loading thread.

float GetGameClock();
float GetGameDt();
// The board's frame step sets it each frame.
void SetGameDt(float dt);
// Game clock += dt; once per board frame step.
void AdvanceGameClock();
// Game clock := 0, and every live deadline's end := 0.
void ResetAllDeadlines();

class QCDeadline {
 public:
  QCDeadline();
  // A copy has the same end and is a list member of its own.
  QCDeadline(const QCDeadline& other);
  QCDeadline& operator=(const QCDeadline& other);
  ~QCDeadline();

  // end := game clock + seconds (a running deadline is restarted, not extended).
  void StartDeadline(float seconds);
  void ExtendDeadline(float seconds);
  // Negative once passed.
  float DeadlineRemaining() const;
  // Game clock < end, strictly.
  bool DeadlineRunning() const;
  float GetEnd() const { return mEnd; }

 private:
  friend void ResetAllDeadlines();
  void Link();

  QCDeadline* mPrev = nullptr;
  QCDeadline* mNext = nullptr;
  float mEnd = 0.0f;
};
