// Scanning a tree of 100,000 files in 5,000 folders with the file list
// builder, against "dir /s /b" of the command interpreter in the same prefix.
#include <windows.h>
#include <string>
#include "Bench.h"
#include "log/Log.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"
#include "targets/Filelistbuilder.h"

namespace {

constexpr int kTopFolders = 50, kSubFolders = 99, kFilesPerFolder = 20;

void Populate(const std::wstring& folder)
{
    for (int i = 0; i < kFilesPerFolder; ++i) {
        std::wstring path = folder + L"\\file" + std::to_wstring(i) + L".dat";
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
}

double RunDir(const std::wstring& root)
{
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + system + L"\\cmd.exe\" /c dir /s /b \"" + root + L"\" >nul";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    double start = Seconds();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return 0.0;
    WaitForSingleObject(process.hProcess, INFINITE);
    double elapsed = Seconds() - start;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

}  // namespace

VARNOX_BENCHMARK(ScanTree)
{
    TempDir dir;
    std::wstring root = dir.MakeDir(L"tree");
    for (int top = 0; top < kTopFolders; ++top) {
        std::wstring folder = root + L"\\top" + std::to_wstring(top);
        CreateDirectoryW(folder.c_str(), nullptr);
        Populate(folder);
        for (int sub = 0; sub < kSubFolders; ++sub) {
            std::wstring child = folder + L"\\sub" + std::to_wstring(sub);
            CreateDirectoryW(child.c_str(), nullptr);
            Populate(child);
        }
    }
    const double files = double(kTopFolders) * (kSubFolders + 1) * kFilesPerFolder;

    UnicodeLanguage language(dir.Path(), L"Varnox");
    Logger log(language);
    double start = Seconds();
    double scanned = 0.0;
    {
        FileListBuilder builder(&log);
        builder.AddPath(root);
        while (!builder.IsComplete())
            Sleep(1);
        scanned = static_cast<double>(builder.GetFileList().Files.size());
    }
    double scanSeconds = Seconds() - start;
    double dirSeconds = RunDir(root);

    Report("scan_files_s", scanned / scanSeconds);
    if (dirSeconds > 0.0)
        Report("scan_ratio", (scanned / scanSeconds) / (files / dirSeconds));
    if (scanned != files)
        Report("scan_files_missing", files - scanned);
}
