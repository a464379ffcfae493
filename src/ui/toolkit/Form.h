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
    // Client size in pixels, unscaled (a window sized to its picture).
    void SetClientSizePx(int width, int height);
    int ClientWidthPx() const;
    int ClientHeightPx() const;
    // Outer bounds in screen pixels, unscaled (a remembered layout): what
    // BoundsPx and SetBoundsPx of a form mean.
    RECT OuterBoundsPx() const { return BoundsPx(); }
    void SetOuterBoundsPx(const RECT& bounds) { SetBoundsPx(bounds); }

    // While busy (calls nest), the wait cursor shows over the form and every control.
    void SetBusy(bool busy);
    bool Busy() const { return busy_ > 0; }
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

    // Hooks, named as the handlers that forms assign to them. A window that
    // other windows derive from overrides the Do... handlers below instead,
    // so that what a derived window adds does not replace what it inherits.
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
    // The handlers behind the hooks; the defaults run the hooks. An override
    // calls the base's handler to keep what the base does.
    virtual void DoCloseQuery(bool& canClose);
    virtual void DoShow();
    virtual void DoClose();
    virtual void DoResize();
    virtual bool DoMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

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
    bool abandoned_ = false;
    int modalResult_ = mrNone;
    int busy_ = 0;
    std::optional<SIZE> pendingClientPx_;
    HWND toolTip_ = nullptr;
    HWND lastFocus_ = nullptr;
};

}  // namespace tk
