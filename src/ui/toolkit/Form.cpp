#include "ui/toolkit/Form.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Gdi.h"
#include "ui/toolkit/StdControls.h"
#include <algorithm>

namespace tk {

namespace {

// Posted to a modal form once it is shown: runs the queued test action inside the loop.
constexpr UINT kModalStarted = WM_APP + 0x3F0;

}  // namespace

Form::Form() : Container(nullptr)
{
    SetParentFont(false);
    SetFont(DefaultFont());
    Application::Instance().RegisterForm(this);
}

Form::~Form()
{
    Application::Instance().UnregisterForm(this);
    // The derived form and its controls are gone; its hooks must not run again.
    ++suspended_;
    if (toolTip_ != nullptr)
        DestroyWindow(toolTip_);
    if (window_ != nullptr)
        DestroyWindow(window_);
}

void Form::SetBorderStyle(BorderStyle style)
{
    borderStyle_ = style;
    if (window_ != nullptr) {
        CreateParams params = GetCreateParams();
        bool visible = IsWindowVisible(window_);
        SetWindowLongPtrW(window_, GWL_STYLE, params.Style | (visible ? WS_VISIBLE : 0));
        SetWindowLongPtrW(window_, GWL_EXSTYLE, params.ExStyle);
        SetClientSize(ClientWidth(), ClientHeight());
    }
}

void Form::SetBorderIcons(BorderIcons icons)
{
    borderIcons_ = icons;
    SetBorderStyle(borderStyle_);
}

Control::CreateParams Form::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = kFormClass;
    params.OwnClass = true;
    params.ExStyle = WS_EX_CONTROLPARENT;
    DWORD icons = 0;
    if (borderIcons_ & biSystemMenu) {
        icons |= WS_SYSMENU;
        if (borderIcons_ & biMinimize)
            icons |= WS_MINIMIZEBOX;
        if (borderIcons_ & biMaximize)
            icons |= WS_MAXIMIZEBOX;
    }
    switch (borderStyle_) {
    case BorderStyle::Sizeable:
        params.Style = WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | icons;
        break;
    case BorderStyle::Single:
        params.Style = WS_OVERLAPPED | WS_CAPTION | icons;
        break;
    case BorderStyle::Dialog:
        // A dialog frame has no minimise or maximise box.
        params.Style = WS_POPUP | WS_CAPTION | (icons & WS_SYSMENU);
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case BorderStyle::None:
        params.Style = WS_POPUP;
        break;
    }
    params.Style |= WS_CLIPCHILDREN;
    return params;
}

