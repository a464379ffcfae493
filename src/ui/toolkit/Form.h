#pragma once
// A top-level window built from controls. Forms are created once and shown
// many times: hiding keeps the window and every control's state, and
// ShowModal runs a nested message loop that disables the application's other
// forms until a modal result is set.
#include "ui/toolkit/Control.h"
#include <functional>
#include <string>

namespace tk {

class Button;

class Form : public Container {
public:
    Form();
    ~Form() override;

    void SetBorderStyle(BorderStyle style);
    BorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderIcons(BorderIcons icons);
    void SetPosition(Position position) { position_ = position; }
    // Client size in design units.
    void SetClientSize(int width, int height);
    int ClientWidth() const;
    int ClientHeight() const;
    void SetCaption(const std::wstring& caption) override;

    // Creates the window and every control's window (Application::CreateForm calls it).
    void CreateHandle() override;
    // Destroys the windows while the object is still whole (Application::Run does it at the end).
    void DestroyHandle();
    void Show();
    void Hide();
    // Asks the close-query hook; hides the form, or ends the application for the main form.
    void Close();
    int ShowModal();
    bool Modal() const { return modal_; }
    void SetModalResult(int result);
    int GetModalResult() const { return modalResult_; }

    int Dpi() const { return dpi_; }
    // Enter, Escape and Tab for the controls of this form; true when consumed.
    bool PreTranslateMessage(MSG& message);
    void SetToolTip(HWND control, const std::wstring& text);
    HWND ToolTipHandle() const { return toolTip_; }

    // Hooks, named as the handlers that forms assign to them.
    std::function<void(bool& canClose)> OnCloseQuery;
    std::function<void()> OnClose;
    std::function<void()> OnResize;
    std::function<void()> OnShow;
    // Any other message of the form's window (WM_APP messages a form posts to
    // itself); return true when handled, with the result in `result`.
    std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)> OnMessage;

protected:
    CreateParams GetCreateParams() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool CloseQuery();
    // Every control takes its font again (at a new DPI).
    void RefreshFonts(Control& control);
    void PlaceForShowing();
    void FocusFirstControl();
    Button* FindButton(bool wantDefault, const Container& within) const;
    HWND OwnerForShowing() const;

    BorderStyle borderStyle_ = BorderStyle::Sizeable;
    BorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    Position position_ = Position::Designed;
    int clientWidth_ = 320;
    int clientHeight_ = 240;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool boundsGiven_ = false;
    bool modal_ = false;
    int modalResult_ = mrNone;
    HWND toolTip_ = nullptr;
    HWND lastFocus_ = nullptr;
};

}  // namespace tk
