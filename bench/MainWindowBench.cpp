// Listing a folder of 10 000 files of mixed types in the real main window:
// from the selection of its tree node until every row is in the list, and
// until the icons of the files that have their own (the programs) are in too.
#include <objbase.h>

#include "Bench.h"
#include "ui/MainWindowHarness.h"
#include "ui/toolkit/TestDriver.h"

namespace {

void MakeFiles(const std::wstring& folder, int count)
{
    const wchar_t* extensions[] = {L".txt", L".doc", L".pdf", L".jpg", L".png",
                                   L".zip", L".log", L".dat", L".xml", L".htm"};
    for (int index = 0; index < count; ++index) {
        // One in a hundred is a program, whose icon is its own.
        const wchar_t* extension = index % 100 == 0 ? L".exe" : extensions[index % 10];
        std::wstring path = folder + L"\\file" + std::to_wstring(index) + extension;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "data", 4, &written, nullptr);
        CloseHandle(file);
    }
}

}  // namespace

VARNOX_BENCHMARK(MainWindowListFolder)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        TempDir files;
        MakeFiles(files.Path(), 10000);
        MainWindowHarness harness;
        TFormMain& window = harness.Start();
        window.Show();
        tk::TreeNode node = harness.NodeForPath(files.Path());
        if (node != nullptr) {
            double start = Seconds();
            window.TV.Select(node);
            UpdateWindow(window.LV.Handle());
            double first = Seconds() - start;
            if (window.LV.Count() == 10000)
                Report("list_folder_10000_ms", first * 1000.0);
            // Programs' icons of their own follow in small batches.
            tk::PumpUntil([&] { return !window.OwnIconsPending(); }, 60000);
            Report("list_folder_10000_own_icons_done_ms", (Seconds() - start) * 1000.0);
            start = Seconds();
            window.ButtonRefreshClick();
            UpdateWindow(window.LV.Handle());
            Report("refresh_folder_10000_ms", (Seconds() - start) * 1000.0);
        }
        harness.Stop();
    }
    CoUninitialize();
}
