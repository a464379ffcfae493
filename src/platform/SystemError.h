#pragma once
// The one place that turns a Win32 error code into the variables every log
// record about a failed system call carries: "SystemErrorCode" (decimal) and
// "SystemErrorMessage" (the system's text, trailing blanks, controls and full
// stops removed).
#include <windows.h>
#include <string>
#include "platform/TextVariables.h"

std::wstring SystemErrorMessage(DWORD code);

// Adds "SystemErrorCode" and "SystemErrorMessage" for `code` to `variables`.
void AddSystemError(TextVariables& variables, DWORD code);

// Same, for GetLastError() of the calling thread.
inline void AddLastSystemError(TextVariables& variables) { AddSystemError(variables, GetLastError()); }
