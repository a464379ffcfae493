#include "platform/ConsoleOutput.h"

namespace {

bool IsConsoleHandle(HANDLE handle)
{
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != FALSE;
}

}  // namespace

ConsoleOutput::ConsoleOutput()
{
    // A program with windows gets no console of its own; ERROR_ACCESS_DENIED
    // means it already has one.
    hasConsole_ = AttachConsole(ATTACH_PARENT_PROCESS) || GetLastError() == ERROR_ACCESS_DENIED;
    HANDLE given = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD type = given != nullptr && given != INVALID_HANDLE_VALUE ? GetFileType(given) : FILE_TYPE_UNKNOWN;
    // A file, a pipe, or a device such as NUL that the output was sent to.
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR) {
        handle_ = given;
        toConsole_ = IsConsoleHandle(given);
        return;
    }
    if (!hasConsole_)
        return;
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE)
        return;
    handle_ = console;
    toConsole_ = true;
    ownsHandle_ = true;
}

ConsoleOutput::~ConsoleOutput()
{
    if (ownsHandle_)
        CloseHandle(handle_);
}

void ConsoleOutput::WriteLine(const std::wstring& line)
{
    if (handle_ == nullptr)
        return;
    std::wstring text = line + L"\r\n";
    DWORD written = 0;
    if (toConsole_) {
        // The shell that started a program with windows does not wait for it
        // and has printed its prompt already: begin below it.
        if (firstLine_)
            text = L"\r\n" + text;
        firstLine_ = false;
        WriteConsoleW(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
