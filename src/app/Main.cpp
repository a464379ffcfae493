// Entry point of Varnox.exe.
#include <windows.h>
#include <commctrl.h>

#include "log/Log.h"
#include "settings/Unicodelanguage.h"
#include "settings/Vxuserconfig.h"
#include "ui/Utils.h"

namespace {

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The process-wide instances exist before the first window, in this order:
// branding tree, icon cache, configuration store, language manager, logger.
// They are function-local statics, so they are destroyed in reverse order
// after the last window.
void CreateApplicationInstances()
{
    OEMConfig();
    IconCache();
    UserConfig();
    Language();
    AppLog();
    InstallFileInfoDisplayLookup();
    InstallMessageDialogPresenter();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell namespace, the icon cache and the help browser need OLE on
    // the user-interface thread.
    OleInitialize(nullptr);
    CreateApplicationInstances();

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"VarnoxMainWindow";
    RegisterClassExW(&windowClass);

    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Varnox", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 800, 560, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    OleUninitialize();
    return static_cast<int>(message.wParam);
}
