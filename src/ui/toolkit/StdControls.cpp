#include "ui/toolkit/StdControls.h"
#include "ui/toolkit/Form.h"

namespace tk {

// ---- Panel ----

Control::CreateParams Panel::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = kContainerClass;
    params.OwnClass = true;
    params.Style = WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_CONTROLPARENT;
    return params;
}

// ---- Label ----

Control::CreateParams Label::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = WC_STATICW;
    params.Style = SS_OWNERDRAW | SS_NOPREFIX;
    return params;
}

void Label::AfterCreate() { AdjustSize(); }

void Label::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    AdjustSize();
}

void Label::SetWordWrap(bool wordWrap)
{
    wordWrap_ = wordWrap;
    AdjustSize();
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, TRUE);
}

void Label::SetAlignment(TextAlignment alignment)
{
    alignment_ = alignment;
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, TRUE);
}

void Label::SetCaption(const std::wstring& caption)
{
    Control::SetCaption(caption);
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, TRUE);
}

UINT Label::DrawFlags() const
{
    UINT flags = DT_NOPREFIX | DT_EXPANDTABS;
    if (wordWrap_)
        flags |= DT_WORDBREAK;
    if (alignment_ == TextAlignment::Center)
        flags |= DT_CENTER;
    else if (alignment_ == TextAlignment::Right)
        flags |= DT_RIGHT;
    return flags;
}

void Label::AdjustSize()
{
    if (!autoSize_ || window_ == nullptr)
        return;
    HDC dc = GetDC(window_);
    HGDIOBJ old = SelectObject(dc, FontHandle());
    RECT rect = BoundsPx();
    OffsetRect(&rect, -rect.left, -rect.top);
    if (!wordWrap_)
        rect.right = 0;
    std::wstring text = caption_.empty() ? std::wstring(L" ") : caption_;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DrawFlags() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
    RECT bounds = BoundsPx();
    ResizeFromContent(wordWrap_ ? bounds.right - bounds.left : rect.right, rect.bottom);
}

bool Label::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    FillRect(dc, &rect, Parent() != nullptr ? Parent()->BackgroundBrush() : GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    COLORREF color = Font().Color;
    if (!Enabled())
        color = GetSysColor(COLOR_GRAYTEXT);
    else if (color == CLR_INVALID)
        color = GetSysColor(COLOR_WINDOWTEXT);
    SetTextColor(dc, color);
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &rect, DrawFlags());
    SelectObject(dc, old);
    return true;
}

// ---- Button ----

Button::Button(Container* parent) : Control(parent) { SetTabStop(true); }

Control::CreateParams Button::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = WC_BUTTONW;
    params.Style = default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    return params;
}

void Button::SetDefault(bool isDefault)
{
    default_ = isDefault;
    // Owner-drawn buttons keep their style; they draw the default look themselves.
    if (window_ != nullptr && (GetWindowLongPtrW(window_, GWL_STYLE) & BS_TYPEMASK) != BS_OWNERDRAW)
        SendMessageW(window_, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void Button::Click()
{
    if (modalResult_ != mrNone) {
        if (Form* form = OwnerForm())
            form->SetModalResult(modalResult_);
    }
    if (OnClick)
        OnClick();
}

void Button::OnCommand(WORD code)
{
    if (code == BN_CLICKED)
        Click();
}

// ---- Edit ----

Edit::Edit(Container* parent) : Control(parent) { SetTabStop(true); }

Control::CreateParams Edit::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = WC_EDITW;
    params.Style = ES_AUTOHSCROLL | (readOnly_ ? ES_READONLY : 0);
    params.ExStyle = WS_EX_CLIENTEDGE;
    return params;
}

void Edit::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    if (window_ != nullptr)
        SendMessageW(window_, EM_SETREADONLY, readOnly, 0);
}

void Edit::OnCommand(WORD code)
{
    if (code == EN_CHANGE && OnChange)
        OnChange();
}

HBRUSH Edit::OnCtlColor(HDC dc)
{
    // Only read-only (and disabled) edits ask with WM_CTLCOLORSTATIC.
    if (!parentColor_ || Parent() == nullptr)
        return reinterpret_cast<HBRUSH>(DefWindowProcW(GetParent(window_), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(window_)));
    SetBkColor(dc, Parent()->Color());
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return Parent()->BackgroundBrush();
}

// ---- RadioButton ----

RadioButton::RadioButton(Container* parent) : Control(parent) { SetTabStop(true); }

