#pragma once
// A modal message dialog with any set of buttons, a font and colours of the
// caller's choice (the system MessageBox offers neither), built from an
// in-memory template. Windows show it through Application::ShowMessageDialog,
// which tests can answer.
#include <windows.h>
#include <string>
#include <vector>

namespace tk {

struct MessageDialogSetup {
    enum class Icon { Warning, Error, Information, Question };
    struct Button {
        int result;            // returned when pressed; also the control identifier
        std::wstring caption;
        bool closes = true;    // false: pressing it leaves the dialog open (Help)
    };

    std::wstring caption;
    std::wstring text;
    Icon icon = Icon::Information;
    std::vector<Button> buttons;
    int defaultResult = 0;     // the button that has the focus and answers Enter
    int escapeResult = 0;      // what Escape and the close box answer; 0: they do nothing
    HFONT font = nullptr;      // null: the dialog's default font
    COLORREF textColor = CLR_INVALID;   // CLR_INVALID: the system's window text colour
    COLORREF background = CLR_INVALID;  // CLR_INVALID: the system's dialog colour

    // The button with this result, or null.
    const Button* FindButton(int result) const;
};

// Shows the dialog over `owner` and returns the pressed button's result (0
// when the dialog could not be shown). Windows call
// Application::ShowMessageDialog instead.
int RunMessageDialog(const MessageDialogSetup& setup, HWND owner);

}  // namespace tk
