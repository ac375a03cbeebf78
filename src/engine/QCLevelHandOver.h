#pragma once
// What the engine asks of the current board when a level has loaded on the loading thread: the
// board base implements it and installs itself as the current board while it exists.

class QCLevelHandOver {
 public:
  // The board's loading flag: a level load it started has not been handed over yet.
  virtual bool IsLevelLoading() const = 0;
  // On the main thread, once the loading thread has finished.
  virtual void OnLevelLoaded() = 0;

 protected:
  ~QCLevelHandOver() = default;
};

// Null when there is no board. Main thread only.
void SetCurrentBoardHandOver(QCLevelHandOver* board);
QCLevelHandOver* GetCurrentBoardHandOver();
