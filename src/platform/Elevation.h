#pragma once
// Whether this process runs elevated, and starting a program elevated. The
// windows ask through this seam: under Wine every process counts as
// elevated, so tests stand in for one that is not.
#include <windows.h>
#include <string>

class Elevation {
public:
    virtual ~Elevation() = default;
    // What the process token says.
    virtual bool IsElevated();
    // ShellExecuteExW with the verb "runas", in the current folder (a
    // configuration kept beside it must be found again). ERROR_SUCCESS once
    // the program runs; ERROR_CANCELLED when the user declined the system's
    // prompt; otherwise the error that kept it from starting.
    virtual DWORD RunElevated(const std::wstring& program, const std::wstring& parameters, HWND owner);
};

// The process-wide production instance; it has no state.
Elevation& SystemElevation();
