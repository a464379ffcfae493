#pragma once
// Lines of text for whoever started a program with windows from a command
// line: to the standard output handle when one was given (a file or a pipe,
// written as UTF-8), otherwise to the console of the program that started it.
#include <windows.h>
#include <string>

// Where lines go; tests keep them.
class LineOutput {
public:
    virtual ~LineOutput() = default;
    virtual void WriteLine(const std::wstring& line) = 0;
};

class ConsoleOutput : public LineOutput {
public:
    // Attaches to the console of the program that started this one, if it
    // has one, also when the output is redirected: Ctrl+C and Ctrl+Break
    // typed there reach this process only through it.
    ConsoleOutput();
    ~ConsoleOutput() override;
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    // Whether lines reach anyone.
    bool Available() const { return handle_ != nullptr; }
    // Whether this process is attached to a console (and hears its Ctrl+C).
    bool HasConsole() const { return hasConsole_; }
    void WriteLine(const std::wstring& line) override;

private:
    HANDLE handle_ = nullptr;
    bool toConsole_ = false;     // written with WriteConsoleW, else UTF-8 with WriteFile
    bool ownsHandle_ = false;
    bool hasConsole_ = false;
    bool firstLine_ = true;
};
