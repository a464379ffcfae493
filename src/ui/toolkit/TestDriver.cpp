#include "ui/toolkit/TestDriver.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/ListView.h"
#include <algorithm>

namespace tk {

bool Usable(const Control& control)
{
    HWND window = control.Handle();
    if (window == nullptr || !IsWindowEnabled(window) || !IsWindowVisible(window))
        return false;
    // A window behind a modal one is disabled as a whole.
    HWND root = GetAncestor(window, GA_ROOT);
    return root != nullptr && IsWindowEnabled(root);
}

bool Press(Control& control)
{
    if (!Usable(control))
        return false;
    SendMessageW(control.Handle(), BM_CLICK, 0, 0);
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

namespace {

// The notice a click leaves with the control's parent.
void NotifyClick(HWND window, UINT code, int row)
{
    NMITEMACTIVATE notice{};
    notice.hdr.hwndFrom = window;
    notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
    notice.hdr.code = code;
    notice.iItem = row;
    SendMessageW(GetParent(window), WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
}

void SetRowState(HWND window, int row, UINT state, UINT mask)
{
    LVITEMW item{};
    item.stateMask = mask;
    item.state = state;
    SendMessageW(window, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Client-area point in the middle of a row's label, scrolled into view first.
POINT RowPoint(HWND window, int row)
{
    SendMessageW(window, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT rect{};
    rect.left = LVIR_LABEL;
    SendMessageW(window, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void SendDoubleClick(HWND window, POINT point)
{
    LPARAM position = MAKELPARAM(point.x, point.y);
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, position);
    SendMessageW(window, WM_LBUTTONUP, 0, position);
}

}  // namespace

bool ChooseItem(ListView& list, int row, bool extend)
{
    if (!Usable(list) || row < 0 || row >= list.Count())
        return false;
    HWND window = list.Handle();
    ::SetFocus(window);
    if (!extend)
        SetRowState(window, -1, 0, LVIS_SELECTED);
    SetRowState(window, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(window, LVM_SETSELECTIONMARK, 0, row);
    NotifyClick(window, NM_CLICK, row);
    return true;
}

bool ChooseItems(ListView& list, std::initializer_list<int> rows)
{
    bool first = true;
    for (int row : rows) {
        if (!ChooseItem(list, row, !first))
            return false;
        first = false;
    }
    return true;
}

bool ChooseItem(TreeView& tree, TreeNode node)
{
    if (!Usable(tree) || node == nullptr)
        return false;
    ::SetFocus(tree.Handle());
    tree.Select(node);
    NotifyClick(tree.Handle(), NM_CLICK, -1);
    return tree.Selected() == node;
}

bool DoubleClick(ListView& list, int row)
{
    if (!ChooseItem(list, row))
        return false;
    SendDoubleClick(list.Handle(), RowPoint(list.Handle(), row));
    return true;
}

bool DoubleClick(TreeView& tree, TreeNode node)
{
    if (!ChooseItem(tree, node))
        return false;
    HWND window = tree.Handle();
    SendMessageW(window, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node));
    // TVM_GETITEMRECT takes the node in the rectangle's place.
    union {
        RECT rect;
        HTREEITEM item;
    } place{};
    place.item = node;
    SendMessageW(window, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&place));
    RECT rect = place.rect;
    SendDoubleClick(window, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    return true;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    Application& application = Application::Instance();
    DWORD start = GetTickCount();
    while (!done()) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        application.ProcessMessages();
        if (done())
            return true;
        MsgWaitForMultipleObjectsEx(0, nullptr, std::min<DWORD>(timeoutMs - elapsed, 20), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
    return true;
}

}  // namespace tk
