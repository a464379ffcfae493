#pragma once
// Runs some tests of the running test executable again in a child process,
// for behaviour that ends a process (an exit code, a crash).
#include <windows.h>
#include <functional>
#include <string>

struct ChildResult {
    bool started = false;
    bool ended = false;   // false: it hung and was terminated
    DWORD exitCode = 0;
};

// Starts this executable with --gtest_filter=`filter`, with the environment
// variable `variable` set to `value` for the child only, and waits at most
// `timeoutMs`.
ChildResult RunChildTests(const std::wstring& filter, const wchar_t* variable, const std::wstring& value,
                          DWORD timeoutMs = 60000);

// A child that ends itself shows a system message box first; from now on a
// timer finds each one this thread shows, hands `report` its caption and
// texts as "caption|text|...", and closes it with OK, so nothing waits for a
// user.
void AnswerSystemMessageBoxes(std::function<void(const std::wstring& report)> report);

// Another program, started with its standard output and error going to a
// file, for what it prints and its exit code. Ended when this goes.
class ProgramRun {
public:
    // `commandLine` in the folder `folder`, writing to `outputPath`.
    ProgramRun(const std::wstring& commandLine, const std::wstring& folder, const std::wstring& outputPath);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return process != nullptr; }
    ChildResult Wait(DWORD timeoutMs = 60000);

private:
    HANDLE process = nullptr;
};
