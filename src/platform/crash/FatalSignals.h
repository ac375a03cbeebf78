#pragma once
// Unhandled faults: the fatal signals are caught on an alternate stack and described the way the
// exception filter saw them (an exception code, the faulting instruction, the registers and the
// stack). The handler lets go of the locks that keep the user's files to this process (HeldLocks)
// and lets a close signal end the process at once; beyond that it only records: the record goes, as
// one message, to the descriptor of the crash reporter given at installation, and a second
// descriptor wakes the process's own crash thread. The faulting thread then waits for the reporter's
// answer and the process ends by the signal with its default action, as the system would end it.
// When the reporter cannot take the record (gone, or silent past its watchdog), the crash thread is
// woken again to write the report itself, and the faulting thread gives it kCrashThreadWaitMs before
// the signal ends the process. A fault on another thread while one is being reported waits too; it
// starts no second report.
#include "platform/base/WinTypes.h"

#include <cstdint>

namespace Velk {

constexpr DWORD EXCEPTION_ACCESS_VIOLATION = 0xC0000005;
constexpr DWORD EXCEPTION_IN_PAGE_ERROR = 0xC0000006;
constexpr DWORD EXCEPTION_DATATYPE_MISALIGNMENT = 0x80000002;
constexpr DWORD EXCEPTION_ILLEGAL_INSTRUCTION = 0xC000001D;
constexpr DWORD EXCEPTION_PRIV_INSTRUCTION = 0xC0000096;
constexpr DWORD EXCEPTION_STACK_OVERFLOW = 0xC00000FD;
constexpr DWORD EXCEPTION_FLT_DENORMAL_OPERAND = 0xC000008D;
constexpr DWORD EXCEPTION_FLT_DIVIDE_BY_ZERO = 0xC000008E;
constexpr DWORD EXCEPTION_FLT_INEXACT_RESULT = 0xC000008F;
constexpr DWORD EXCEPTION_FLT_INVALID_OPERATION = 0xC0000090;
constexpr DWORD EXCEPTION_FLT_OVERFLOW = 0xC0000091;
constexpr DWORD EXCEPTION_FLT_UNDERFLOW = 0xC0000093;
constexpr DWORD EXCEPTION_INT_DIVIDE_BY_ZERO = 0xC0000094;
constexpr DWORD EXCEPTION_INT_OVERFLOW = 0xC0000095;
constexpr DWORD EXCEPTION_ARRAY_BOUNDS_EXCEEDED = 0xC000008C;
constexpr DWORD STATUS_FATAL_APP_EXIT = 0x40000015;  // abort()

// The registers carry the names of the report; on a 64-bit machine each holds the whole register
// of the same role (EAX the accumulator, EIP the instruction pointer, ...).
struct FaultRegisters {
  uint64_t eax = 0, ebx = 0, ecx = 0, edx = 0, esi = 0, edi = 0;
  uint64_t eip = 0, esp = 0, ebp = 0;
  WORD cs = 0, ss = 0, ds = 0, es = 0, fs = 0, gs = 0;
  uint32_t flags = 0;
};

// Plain data only: it is written to the reporter byte for byte.
struct FaultRecord {
  static constexpr int kMaxFrames = 64;
  int signal = 0;
  int processId = 0;
  DWORD exceptionCode = 0;
  uintptr_t address = 0;  // the faulting instruction
  DWORD threadId = 0;
  uint64_t clockMs = 0;  // the monotonic clock when the fault was caught
  FaultRegisters registers;
  // Program counters from the faulting instruction outwards.
  uintptr_t frames[kMaxFrames] = {};
  int frameCount = 0;
};

// What the reporter answers the faulting thread.
enum FaultReply : char {
  kFaultReceived = 'R',  // the record arrived; the report is being made
  kFaultReported = 'E',  // the report is done (its window closed): end now
};

// How long the faulting thread waits for the reporter to take the record before the process
// reports without it.
constexpr int kReporterWatchdogMs = 10000;
// How long the crash thread is given to add the application's part, or to write the report itself
// when the reporter never took the record; it may wait on a lock the faulting thread holds.
constexpr int kCrashThreadWaitMs = 1500;

// The exception code a signal with its si_code stands for; faultAddress and stackPointer tell a
// stack overflow from other access violations.
DWORD ExceptionCodeForSignal(int signal, int signalCode, uintptr_t faultAddress, uintptr_t stackPointer);

// Installs the handler for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT; the previous actions are
// kept. `reporter` is a connected packet socket to the reporter (or -1: none), `wake` a descriptor
// that one 8-byte write wakes (or -1). Installing again only replaces the descriptors.
void InstallFatalSignalHandler(int reporter, int wake);
// Puts the previous actions back.
void RemoveFatalSignalHandler();

// For the crash thread, once woken: the fault caught, whether the reporter failed to take it, and
// the call that tells the faulting thread the report the crash thread made itself is written.
const FaultRecord& CaughtFault();
bool ReporterMissing();
void FaultReportWritten();

// True once a fatal signal was caught anywhere in the process: the game's loop and the mixer stop.
bool FatalSignalCaught();
// How long ago the fatal signal was caught, in milliseconds; 0 before any.
uint64_t MsSinceFatalSignal();
// For a thread that must not go on after a fault elsewhere: waits until the process ends.
[[noreturn]] void WaitForFatalEnd();

}  // namespace Velk
