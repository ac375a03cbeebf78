#include "platform/crash/FatalSignals.h"

#include "platform/instance/HeldLocks.h"
#include "platform/process/CloseSignals.h"
#include "platform/threads/Threads.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <ctime>
#include <execinfo.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <ucontext.h>
#include <unistd.h>

namespace Velk {

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];
constexpr uintptr_t kStackGuardReach = 64 * 1024;
constexpr size_t kAltStackSize = 256 * 1024;

std::atomic<int> gReporter{-1};
std::atomic<int> gWake{-1};
std::atomic<int> gReportWritten{-1};  // the crash thread's word that it wrote the report itself
std::atomic<bool> gReporterMissing{false};
FaultRecord gRecord;
// The thread whose fault is being reported; 0 while none is.
std::atomic<DWORD> gFaultingThread{0};
std::atomic<bool> gCaught{false};
std::atomic<uint64_t> gCaughtAtMs{0};
struct sigaction gPrevious[kSignalCount];
bool gInstalled = false;
alignas(16) char gAltStack[kAltStackSize];

void ReadRegisters(const ucontext_t* context, FaultRecord& record) {
#if defined(__x86_64__)
  const greg_t* g = context->uc_mcontext.gregs;
  FaultRegisters& r = record.registers;
  r.eax = static_cast<uint64_t>(g[REG_RAX]);
  r.ebx = static_cast<uint64_t>(g[REG_RBX]);
  r.ecx = static_cast<uint64_t>(g[REG_RCX]);
  r.edx = static_cast<uint64_t>(g[REG_RDX]);
  r.esi = static_cast<uint64_t>(g[REG_RSI]);
  r.edi = static_cast<uint64_t>(g[REG_RDI]);
  r.eip = static_cast<uint64_t>(g[REG_RIP]);
  r.esp = static_cast<uint64_t>(g[REG_RSP]);
  r.ebp = static_cast<uint64_t>(g[REG_RBP]);
  uint64_t segments = static_cast<uint64_t>(g[REG_CSGSFS]);
  r.cs = static_cast<WORD>(segments);
  r.gs = static_cast<WORD>(segments >> 16);
  r.fs = static_cast<WORD>(segments >> 32);
  r.ss = static_cast<WORD>(segments >> 48);
  r.flags = static_cast<uint32_t>(g[REG_EFL]);
#elif defined(__i386__)
  const greg_t* g = context->uc_mcontext.gregs;
  FaultRegisters& r = record.registers;
  r.eax = static_cast<uint32_t>(g[REG_EAX]);
  r.ebx = static_cast<uint32_t>(g[REG_EBX]);
  r.ecx = static_cast<uint32_t>(g[REG_ECX]);
  r.edx = static_cast<uint32_t>(g[REG_EDX]);
  r.esi = static_cast<uint32_t>(g[REG_ESI]);
  r.edi = static_cast<uint32_t>(g[REG_EDI]);
  r.eip = static_cast<uint32_t>(g[REG_EIP]);
  r.esp = static_cast<uint32_t>(g[REG_ESP]);
  r.ebp = static_cast<uint32_t>(g[REG_EBP]);
  r.cs = static_cast<WORD>(g[REG_CS]);
  r.ss = static_cast<WORD>(g[REG_SS]);
  r.ds = static_cast<WORD>(g[REG_DS]);
  r.es = static_cast<WORD>(g[REG_ES]);
  r.fs = static_cast<WORD>(g[REG_FS]);
  r.gs = static_cast<WORD>(g[REG_GS]);
  r.flags = static_cast<uint32_t>(g[REG_EFL]);
#else
  (void)context;
  (void)record;
#endif
}

// The unwinder starts inside this handler; the report starts at the faulting instruction.
void ReadStack(FaultRecord& record) {
  void* frames[FaultRecord::kMaxFrames];
  int count = backtrace(frames, FaultRecord::kMaxFrames);
  int first = 0;
  while (first < count && reinterpret_cast<uintptr_t>(frames[first]) != record.address) ++first;
  if (first == count) {
    record.frames[0] = record.address;
    record.frameCount = record.address ? 1 : 0;
    return;
  }
  for (int i = first; i < count; ++i) record.frames[record.frameCount++] = reinterpret_cast<uintptr_t>(frames[i]);
}

uint64_t MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

// The default action, at once: the signal is unblocked with nothing left to catch it.
[[noreturn]] void EndBySignal(int signal) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal);
  raise(signal);
  pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
  _exit(128 + signal);  // not reached
}

// Whether `descriptor` becomes readable within `timeoutMs` (-1: however long it takes).
bool AwaitReadable(int descriptor, int timeoutMs) {
  const uint64_t deadline = MonotonicMs() + static_cast<uint64_t>(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    int wait = -1;
    if (timeoutMs >= 0) {
      const uint64_t now = MonotonicMs();
      wait = now >= deadline ? 0 : static_cast<int>(deadline - now);
    }
    pollfd readable{descriptor, POLLIN, 0};
    const int ready = poll(&readable, 1, wait);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0;
  }
}

// One reply of the reporter within `timeoutMs` (-1: however long it takes); false when none comes,
// or the reporter has gone.
bool AwaitReply(int reporter, int timeoutMs, char& reply) {
  return AwaitReadable(reporter, timeoutMs) && recv(reporter, &reply, 1, 0) == 1;
}

// The reporter takes the record within the watchdog's time, then answers once the report is done;
// false when it never took it.
bool AwaitReport(int reporter) {
  char reply = 0;
  if (!AwaitReply(reporter, kReporterWatchdogMs, reply)) return false;
  while (reply != kFaultReported && AwaitReply(reporter, -1, reply)) {
  }
  return true;
}

