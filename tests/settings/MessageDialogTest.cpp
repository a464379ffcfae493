#include <gtest/gtest.h>

#include <map>
#include "settings/LanguageFiles.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"

namespace {

// What the timer saw of the open message box, and which button it pressed.
struct Observed {
    HWND dialog = nullptr;
    std::wstring caption;
    std::map<int, std::wstring> buttons;  // control id -> caption
    bool topmost = false;
    bool textFound = false;
    COLORREF background = CLR_INVALID;
};

Observed observed;
int buttonToPress = 0;
std::wstring expectedText;

BOOL CALLBACK CollectChild(HWND child, LPARAM)
{
    wchar_t className[32] = {}, text[256] = {};
    GetClassNameW(child, className, 32);
    GetWindowTextW(child, text, 256);
    if (lstrcmpiW(className, L"Button") == 0)
        observed.buttons[GetDlgCtrlID(child)] = text;
    else if (expectedText == text)
        observed.textFound = true;
    return TRUE;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM)
{
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (IsWindowVisible(window) && lstrcmpW(className, L"#32770") == 0) {
        observed.dialog = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK PressButton(HWND, UINT, UINT_PTR timer, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
    if (!observed.dialog)
        return;
    KillTimer(nullptr, timer);
    wchar_t caption[256] = {};
    GetWindowTextW(observed.dialog, caption, 256);
    observed.caption = caption;
    observed.topmost = (GetWindowLongPtrW(observed.dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    EnumChildWindows(observed.dialog, CollectChild, 0);
    HDC dc = GetDC(observed.dialog);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(observed.dialog, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(observed.dialog)));
    LOGBRUSH info{};
    if (brush && GetObjectW(brush, sizeof(info), &info))
        observed.background = info.lbColor;
    ReleaseDC(observed.dialog, dc);
    if (buttonToPress == IDCANCEL)  // Escape / close box
        PostMessageW(observed.dialog, WM_COMMAND, IDCANCEL, 0);
    else
        SendMessageW(GetDlgItem(observed.dialog, buttonToPress), BM_CLICK, 0, 0);
}

int Show(UnicodeLanguage& language, const std::wstring& text, MessageDialogType type, uint16_t buttons,
         int press, uint32_t color = 0x00C0FFEE)
{
    observed = Observed{};
    buttonToPress = press;
    expectedText = text;
    SetTimer(nullptr, 0, 50, PressButton);
    return language.MessageDialog(text, type, buttons, color);
}

TEST(MessageDialog, CaptionButtonsAndColourComeFromTheLanguage)
{
    TempDir dir;
    WriteLanguageFile(dir, L"LNG\\0000.LNG",
                      L"[Dialog]\r\nConfirmation=Bitte best\x00E4tigen\r\nYes=&Ja\r\nNo=&Nein\r\n"
                      L"[Font]\r\nName=Tahoma\r\nSize=10\r\n");
    UnicodeLanguage language(dir.Path(), L"Varnox");
    language.SelectLanguage(0x0409);

    int result = Show(language, L"Wipe now?", MessageDialogType::Confirmation,
                      DialogButton::Yes | DialogButton::No, ModalResult::No);
    EXPECT_EQ(result, ModalResult::No);
    EXPECT_EQ(observed.caption, L"Bitte best\x00E4tigen");
    EXPECT_EQ(observed.buttons[ModalResult::Yes], L"&Ja");
    EXPECT_EQ(observed.buttons[ModalResult::No], L"&Nein");
    EXPECT_EQ(observed.buttons.size(), 2u);
    EXPECT_TRUE(observed.topmost);
    EXPECT_TRUE(observed.textFound);
    EXPECT_EQ(observed.background, 0x00C0FFEEu);

    EXPECT_EQ(Show(language, L"Sure?", MessageDialogType::Warning, DialogButton::Yes | DialogButton::No,
                   ModalResult::Yes),
              ModalResult::Yes);
    EXPECT_EQ(observed.caption, L"Warning");  // no "Dialog.Warning": the toolkit's own caption

    // Escape answers No when there is no Cancel button.
    EXPECT_EQ(Show(language, L"Sure?", MessageDialogType::Warning, DialogButton::Yes | DialogButton::No, IDCANCEL),
              ModalResult::No);
}

TEST(MessageDialog, EveryButtonReturnsItsModalResult)
{
    TempDir dir;
    UnicodeLanguage language(dir.Path(), L"Varnox");
    const std::pair<uint16_t, int> cases[] = {
        {DialogButton::OK, ModalResult::OK},           {DialogButton::Cancel, ModalResult::Cancel},
        {DialogButton::Abort, ModalResult::Abort},     {DialogButton::Retry, ModalResult::Retry},
        {DialogButton::Ignore, ModalResult::Ignore},   {DialogButton::All, ModalResult::All},
        {DialogButton::NoToAll, ModalResult::NoToAll}, {DialogButton::YesToAll, ModalResult::YesToAll},
    };
    uint16_t all = 0x7FF;
    for (const auto& [bit, result] : cases) {
        EXPECT_EQ(Show(language, L"Which?", MessageDialogType::Information, all, result), result);
        EXPECT_EQ(observed.buttons.size(), 11u);
        EXPECT_EQ(observed.caption, L"Information");
    }
    EXPECT_EQ(observed.buttons[ModalResult::NoToAll], L"N&o to All");
    EXPECT_EQ(Show(language, L"Oops", MessageDialogType::Error, DialogButton::OK | DialogButton::Cancel, IDCANCEL),
              ModalResult::Cancel);
    EXPECT_EQ(observed.caption, L"Error");
}

}  // namespace
