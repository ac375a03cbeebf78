#pragma once
// Accepted by the calls that create named objects, folders and registry keys; ignored here, since
// everything this layer creates belongs to the current user.

#include "platform/base/WinTypes.h"

struct SECURITY_ATTRIBUTES {
  DWORD nLength = 0;
  void* lpSecurityDescriptor = nullptr;
  BOOL bInheritHandle = FALSE;
};
