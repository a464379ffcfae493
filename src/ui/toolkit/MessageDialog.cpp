#include "ui/toolkit/MessageDialog.h"
#include <algorithm>

namespace tk {

const MessageDialogSetup::Button* MessageDialogSetup::FindButton(int result) const
{
    auto found = std::find_if(buttons.begin(), buttons.end(), [result](const Button& b) { return b.result == result; });
    return found != buttons.end() ? &*found : nullptr;
}

namespace {

struct DialogState {
    const MessageDialogSetup* setup;
    HBRUSH background;
    COLORREF textColor;
};

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonGap = 6;

SIZE MeasureText(HWND window, HFONT font, const std::wstring& text, int maxWidth, UINT flags)
{
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    RECT rect{0, 0, maxWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags | DT_CALCRECT | DT_NOPREFIX);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {rect.right - rect.left, std::max<LONG>(rect.bottom - rect.top, metrics.tmHeight)};
}

LPCWSTR SystemIcon(MessageDialogSetup::Icon icon)
{
    switch (icon) {
    case MessageDialogSetup::Icon::Warning:
        return IDI_WARNING;
    case MessageDialogSetup::Icon::Error:
        return IDI_ERROR;
    case MessageDialogSetup::Icon::Question:
        return IDI_QUESTION;
    case MessageDialogSetup::Icon::Information:
        break;
    }
    return IDI_INFORMATION;
}

void BuildControls(HWND dialog, const MessageDialogSetup& setup)
{
    SetWindowTextW(dialog, setup.caption.c_str());
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HFONT font = setup.font != nullptr ? setup.font : reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int maxTextWidth = std::max(240, std::min(480, screenWidth / 2));
    SIZE textSize = MeasureText(dialog, font, setup.text, maxTextWidth, DT_WORDBREAK);

    int buttonHeight = std::max<int>(25, MeasureText(dialog, font, L"Ag", 1000, 0).cy + 10);
    std::vector<int> widths;
    int rowWidth = 0;
    for (const auto& button : setup.buttons) {
        int width = std::max<int>(75, MeasureText(dialog, font, button.caption, 1000, 0).cx + 20);
        widths.push_back(width);
        rowWidth += width + (rowWidth ? kButtonGap : 0);
    }

    int textLeft = kMargin + kIconSize + kMargin;
    int clientWidth = std::max<int>(textLeft + textSize.cx + kMargin, rowWidth + 2 * kMargin);
    int contentHeight = std::max<int>(kIconSize, textSize.cy);
    int buttonTop = kMargin + contentHeight + kMargin;
    int clientHeight = buttonTop + buttonHeight + kMargin;

    HWND icon = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON, kMargin, kMargin, kIconSize,
                                kIconSize, dialog, nullptr, instance, nullptr);
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, SystemIcon(setup.icon))), 0);
    HWND label = CreateWindowExW(0, L"STATIC", setup.text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                 textLeft, kMargin + (contentHeight - textSize.cy) / 2, textSize.cx, textSize.cy,
                                 dialog, nullptr, instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    int left = (clientWidth - rowWidth) / 2;
    for (size_t i = 0; i < setup.buttons.size(); ++i) {
        int id = setup.buttons[i].result;
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (id == setup.defaultResult ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND button = CreateWindowExW(0, L"BUTTON", setup.buttons[i].caption.c_str(), style, left, buttonTop,
                                      widths[i], buttonHeight, dialog,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        left += widths[i] + kButtonGap;
    }

    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    RECT area{0, 0, screenWidth, GetSystemMetrics(SM_CYSCREEN)};
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner)
        GetWindowRect(owner, &area);
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(dialog, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE);
    SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(setup.defaultResult), 0);
    SetFocus(GetDlgItem(dialog, setup.defaultResult));
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        BuildControls(dialog, *reinterpret_cast<DialogState*>(lParam)->setup);
        return FALSE;  // focus was set on the default button
    case WM_CTLCOLORDLG:
        return state ? reinterpret_cast<INT_PTR>(state->background) : 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (!state)
            return 0;
        SetTextColor(reinterpret_cast<HDC>(wParam), state->textColor);
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(state->background);
    case WM_COMMAND: {
        if (!state)
            return TRUE;
        int id = LOWORD(wParam);
        // Escape and the close box answer like the cancelling button.
        if (id == IDCANCEL && lParam == 0) {
            if (state->setup->escapeResult != 0)
                EndDialog(dialog, state->setup->escapeResult);
            return TRUE;
        }
        const MessageDialogSetup::Button* button = state->setup->FindButton(id);
        if (button != nullptr && button->closes)
            EndDialog(dialog, id);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// An empty dialog template: no menu, default class, no title, no controls.
std::vector<WORD> EmptyTemplate()
{
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFOREGROUND;
    header->dwExtendedStyle = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME;
    header->cx = 100;
    header->cy = 50;
    return words;
}

}  // namespace

int RunMessageDialog(const MessageDialogSetup& setup, HWND owner)
{
    DialogState state{&setup, nullptr, setup.textColor == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : setup.textColor};
    state.background = setup.background == CLR_INVALID ? GetSysColorBrush(COLOR_BTNFACE)
                                                       : CreateSolidBrush(setup.background);
    std::vector<WORD> dialogTemplate = EmptyTemplate();
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                             reinterpret_cast<DLGTEMPLATE*>(dialogTemplate.data()), owner,
                                             DialogProc, reinterpret_cast<LPARAM>(&state));
    if (setup.background != CLR_INVALID)
        DeleteObject(state.background);
    return result < 0 ? 0 : static_cast<int>(result);
}

}  // namespace tk
