// Proves that the Windows facilities the application stands on work in the
// test environment: threads, window messages across threads, the registry and
// the profile (INI) functions.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cwctype>
#include <string>
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace {

DWORD WINAPI AddOne(void* parameter)
{
    static_cast<std::atomic<int>*>(parameter)->fetch_add(1);
    return 42;
}

TEST(Harness, ThreadRunsAndReturnsItsExitCode)
{
    std::atomic<int> value{0};
    HANDLE thread = CreateThread(nullptr, 0, AddOne, &value, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(value.load(), 1);
}

struct Received {
    std::vector<WPARAM> words;
};

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        auto* received = reinterpret_cast<Received*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        received->words.push_back(wParam);
        if (wParam == 3)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI PostThree(void* parameter)
{
    HWND window = static_cast<HWND>(parameter);
    for (WPARAM word = 1; word <= 3; ++word)
        PostMessageW(window, WM_APP, word, 0);
    return 0;
}

TEST(Harness, HiddenWindowReceivesMessagesPostedByAWorkerInOrder)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ReceiverProc;
    windowClass.lpszClassName = L"VarnoxHarnessReceiver";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    Received received;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));

    HANDLE worker = CreateThread(nullptr, 0, PostThree, window, 0, nullptr);
    ASSERT_NE(worker, nullptr);
    UINT_PTR guard = SetTimer(nullptr, 0, 10000, nullptr);  // never wait for ever
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr)
            break;
        DispatchMessageW(&message);
    }
    KillTimer(nullptr, guard);
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    DestroyWindow(window);

    EXPECT_EQ(received.words, (std::vector<WPARAM>{1, 2, 3}));
}

TEST(Harness, RegistryValueUnderCurrentUserRoundTrips)
{
    const wchar_t* keyName = L"Software\\VarnoxHarnessTest";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, keyName, &key), ERROR_SUCCESS);
    DWORD written = 0xCAFE;
    ASSERT_EQ(RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&written), sizeof(written)),
              ERROR_SUCCESS);
    DWORD read = 0, type = 0, size = sizeof(read);
    ASSERT_EQ(RegQueryValueExW(key, L"Number", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_CURRENT_USER, keyName);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(read, written);

    HKEY gone = nullptr;
    EXPECT_NE(RegOpenKeyW(HKEY_CURRENT_USER, keyName, &gone), ERROR_SUCCESS);
}

TEST(Harness, IniFileRoundTripsThroughTheProfileFunctions)
{
    TempDir dir;
    std::wstring ini = dir / L"round.ini";
    ASSERT_TRUE(WritePrivateProfileStringW(L"Config", L"Name", L"Wert \u00e4\u00f6", ini.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"Config", L"Count", L"-8", ini.c_str()));
    wchar_t buffer[64] = {};
    GetPrivateProfileStringW(L"Config", L"Name", L"default", buffer, 64, ini.c_str());
    EXPECT_EQ(std::wstring(buffer), L"Wert \u00e4\u00f6");
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(L"Config", L"Count", 0, ini.c_str())), -8);
    EXPECT_EQ(GetPrivateProfileIntW(L"Config", L"Absent", 7, ini.c_str()), 7u);
    EXPECT_TRUE(FileExists(ini));
}

TEST(Harness, TemporaryFolderLiesOnDriveCAndIsRemoved)
{
    std::wstring path;
    {
        TempDir dir;
        path = dir.Path();
        EXPECT_EQ(towupper(path[0]), L'C');
        dir.WriteFile(L"sub\\file.bin", "abc");
        EXPECT_TRUE(FileExists(dir / L"sub\\file.bin"));
    }
    EXPECT_FALSE(DirectoryExists(path));
}

const wchar_t* const CrashVariable = L"VARNOX_HARNESS_CRASH";

DWORD WINAPI Crash(void*)
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}

// Only does something in the child started by the next test.
TEST(HarnessChild, CrashOnAWorkerThread)
{
    if (GetEnvironmentVariableW(CrashVariable, nullptr, 0) == 0)
        GTEST_SKIP();
    HANDLE thread = CreateThread(nullptr, 0, Crash, nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
}

TEST(Harness, ACrashEndsTheTestExecutableInsteadOfHangingIt)
{
    ChildResult child = RunChildTests(L"HarnessChild.*", CrashVariable, L"1", 60000);
    ASSERT_TRUE(child.started);
    EXPECT_TRUE(child.ended) << "a crashed test executable hung";
    EXPECT_EQ(child.exitCode, 3u);
}

}  // namespace

// The prefix reaches nothing of the host's: no drive but C:, and no shell
// folder on the desktop that leads to the host's root.
TEST(Harness, NothingOfTheHostIsReachable)
{
    DWORD drives = GetLogicalDrives();
    EXPECT_EQ(drives, 1u << ('C' - 'A')) << "drives other than C: are mapped";

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellFolder* desktop = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetDesktopFolder(&desktop)));
    IEnumIDList* items = nullptr;
    if (SUCCEEDED(desktop->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items)) && items != nullptr) {
        LPITEMIDLIST item = nullptr;
        while (items->Next(1, &item, nullptr) == S_OK) {
            STRRET name{};
            wchar_t parsing[MAX_PATH] = {};
            if (SUCCEEDED(desktop->GetDisplayNameOf(item, SHGDN_FORPARSING, &name)))
                StrRetToBufW(&name, item, parsing, MAX_PATH);
            std::wstring path = parsing;
            // The host's root shows as "/", as its \\?\unix\ form, or as the
            // drive that maps it.
            bool hostRoot = path == L"/" || path.rfind(L"\\\\?\\unix", 0) == 0 ||
                            (path.size() >= 2 && path[1] == L':' && iswalpha(path[0]) && towupper(path[0]) != L'C');
            EXPECT_FALSE(hostRoot) << "the desktop shows the host's folder " << path;
            CoTaskMemFree(item);
        }
        items->Release();
    }
    desktop->Release();
    CoUninitialize();
}
