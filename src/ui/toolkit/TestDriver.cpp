#include "ui/toolkit/TestDriver.h"
#include "ui/toolkit/Application.h"

namespace tk {

bool Press(Control& control)
{
    HWND window = control.Handle();
    if (window == nullptr || !IsWindowEnabled(window) || !IsWindowVisible(window))
        return false;
    SendMessageW(window, BM_CLICK, 0, 0);
    return true;
}

void PressKey(Control& control, WORD virtualKey)
{
    HWND window = control.Handle();
    if (window == nullptr)
        return;
    UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    MSG down{window, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1 | (scanCode << 16)), GetTickCount(), {}};
    Application::Instance().RouteMessage(down);
    MSG up{window, WM_KEYUP, virtualKey, static_cast<LPARAM>(1 | (scanCode << 16) | 0xC0000000u), GetTickCount(),
           {}};
    Application::Instance().RouteMessage(up);
}

bool Showing(const Control& control)
{
    return control.Handle() != nullptr && IsWindowVisible(control.Handle());
}

}  // namespace tk
