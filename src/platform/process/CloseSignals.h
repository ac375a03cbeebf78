#pragma once
// SIGTERM, SIGINT and SIGHUP (a kill, Ctrl+C, a closed terminal or session) ask the program to
// close, as the window's close box does, so that it shuts down and writes its settings. The
// handler only raises a flag and wakes whoever watches CaughtFd; the message pump turns the flag
// into WM_CLOSE. Signals soon after the first are the same request sent twice (a service manager
// sends SIGTERM and SIGHUP together; a timeout signals the process, then its group); a signal that
// comes later, while that close runs, ends the process at once.
// A signal goes to a thread that lets it in. A thread that waits in a call the system restarts after
// a handler (as waitpid and read are) keeps the signals out: a sanitizer defers the handler of a
// signal that comes there until the call returns, and the close would wait as long.

namespace Velk {

class CloseSignals {
 public:
  // Takes the three signals over, until Remove gives them back.
  static void Install();
  static void Remove();
  // True once for each close that signals asked for since.
  static bool TakeRequest();
  // Keeps a taken request pending, when there was no window to close yet.
  static void PutBack();
  // Readable from the first signal until Remove, so that a wait can end on it; -1 before Install.
  static int CaughtFd();

  // How long after the first signal another one still joins its request.
  static constexpr int kSameRequestMs = 500;

  // A set of the three signals, one bit each.
  static constexpr unsigned kAll = 7;
  // Keeps the signals out of the calling thread; answers those of them it let in before, for
  // LetIntoThisThread to give back (none when the thread's mask could not be changed).
  static unsigned KeepOutOfThisThread();
  // False when the thread's mask could not be changed.
  static bool LetIntoThisThread(unsigned which = kAll);
  // In a process just forked: the signals' plain actions, let in. Only calls that are safe there.
  // False when any of it could not be done.
  static bool MakePlainInForkedChild();
};

}  // namespace Velk