void Form::SetClientSize(int width, int height)
{
    clientWidth_ = width;
    clientHeight_ = height;
    if (window_ == nullptr)
        return;
    RECT rect{0, 0, ScaleToPx(width), ScaleToPx(height)};
    auto style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
    auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    SetWindowPos(window_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Form::SetClientSizePx(int width, int height)
{
    if (window_ == nullptr) {
        pendingClientPx_ = SIZE{width, height};
        pendingBoundsPx_.reset();
        return;
    }
    pendingClientPx_.reset();
    RECT rect{0, 0, width, height};
    auto style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
    auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    SetWindowPos(window_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // A frame whose menu-less caption wraps can make the first guess wrong; correct it once.
    RECT client;
    GetClientRect(window_, &client);
    if (client.right != width || client.bottom != height) {
        RECT outer;
        GetWindowRect(window_, &outer);
        SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left + width - client.right,
                     outer.bottom - outer.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int Form::ClientWidthPx() const
{
    if (window_ == nullptr)
        return pendingClientPx_ ? pendingClientPx_->cx : ScaleToPx(clientWidth_);
    RECT area;
    GetClientRect(window_, &area);
    return area.right;
}

int Form::ClientHeightPx() const
{
    if (window_ == nullptr)
        return pendingClientPx_ ? pendingClientPx_->cy : ScaleToPx(clientHeight_);
    RECT area;
    GetClientRect(window_, &area);
    return area.bottom;
}

void Form::SetBusy(bool busy)
{
    busy_ += busy ? 1 : -1;
    if (busy_ < 0)
        busy_ = 0;
    if (window_ == nullptr)
        return;
    // Show the change now, not at the next move of the mouse.
    POINT point;
    GetCursorPos(&point);
    HWND under = WindowFromPoint(point);
    if (under != nullptr && (under == window_ || IsChild(window_, under)))
        SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

int Form::ClientWidth() const
{
    if (window_ == nullptr)
        return clientWidth_;
    RECT area;
    GetClientRect(window_, &area);
    return ScaleFromPx(area.right);
}

int Form::ClientHeight() const
{
    if (window_ == nullptr)
        return clientHeight_;
    RECT area;
    GetClientRect(window_, &area);
    return ScaleFromPx(area.bottom);
}

void Form::SetCaption(const std::wstring& caption)
{
    caption_ = caption;
    if (window_ != nullptr)
        SetWindowTextW(window_, caption.c_str());
}

void Form::CreateHandle()
{
    if (window_ != nullptr)
        return;
    ToolkitInstance();
    // Explicit outer bounds given before creation win over the client size.
    RECT given = rect_;
    boundsGiven_ = given.right > given.left && given.bottom > given.top;
    CreateParams params = GetCreateParams();
    ownClass_ = true;
    Form* main = Application::Instance().MainForm();
    HWND owner = (main != nullptr && main != this) ? main->Handle() : nullptr;
    CreateWindowExW(params.ExStyle, params.ClassName, caption_.c_str(), params.Style, CW_USEDEFAULT,
                    CW_USEDEFAULT, 100, 100, owner, nullptr, ToolkitInstance(), static_cast<Control*>(this));
    if (window_ == nullptr)
        return;
    dpi_ = WindowDpi(window_);
    scaled_ = true;
    if (pendingBoundsPx_) {
        PlaceAt(*pendingBoundsPx_);
        pendingBoundsPx_.reset();
    } else if (pendingClientPx_) {
        SetClientSizePx(pendingClientPx_->cx, pendingClientPx_->cy);
    } else if (boundsGiven_) {
        rect_ = {ScaleToPx(given.left), ScaleToPx(given.top), 0, 0};
        rect_.right = rect_.left + ScaleToPx(given.right - given.left);
        rect_.bottom = rect_.top + ScaleToPx(given.bottom - given.top);
        PlaceAt(rect_);
    } else {
        SetClientSize(clientWidth_, clientHeight_);
    }
    GetWindowRect(window_, &rect_);
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               ToolkitInstance(), nullptr);
    for (Control* child : Controls())
        child->CreateHandle();
    layoutReady_ = true;
    Realign();
}

void Form::DestroyHandle()
{
    if (toolTip_ != nullptr) {
        DestroyWindow(toolTip_);
        toolTip_ = nullptr;
    }
    if (window_ != nullptr)
        DestroyWindow(window_);
}

void Form::SetToolTip(HWND control, const std::wstring& text)
{
    if (toolTip_ == nullptr)
        return;
    // The version 1 layout works with every common controls version.
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (text.empty())
        return;
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HWND Form::OwnerForShowing() const
{
    Application& application = Application::Instance();
    if (Form* modal = application.ActiveModalForm(); modal != nullptr && modal != this)
        return modal->Handle();
    Form* main = application.MainForm();
    return (main != nullptr && main != this) ? main->Handle() : nullptr;
}

void Form::PlaceForShowing()
{
    RECT window;
    GetWindowRect(window_, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    RECT around{};
    HWND mainWindow = OwnerForShowing();
    if (position_ == Position::MainFormCenter && mainWindow != nullptr && IsWindowVisible(mainWindow)) {
        GetWindowRect(mainWindow, &around);
    } else if (position_ != Position::Designed) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(mainWindow != nullptr ? mainWindow : window_, MONITOR_DEFAULTTOPRIMARY),
                        &monitor);
        around = monitor.rcWork;
    } else {
        return;
    }
    int left = around.left + (around.right - around.left - width) / 2;
    int top = around.top + (around.bottom - around.top - height) / 2;
    if (position_ == Position::MainFormCenter && mainWindow != nullptr && IsWindowVisible(mainWindow)) {
        // Exactly over the main window's centre, wherever it is: the user
        // looks there, even when part of it lies off the screen.
        SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromRect(&around, MONITOR_DEFAULTTONEAREST), &monitor);
    left = std::max(std::min(left, static_cast<int>(monitor.rcWork.right) - width), static_cast<int>(monitor.rcWork.left));
    top = std::max(std::min(top, static_cast<int>(monitor.rcWork.bottom) - height), static_cast<int>(monitor.rcWork.top));
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show()
{
    CreateHandle();
    if (window_ == nullptr)
        return;
    if (!IsWindowVisible(window_)) {
        PlaceForShowing();
        ShowWindow(window_, SW_SHOW);
        FocusFirstControl();
        DoShow();
    }
    SetForegroundWindow(window_);
}

void Form::Hide()
{
    if (window_ != nullptr)
        ShowWindow(window_, SW_HIDE);
}

bool Form::CloseQuery()
{
    bool canClose = true;
    DoCloseQuery(canClose);
    return canClose;
}

void Form::DoCloseQuery(bool& canClose)
{
    if (OnCloseQuery)
        OnCloseQuery(canClose);
}

void Form::DoShow()
{
    if (OnShow)
        OnShow();
}

void Form::DoClose()
{
    if (OnClose)
        OnClose();
}

void Form::DoResize()
{
    if (OnResize)
        OnResize();
}

bool Form::DoMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return OnMessage && OnMessage(message, wParam, lParam, result);
}

void Form::Close()
{
    if (modal_) {
        // The modal loop asks the close query and ends the showing.
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    DoClose();
    if (Application::Instance().MainForm() == this)
        Application::Instance().Terminate();
    else
        Hide();
}

void Form::SetModalResult(int result)
{
    modalResult_ = result;
    // Wake the modal loop even when the result came from a sent message.
    if (window_ != nullptr)
        PostMessageW(window_, WM_NULL, 0, 0);
}

int Form::ShowModal()
{
    CreateHandle();
    if (window_ == nullptr || modal_ || IsWindowVisible(window_))
        return mrNone;
    Application& application = Application::Instance();
    HWND owner = OwnerForShowing();
    SetWindowLongPtrW(window_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    // Every other enabled form of the application waits for this one.
    std::vector<HWND> disabled;
    for (Form* form : application.Forms()) {
        HWND other = form->Handle();
        if (form != this && other != nullptr && IsWindowEnabled(other)) {
            EnableWindow(other, FALSE);
            disabled.push_back(other);
        }
    }
    // A form shown from inside another modal showing was disabled with the
    // rest of the application; the user must be able to answer it.
    bool wasEnabled = IsWindowEnabled(window_) != FALSE;
    EnableWindow(window_, TRUE);
    modal_ = true;
    modalResult_ = mrNone;
    abandoned_ = false;
    application.EnterModal(this);
    Show();
    PostMessageW(window_, kModalStarted, 0, 0);
    while (true) {
        if (!application.HandleMessage()) {
            modalResult_ = mrCancel;
            break;
        }
        if (abandoned_)
            break;
        if (modalResult_ != mrNone) {
            if (CloseQuery())
                break;
            modalResult_ = mrNone;
        }
    }
    DoClose();
    // Owners come back before this form hides, so activation returns to them.
    for (HWND other : disabled)
        EnableWindow(other, TRUE);
    Hide();
    if (!wasEnabled)
        EnableWindow(window_, FALSE);
    application.LeaveModal(this);
    modal_ = false;
    if (owner != nullptr && IsWindowVisible(owner))
        SetActiveWindow(owner);
    return modalResult_;
}

void Form::FocusFirstControl()
{
    HWND focus = GetNextDlgTabItem(window_, nullptr, FALSE);
    if (focus != nullptr)
        ::SetFocus(focus);
    else
        ::SetFocus(window_);
}

Button* Form::FindButton(bool wantDefault, const Container& within) const
{
    for (Control* control : within.Controls()) {
        if (!control->Visible() || !control->Enabled())
            continue;
        if (auto* button = dynamic_cast<Button*>(control)) {
            if (wantDefault ? button->Default() : button->Cancel())
                return button;
        } else if (auto* container = dynamic_cast<Container*>(control)) {
            if (Button* found = FindButton(wantDefault, *container))
                return found;
        }
    }
    return nullptr;
}

namespace {

// The drop-down list a key went to: the box itself or the edit inside it.
HWND ComboBoxOf(HWND window)
{
    for (HWND candidate : {window, GetParent(window)}) {
        wchar_t className[32] = {};
        if (candidate != nullptr && GetClassNameW(candidate, className, 32) > 0 &&
            lstrcmpiW(className, WC_COMBOBOXW) == 0)
            return candidate;
    }
    return nullptr;
}

}  // namespace

bool Form::PreTranslateMessage(MSG& message)
{
    if (window_ == nullptr || !IsWindowEnabled(window_))
        return false;
    if (message.message == WM_KEYDOWN && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
        // An open drop-down list takes Enter and Escape for itself.
        HWND combo = ComboBoxOf(message.hwnd);
        if (combo != nullptr && SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0)
            return false;
        if (message.wParam == VK_RETURN) {
            // Enter on a focused button presses that button, as in dialogs.
            Button* focused = dynamic_cast<Button*>(Control::FromHandle(message.hwnd));
            Button* target = focused != nullptr ? focused : FindButton(true, *this);
            if (target != nullptr) {
                target->Click();
                return true;
            }
        } else if (Button* cancel = FindButton(false, *this)) {
            cancel->Click();
            return true;
        }
    }
    // Tab, arrow keys between grouped controls, mnemonics.
    return IsDialogMessageW(window_, &message) != FALSE;
}

void Form::RefreshFonts(Control& control)
{
    control.FontChanged();
    if (auto* container = dynamic_cast<Container*>(&control)) {
        for (Control* child : container->Controls())
            RefreshFonts(*child);
    }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT handled = 0;
    if (DoMessage(message, wParam, lParam, handled))
        return handled;
    switch (message) {
    case WM_CLOSE:
        Close();
        return 0;
    case kModalStarted:
        if (modal_ && !Application::Instance().RunModalAction(*this)) {
            // Nobody is there to answer (a test without an action): end the
            // showing at once, whatever the close query would say.
            abandoned_ = true;
            modalResult_ = mrCancel;
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(window_, focus))
                lastFocus_ = focus;
        } else if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(window_, lastFocus_)) {
            ::SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        // Per-monitor aware: the system leaves the scaling to us.
        int oldDpi = dpi_;
        dpi_ = HIWORD(wParam);
        if (dpi_ != oldDpi) {
            DpiChanged(oldDpi, dpi_);
            RefreshFonts(*this);
        }
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        Realign();
        return 0;
    }
    case DM_GETDEFID:
        // Enter is handled in PreTranslateMessage; report no dialog default.
        return 0;
    case WM_MOVE:
        GetWindowRect(window_, &rect_);
        break;
    case WM_SIZE: {
        GetWindowRect(window_, &rect_);
        LRESULT result = Container::HandleMessage(message, wParam, lParam);
        if (layoutReady_)
            DoResize();
        return result;
    }
    }
    return Container::HandleMessage(message, wParam, lParam);
}

}  // namespace tk
