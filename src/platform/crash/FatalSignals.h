#pragma once
// Unhandled faults: the fatal signals are caught on an alternate stack and described the way the
// exception filter saw them (an exception code, the faulting instruction, the registers and the
// stack). After the handler has run, the signal is raised again with its default action, so the
// process still ends as the system would end it.
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

struct FaultRecord {
  static constexpr int kMaxFrames = 64;
  int signal = 0;
  DWORD exceptionCode = 0;
  uintptr_t address = 0;  // the faulting instruction
  DWORD threadId = 0;
  FaultRegisters registers;
  // Program counters from the faulting instruction outwards.
  uintptr_t frames[kMaxFrames] = {};
  int frameCount = 0;
};

// The exception code a signal with its si_code stands for; faultAddress and stackPointer tell a
// stack overflow from other access violations.
DWORD ExceptionCodeForSignal(int signal, int signalCode, uintptr_t faultAddress, uintptr_t stackPointer);

using FatalSignalHandler = void (*)(const FaultRecord& record);
// Installs the handler for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT; the previous actions are
// kept. Installing again only replaces the handler.
void InstallFatalSignalHandler(FatalSignalHandler handler);
// Puts the previous actions back.
void RemoveFatalSignalHandler();

}  // namespace Velk
