#pragma once
// What Varnox is asked to do by its command line. Switches start with a
// slash and are not case-sensitive; every other argument is a path.
//   Varnox.exe PATH...                          the file wipe window for PATH...
//   Varnox.exe /freespace X: | /drive X:        the free-space or drive window
//   Varnox.exe /wipe PATH... /yes [options]     files wiped without any window
//   Varnox.exe /freespace X: /yes [options]     free space wiped without any window
//   options: /method N (0-13), /rounds R (1-10), /report FILE
//   Varnox.exe /?                               the usage
// A drive job never runs without its window: /drive always asks.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/TextVariables.h"

enum class StartMode : uint8_t {
    Browse,               // no arguments: the main window alone
    Usage,                // /?
    BadUsage,             // the arguments cannot be understood: errorKey says why
    FilesWindow,          // PATH...
    FreeSpaceWindow,      // /freespace X:
    DriveWindow,          // /drive X:
    FilesUnattended,      // /wipe PATH... /yes
    FreeSpaceUnattended,  // /freespace X: /yes
};

// The exit codes of a run from the command line.
enum StartExitCode : int {
    kExitDestroyed = 0,        // everything named was destroyed
    kExitNotAllDestroyed = 1,  // something was not: failed, partly wiped, unreadable, not found
    kExitUsageError = 2,       // the command line could not be understood
    kExitCancelled = 3,        // Ctrl+C or Ctrl+Break cancelled the job
};

struct StartRequest {
    StartMode mode = StartMode::Browse;
    std::vector<std::wstring> paths;  // as given, in order (files modes)
    std::wstring root;                // the drive's root, "C:\" (drive modes)
    int32_t method = -1;              // /method; -1: the configured method
    int32_t rounds = 0;               // /rounds; 0: the rounds configured for the method
    std::wstring reportPath;          // /report; empty: none
    // /explorer: started from Explorer's menu, once for every selected item;
    // the starts of one selection are gathered into one.
    bool fromExplorer = false;
    // BadUsage: the language key that says what is wrong, with its variables.
    std::wstring errorKey;
    TextVariables errorVariables;

    bool Unattended() const { return mode == StartMode::FilesUnattended || mode == StartMode::FreeSpaceUnattended; }
};

// `arguments` without the program's name.
[[nodiscard]] StartRequest ParseCommandLine(const std::vector<std::wstring>& arguments);
// The arguments of a whole command line as the system splits them, without the program's name.
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);
// `argument` as one argument of a command line: quoted when it holds a space,
// a tab or a quote, or is empty, so that SplitCommandLine gives it back as it is.
std::wstring QuoteArgument(const std::wstring& argument);
// "C:\" for "C:", "c:\" or "C:" followed by a stray quote ("C:\" quoted in a
// batch file arrives so); empty for anything else.
std::wstring DriveRootOf(const std::wstring& argument);
// The full path of a path named on the command line, a relative one taken
// from the current folder; a closing backslash goes unless it ends a root.
std::wstring FullPathOf(const std::wstring& path);
