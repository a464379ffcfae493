// The translated message box: a modal dialog built from an in-memory template
// so that any set of buttons, the language's font and the caller's colour can
// be used (the system MessageBox offers neither).
#include "settings/Unicodelanguage.h"

#include <algorithm>
#include <vector>

namespace {

struct ButtonKind {
    uint16_t bit;
    int result;   // modal result, also the control identifier
    const wchar_t* name;
    const wchar_t* caption;  // used when the language has no "Dialog." text
};

// Help closes nothing (there is no help to show); its control identifier must
// not collide with a modal result.
constexpr int kHelpControlId = 0x7F0;

constexpr ButtonKind kButtons[] = {
    {DialogButton::Yes, ModalResult::Yes, L"Yes", L"&Yes"},
    {DialogButton::No, ModalResult::No, L"No", L"&No"},
    {DialogButton::OK, ModalResult::OK, L"OK", L"OK"},
    {DialogButton::Cancel, ModalResult::Cancel, L"Cancel", L"Cancel"},
    {DialogButton::Abort, ModalResult::Abort, L"Abort", L"&Abort"},
    {DialogButton::Retry, ModalResult::Retry, L"Retry", L"&Retry"},
    {DialogButton::Ignore, ModalResult::Ignore, L"Ignore", L"&Ignore"},
    {DialogButton::All, ModalResult::All, L"All", L"&All"},
    {DialogButton::NoToAll, ModalResult::NoToAll, L"NoToAll", L"N&o to All"},
    {DialogButton::YesToAll, ModalResult::YesToAll, L"YesToAll", L"Yes to &All"},
    {DialogButton::Help, kHelpControlId, L"Help", L"&Help"},
};

struct DialogSetup {
    std::wstring caption;
    std::wstring text;
    std::vector<std::pair<int, std::wstring>> buttons;  // control id, caption
    LPCWSTR icon;
    HFONT font;
    COLORREF textColor;
    HBRUSH background;
    int defaultId;
    int escapeResult;
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

void BuildControls(HWND dialog, const DialogSetup& setup)
{
    SetWindowTextW(dialog, setup.caption.c_str());
    HINSTANCE instance = GetModuleHandleW(nullptr);
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int maxTextWidth = std::max(240, std::min(480, screenWidth / 2));
    SIZE textSize = MeasureText(dialog, setup.font, setup.text, maxTextWidth, DT_WORDBREAK);

    int buttonHeight = std::max<int>(25, MeasureText(dialog, setup.font, L"Ag", 1000, 0).cy + 10);
    std::vector<int> widths;
    int rowWidth = 0;
    for (const auto& button : setup.buttons) {
        int width = std::max<int>(75, MeasureText(dialog, setup.font, button.second, 1000, 0).cx + 20);
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
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, setup.icon)), 0);
    HWND label = CreateWindowExW(0, L"STATIC", setup.text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                 textLeft, kMargin + (contentHeight - textSize.cy) / 2, textSize.cx, textSize.cy,
                                 dialog, nullptr, instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(setup.font), FALSE);

    int left = (clientWidth - rowWidth) / 2;
    for (size_t i = 0; i < setup.buttons.size(); ++i) {
        int id = setup.buttons[i].first;
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (id == setup.defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND button = CreateWindowExW(0, L"BUTTON", setup.buttons[i].second.c_str(), style, left, buttonTop,
                                      widths[i], buttonHeight, dialog,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(setup.font), FALSE);
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
    SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(setup.defaultId), 0);
    SetFocus(GetDlgItem(dialog, setup.defaultId));
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* setup = reinterpret_cast<DialogSetup*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        BuildControls(dialog, *reinterpret_cast<DialogSetup*>(lParam));
        return FALSE;  // focus was set on the default button
    case WM_CTLCOLORDLG:
        return setup ? reinterpret_cast<INT_PTR>(setup->background) : 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (!setup)
            return 0;
        SetTextColor(reinterpret_cast<HDC>(wParam), setup->textColor);
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(setup->background);
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (!setup || id == kHelpControlId)
            return TRUE;
        // Escape and the close box answer like the cancelling button.
        if (id == IDCANCEL && lParam == 0)
            id = setup->escapeResult;
        for (const auto& button : setup->buttons) {
            if (button.first == id) {
                EndDialog(dialog, id);
                return TRUE;
            }
        }
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

int UnicodeLanguage::MessageDialog(const std::wstring& text, MessageDialogType type, uint16_t buttons,
                                   uint32_t color)
{
    static const wchar_t* const captionKeys[] = {L"Dialog.Warning", L"Dialog.Error", L"Dialog.Information",
                                                 L"Dialog.Confirmation"};
    static const wchar_t* const defaultCaptions[] = {L"Warning", L"Error", L"Information", L"Confirm"};
    static const LPCWSTR icons[] = {IDI_WARNING, IDI_ERROR, IDI_INFORMATION, IDI_QUESTION};
    size_t kind = std::min<size_t>(static_cast<size_t>(type), 3);

    const LanguageFont& font = GetFont(L"Font");
    DialogSetup setup;
    setup.caption = HasText(captionKeys[kind]) ? GetText(captionKeys[kind]) : defaultCaptions[kind];
    setup.text = text;
    setup.icon = icons[kind];
    setup.font = font.Handle();
    setup.textColor = ResolveColor(font.Color);
    setup.background = CreateSolidBrush(ResolveColor(color));
    for (const ButtonKind& button : kButtons) {
        if (!(buttons & button.bit))
            continue;
        std::wstring key = std::wstring(L"Dialog.") + button.name;
        setup.buttons.emplace_back(button.result, HasText(key) ? GetText(key) : button.caption);
    }
    if (setup.buttons.empty())
        setup.buttons.emplace_back(ModalResult::OK, HasText(L"Dialog.OK") ? GetText(L"Dialog.OK") : L"OK");
    auto has = [&](int id) {
        return std::any_of(setup.buttons.begin(), setup.buttons.end(), [id](const auto& b) { return b.first == id; });
    };
    setup.defaultId = has(ModalResult::OK) ? ModalResult::OK
                      : has(ModalResult::Yes) ? ModalResult::Yes
                                              : setup.buttons.front().first;
    setup.escapeResult = has(ModalResult::Cancel) ? ModalResult::Cancel
                         : has(ModalResult::No)   ? ModalResult::No
                         : has(ModalResult::OK)   ? ModalResult::OK
                                                  : ModalResult::Cancel;
    if (!has(setup.escapeResult))
        setup.escapeResult = ModalResult::None;  // no button answers Escape: it does nothing

    std::vector<WORD> dialogTemplate = EmptyTemplate();
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                             reinterpret_cast<DLGTEMPLATE*>(dialogTemplate.data()),
                                             GetActiveWindow(), DialogProc, reinterpret_cast<LPARAM>(&setup));
    DeleteObject(setup.background);
    return result < 0 ? ModalResult::None : static_cast<int>(result);
}
