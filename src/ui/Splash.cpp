#include "ui/Splash.h"

#include "platform/ExecutablePath.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kTimerId = 1;
// How long showing and attaching the splash handle its messages, so that it is drawn.
constexpr int64_t kPumpMs = 500;
// A display time from a branding file is bounded: the splash is a greeting,
// not something to work around all session.
constexpr int64_t kLongestDisplayMs = 60000;

// One splash at a time.
struct SplashState {
    HBITMAP bitmap = nullptr;
    HWND window = nullptr;
    int64_t startTick = 0;
    int64_t displayMs = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int rounding = 0;
    std::wstring className;
};

SplashState& State()
{
    static SplashState state;
    return state;
}

// Signed 64-bit milliseconds: differences never wrap.
int64_t Now() { return static_cast<int64_t>(GetTickCount64()); }

// The executable's file name without folder and extension, then "_Splash".
std::wstring SplashClassName() { return ExecutableBaseName() + L"_Splash"; }

LRESULT CALLBACK SplashProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SplashState& state = State();
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, state.bitmap);
        BitBlt(dc, 0, 0, state.width, state.height, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        if (wParam != kTimerId)
            break;
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, kTimerId);
        if (window == state.window) {
            DeleteObject(state.bitmap);
            state.bitmap = nullptr;
            state.window = nullptr;
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterSplashClass(const std::wstring& className)
{
    WNDCLASSW splashClass{};
    splashClass.style = CS_OWNDC;
    splashClass.lpfnWndProc = SplashProc;
    splashClass.hInstance = GetModuleHandleW(nullptr);
    splashClass.lpszClassName = className.c_str();
    // A second splash finds the class registered already.
    RegisterClassW(&splashClass);
}

HWND CreateSplashWindow(HWND owner)
{
    const SplashState& state = State();
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, state.className.c_str(), state.className.c_str(),
                                  WS_POPUP | WS_VISIBLE, state.x, state.y, state.width, state.height, owner, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr)
        return nullptr;
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (state.rounding > 0)
        SetWindowRgn(window, CreateRoundRectRgn(0, 0, state.width, state.height, state.rounding, state.rounding),
                     TRUE);
    return window;
}

// Handles the splash window's own messages (its painting, its timer) for
// 500 ms from `from`, or until it is gone; returns the time spent.
int64_t PumpSplash(int64_t from)
{
    HWND window = State().window;
    while (window != nullptr && State().window == window) {
        int64_t left = kPumpMs - (Now() - from);
        if (left <= 0)
            break;
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT & ~QS_SENDMESSAGE) ==
            WAIT_TIMEOUT)
            break;
        // Everything the splash has waiting: a wait wakes only for what is
        // new since the queue was last looked at, so a paint left behind
        // would wait for the application's loop, showing an empty window.
        MSG message;
        while (State().window == window && PeekMessageW(&message, window, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return Now() - from;
}

}  // namespace

int64_t ShowSplash(HBITMAP picture, int32_t displayMs, int32_t rounding)
{
    HideSplash();
    BITMAP info{};
    if (picture == nullptr || displayMs <= 0 || GetObjectW(picture, sizeof(info), &info) == 0) {
        if (picture != nullptr)
            DeleteObject(picture);
        return 0;
    }
    SplashState& state = State();
    state.className = SplashClassName();
    RegisterSplashClass(state.className);
    state.width = info.bmWidth;
    state.height = std::abs(info.bmHeight);
    state.x = (GetSystemMetrics(SM_CXSCREEN) - state.width) / 2;
    state.y = (GetSystemMetrics(SM_CYSCREEN) - state.height) / 2;
    state.bitmap = picture;
    state.rounding = rounding;
    state.displayMs = std::min<int64_t>(displayMs, kLongestDisplayMs);
    state.window = CreateSplashWindow(nullptr);
    if (state.window == nullptr) {
        DeleteObject(picture);
        state.bitmap = nullptr;
        return 0;
    }
    state.startTick = Now();
    SetTimer(state.window, kTimerId, static_cast<UINT>(state.displayMs), nullptr);
    return PumpSplash(state.startTick);
}

void ReparentSplash(HWND mainWindow)
{
    SplashState& state = State();
    if (state.window == nullptr)
        return;
    int64_t elapsed = Now() - state.startTick;
    if (elapsed >= state.displayMs) {
        // Its time is up and the main window is ready: no reason to wait
        // for the timer message.
        HideSplash();
        return;
    }
    // The old window goes without its handler, which would release the
    // picture and forget the splash.
    HWND old = state.window;
    SetWindowLongPtrW(old, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
    HWND owned = CreateSplashWindow(mainWindow);
    DestroyWindow(old);
    state.window = owned;
    if (owned == nullptr) {
        DeleteObject(state.bitmap);
        state.bitmap = nullptr;
        return;
    }
    SetTimer(owned, kTimerId, static_cast<UINT>(state.displayMs - elapsed), nullptr);
    PumpSplash(Now());
}

void HideSplash()
{
    if (State().window != nullptr)
        DestroyWindow(State().window);
}

HWND SplashWindow() { return State().window; }

int64_t SplashTimeLeftMs()
{
    const SplashState& state = State();
    if (state.window == nullptr)
        return 0;
    return std::max<int64_t>(0, state.displayMs - (Now() - state.startTick));
}
