#include "platform/StartGathering.h"

namespace {

// Marks the copied data as items of a gathering (WM_COPYDATA's dwData).
constexpr ULONG_PTR kItemsTag = 0x56584731;  // "VXG1"

struct Gathering {
    std::vector<std::wstring> items;
    DWORD lastArrival = 0;
    bool accepting = true;
};

std::wstring Joined(const std::vector<std::wstring>& items)
{
    std::wstring joined;
    for (const std::wstring& item : items)
        joined += item + L'\0';
    return joined;
}

void AddItems(Gathering& gathering, const wchar_t* data, size_t count)
{
    std::wstring text(data, count);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L'\0', start);
        if (end == std::wstring::npos)
            end = text.size();
        if (end > start)
            gathering.items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

LRESULT CALLBACK GatheringProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* gathering = reinterpret_cast<Gathering*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && gathering != nullptr) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        // Refused once gathering has ended: the start then goes on alone.
        if (!gathering->accepting || copy->dwData != kItemsTag || copy->cbData % sizeof(wchar_t) != 0)
            return FALSE;
        AddItems(*gathering, static_cast<const wchar_t*>(copy->lpData), copy->cbData / sizeof(wchar_t));
        gathering->lastArrival = GetTickCount();
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring ClassName(const std::wstring& meeting) { return meeting + L".Gathering"; }

// This start gathers: a window of its own receives the items of the others
// until none has come for a while.
std::vector<std::wstring> Gather(const std::wstring& meeting, const std::vector<std::wstring>& items,
                                 const GatheringTimes& times)
{
    Gathering gathering;
    gathering.items = items;
    const std::wstring className = ClassName(meeting);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = GatheringProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className.c_str();
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, className.c_str(), meeting.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    if (window == nullptr)
        return gathering.items;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&gathering));
    const DWORD start = GetTickCount();
    gathering.lastArrival = start;
    while (true) {
        DWORD now = GetTickCount();
        DWORD quiet = now - gathering.lastArrival, total = now - start;
        if (quiet >= times.quietMs || total >= times.longestMs)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, times.quietMs - quiet, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Not ours to take: the program's own loop must see it.
                PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            DispatchMessageW(&message);
        }
    }
    gathering.accepting = false;
    DestroyWindow(window);
    UnregisterClassW(className.c_str(), windowClass.hInstance);
    return gathering.items;
}

bool HandOver(HWND gatherer, const std::vector<std::wstring>& items)
{
    std::wstring data = Joined(items);
    COPYDATASTRUCT copy{kItemsTag, static_cast<DWORD>(data.size() * sizeof(wchar_t)), data.data()};
    DWORD_PTR accepted = FALSE;
    return SendMessageTimeoutW(gatherer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, 5000,
                               &accepted) != 0 &&
           accepted == TRUE;
}

}  // namespace

std::vector<std::wstring> GatherStarts(const std::wstring& meeting, const std::vector<std::wstring>& items,
                                       const GatheringTimes& times)
{
    const std::wstring mutexName = L"Local\\" + meeting;
    const std::wstring className = ClassName(meeting);
    const DWORD start = GetTickCount();
    // The mutex names the one start that gathers: whoever creates it. The
    // others look for its window; while it is being made, or once it has gone
    // and a new gatherer is not yet up, they try again.
    while (GetTickCount() - start < times.handOverMs) {
        HANDLE mutex = CreateMutexW(nullptr, FALSE, mutexName.c_str());
        if (mutex == nullptr)
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            std::vector<std::wstring> gathered = Gather(meeting, items, times);
            CloseHandle(mutex);
            return gathered;
        }
        CloseHandle(mutex);
        HWND gatherer = FindWindowExW(HWND_MESSAGE, nullptr, className.c_str(), meeting.c_str());
        if (gatherer != nullptr && HandOver(gatherer, items))
            return {};
        Sleep(20);
    }
    return items;
}