// One 8-byte write: what wakes the reader of an event descriptor.
void Post(int descriptor) {
  const uint64_t one = 1;
  if (descriptor >= 0) [[maybe_unused]]
    ssize_t written = write(descriptor, &one, sizeof one);
}

void Wake() { Post(gWake.load()); }

// Only calls that are safe in a signal handler: the locks go with close, the close signals with
// sigaction, the stack is read by the unwinder loaded at installation, the record goes out with send,
// and the wait is poll and recv.
void OnFatalSignal(int signal, siginfo_t* info, void* rawContext) {
  const int savedErrno = errno;
  const DWORD self = GetCurrentThreadId();
  DWORD reporting = 0;
  if (!gFaultingThread.compare_exchange_strong(reporting, self)) {
    if (reporting == self) EndBySignal(signal);  // a fault while this thread reports its own
    WaitForFatalEnd();
  }
  gCaught = true;
  // A crashed process writes nothing of the user's any more, though its report may stay up for long:
  // a new start may run meanwhile, and a close signal ends the process (the report with it) at once,
  // with the plain actions a forked child takes, set by calls as safe here.
  HeldLocks::ReleaseAll();
  CloseSignals::MakePlainInForkedChild();
  FaultRecord& record = gRecord;
  record = FaultRecord{};
  record.signal = signal;
  record.processId = getpid();
  record.clockMs = MonotonicMs();
  gCaughtAtMs = record.clockMs;
  ReadRegisters(static_cast<const ucontext_t*>(rawContext), record);
  record.address = static_cast<uintptr_t>(record.registers.eip);
  record.exceptionCode =
      ExceptionCodeForSignal(signal, info ? info->si_code : 0, info ? reinterpret_cast<uintptr_t>(info->si_addr) : 0,
                             static_cast<uintptr_t>(record.registers.esp));
  record.threadId = self;
  ReadStack(record);
  const int reporter = gReporter.load();
  const bool sent =
      reporter >= 0 && send(reporter, &record, sizeof record, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof record);
  gReporterMissing = !sent;
  Wake();
  if (!sent || !AwaitReport(reporter)) {
    gReporterMissing = true;
    if (sent) Wake();
    AwaitReadable(gReportWritten.load(), kCrashThreadWaitMs);
  }
  errno = savedErrno;
  EndBySignal(signal);
}

}  // namespace

DWORD ExceptionCodeForSignal(int signal, int signalCode, uintptr_t faultAddress, uintptr_t stackPointer) {
  switch (signal) {
    case SIGSEGV:
      if (faultAddress + kStackGuardReach >= stackPointer && faultAddress <= stackPointer + kStackGuardReach &&
          signalCode == SEGV_MAPERR)
        return EXCEPTION_STACK_OVERFLOW;
      return EXCEPTION_ACCESS_VIOLATION;
    case SIGBUS:
      return signalCode == BUS_ADRALN ? EXCEPTION_DATATYPE_MISALIGNMENT : EXCEPTION_IN_PAGE_ERROR;
    case SIGILL:
      return signalCode == ILL_PRVOPC || signalCode == ILL_PRVREG ? EXCEPTION_PRIV_INSTRUCTION
                                                                  : EXCEPTION_ILLEGAL_INSTRUCTION;
    case SIGFPE:
      switch (signalCode) {
        case FPE_INTDIV:
          return EXCEPTION_INT_DIVIDE_BY_ZERO;
        case FPE_INTOVF:
          return EXCEPTION_INT_OVERFLOW;
        case FPE_FLTDIV:
          return EXCEPTION_FLT_DIVIDE_BY_ZERO;
        case FPE_FLTOVF:
          return EXCEPTION_FLT_OVERFLOW;
        case FPE_FLTUND:
          return EXCEPTION_FLT_UNDERFLOW;
        case FPE_FLTRES:
          return EXCEPTION_FLT_INEXACT_RESULT;
        case FPE_FLTSUB:
          return EXCEPTION_ARRAY_BOUNDS_EXCEEDED;
        default:
          return EXCEPTION_FLT_INVALID_OPERATION;
      }
    default:
      return STATUS_FATAL_APP_EXIT;
  }
}

void InstallFatalSignalHandler(int reporter, int wake) {
  gReporter = reporter;
  gWake = wake;
  if (gInstalled) return;
  if (gReportWritten.load() < 0) gReportWritten = eventfd(0, EFD_CLOEXEC);
  // The unwinder loads lazily; loading it here keeps that out of the handler.
  void* warmUp[1];
  backtrace(warmUp, 1);
  stack_t altStack{};
  altStack.ss_sp = gAltStack;
  altStack.ss_size = sizeof gAltStack;
  sigaltstack(&altStack, nullptr);
  struct sigaction action {};
  action.sa_sigaction = OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &action, &gPrevious[i]);
  gInstalled = true;
}

void RemoveFatalSignalHandler() {
  if (!gInstalled) return;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
  gReporter = -1;
  gWake = -1;
  gInstalled = false;
}

const FaultRecord& CaughtFault() { return gRecord; }

bool ReporterMissing() { return gReporterMissing.load(); }

void FaultReportWritten() { Post(gReportWritten.load()); }

bool FatalSignalCaught() { return gCaught.load(); }

uint64_t MsSinceFatalSignal() {
  const uint64_t caught = gCaughtAtMs.load();
  return caught == 0 ? 0 : MonotonicMs() - caught;
}

void WaitForFatalEnd() {
  for (;;) pause();
}

}  // namespace Velk