Control::CreateParams RadioButton::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = WC_BUTTONW;
    params.Style = BS_AUTORADIOBUTTON;
    return params;
}

void RadioButton::AfterCreate() { SendMessageW(window_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0); }

void RadioButton::SetChecked(bool checked)
{
    checked_ = checked;
    if (window_ == nullptr)
        return;
    if (checked) {
        // Checking one clears the others of the same parent, as a click would.
        for (Control* sibling : Parent()->Controls()) {
            auto* radio = dynamic_cast<RadioButton*>(sibling);
            if (radio != nullptr && radio != this)
                radio->SetChecked(false);
        }
    }
    SendMessageW(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool RadioButton::Checked() const
{
    if (window_ == nullptr)
        return checked_;
    return SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RadioButton::OnCommand(WORD code)
{
    if (code != BN_CLICKED)
        return;
    checked_ = Checked();
    if (OnClick)
        OnClick();
}

// ---- CheckBox ----

CheckBox::CheckBox(Container* parent) : Control(parent) { SetTabStop(true); }

Control::CreateParams CheckBox::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = WC_BUTTONW;
    params.Style = BS_AUTOCHECKBOX;
    return params;
}

void CheckBox::AfterCreate() { SendMessageW(window_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0); }

void CheckBox::SetChecked(bool checked)
{
    checked_ = checked;
    if (window_ != nullptr)
        SendMessageW(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBox::Checked() const
{
    if (window_ == nullptr)
        return checked_;
    return SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::OnCommand(WORD code)
{
    if (code != BN_CLICKED)
        return;
    checked_ = Checked();
    if (OnClick)
        OnClick();
}

// ---- GroupBox ----

Control::CreateParams GroupBox::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = kContainerClass;
    params.OwnClass = true;
    params.ExStyle = WS_EX_CONTROLPARENT;
    return params;
}

void GroupBox::CreateHandle()
{
    Container::CreateHandle();
    if (window_ == nullptr)
        return;
    RECT area;
    GetClientRect(window_, &area);
    frame_ = CreateWindowExW(0, WC_BUTTONW, caption_.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, 0,
                             area.right, area.bottom, window_, nullptr, ToolkitInstance(), nullptr);
    SendMessageW(frame_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    // The frame lies under the controls it holds.
    SetWindowPos(frame_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void GroupBox::SetCaption(const std::wstring& caption)
{
    caption_ = caption;
    if (frame_ != nullptr)
        SetWindowTextW(frame_, caption.c_str());
}

void GroupBox::FontChanged()
{
    Container::FontChanged();
    if (frame_ != nullptr)
        SendMessageW(frame_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
}

LRESULT GroupBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && frame_ != nullptr)
        SetWindowPos(frame_, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER | SWP_NOACTIVATE);
    if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == frame_) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(BackgroundBrush());
    }
    if (message == WM_NCDESTROY)
        frame_ = nullptr;
    return Container::HandleMessage(message, wParam, lParam);
}

// ---- Image ----

Control::CreateParams Image::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = kContainerClass;
    params.OwnClass = true;
    return params;
}

void Image::SetBitmap(HBITMAP bitmap)
{
    bitmap_.Reset(bitmap);
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, TRUE);
}

SIZE Image::BitmapSize() const
{
    BITMAP info{};
    if (!bitmap_ || GetObjectW(bitmap_.Get(), sizeof(info), &info) == 0)
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

void Image::SetCenter(bool center)
{
    center_ = center;
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, TRUE);
}

void Image::SetTransparent(bool transparent)
{
    transparent_ = transparent;
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, TRUE);
}

void Image::Paint(HDC dc)
{
    RECT area;
    GetClientRect(window_, &area);
    FillRect(dc, &area, Parent() != nullptr ? Parent()->BackgroundBrush() : GetSysColorBrush(COLOR_BTNFACE));
    SIZE size = BitmapSize();
    if (size.cx == 0 || size.cy == 0)
        return;
    int left = center_ ? (area.right - size.cx) / 2 : 0;
    int top = center_ ? (area.bottom - size.cy) / 2 : 0;
    MemoryDC source(dc);
    source.Select(bitmap_.Get());
    if (transparent_) {
        COLORREF key = GetPixel(source.Get(), 0, size.cy - 1);
        GdiTransparentBlt(dc, left, top, size.cx, size.cy, source.Get(), 0, 0, size.cx, size.cy, key);
    } else {
        BitBlt(dc, left, top, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
    }
}

LRESULT Image::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        Paint(dc);
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

}  // namespace tk
