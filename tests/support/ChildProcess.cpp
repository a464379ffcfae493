#include "support/ChildProcess.h"

namespace {

// Wine names a program started from outside drive C: "unix\...", which
// only its "\\?\unix\..." form reaches.
std::wstring OwnExecutable()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring exe = path;
    return exe.rfind(L"unix\\", 0) == 0 ? L"\\\\?\\" + exe : exe;
}

}  // namespace

ChildResult RunChildTests(const std::wstring& filter, const wchar_t* variable, const std::wstring& value,
                          DWORD timeoutMs)
{
    ChildResult result;
    std::wstring exe = OwnExecutable();
    std::wstring commandLine = L"\"" + exe + L"\" --gtest_filter=" + filter;
    SetEnvironmentVariableW(variable, value.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    result.started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &process);
    SetEnvironmentVariableW(variable, nullptr);
    if (!result.started)
        return result;
    CloseHandle(process.hThread);
    result.ended = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!result.ended)
        TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hProcess);
    return result;
}

namespace {

std::function<void(const std::wstring&)>& BoxReport()
{
    static std::function<void(const std::wstring&)> report;
    return report;
}

BOOL CALLBACK AnswerMessageBox(HWND window, LPARAM)
{
    wchar_t className[64] = {}, caption[128] = {};
    GetClassNameW(window, className, 64);
    if (std::wstring(className) != L"#32770")
        return TRUE;
    GetWindowTextW(window, caption, 128);
    std::wstring report = caption;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[256] = {};
        GetClassNameW(child, className, 64);
        GetWindowTextW(child, text, 256);
        if (std::wstring(className) == L"Static" && text[0])
            report += std::wstring(L"|") + text;
    }
    if (BoxReport())
        BoxReport()(report);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK LookForMessageBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), AnswerMessageBox, 0);
}

}  // namespace

void AnswerSystemMessageBoxes(std::function<void(const std::wstring& report)> report)
{
    BoxReport() = std::move(report);
    SetTimer(nullptr, 0, 50, LookForMessageBoxes);
}

ProgramRun::ProgramRun(const std::wstring& commandLine, const std::wstring& folder, const std::wstring& outputPath)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                CREATE_ALWAYS, 0, nullptr);
    if (output == INVALID_HANDLE_VALUE)
        return;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::wstring line = commandLine;
    PROCESS_INFORMATION started{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup, &started)) {
        CloseHandle(started.hThread);
        process = started.hProcess;
    }
    CloseHandle(output);
}

ProgramRun::~ProgramRun()
{
    if (process == nullptr)
        return;
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0)
        TerminateProcess(process, 99);
    CloseHandle(process);
}

ChildResult ProgramRun::Wait(DWORD timeoutMs)
{
    ChildResult result;
    result.started = process != nullptr;
    if (!result.started)
        return result;
    result.ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    if (!result.ended)
        TerminateProcess(process, 99);
    GetExitCodeProcess(process, &result.exitCode);
    return result;
}
