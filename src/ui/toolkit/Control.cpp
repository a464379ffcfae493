#include "ui/toolkit/Control.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Form.h"
#include "ui/toolkit/Gdi.h"
#include "ui/toolkit/StdControls.h"
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace tk {

const wchar_t* const kContainerClass = L"VarnoxTkWindow";
const wchar_t* const kFormClass = L"VarnoxTkForm";

HINSTANCE ToolkitInstance()
{
    static HINSTANCE instance = [] {
        HINSTANCE module = GetModuleHandleW(nullptr);
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                            ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = Control::StaticWindowProc;
        windowClass.hInstance = module;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kContainerClass;
        RegisterClassExW(&windowClass);
        windowClass.lpszClassName = kFormClass;
        windowClass.hIcon = LoadIconW(module, MAKEINTRESOURCEW(1));
        if (windowClass.hIcon == nullptr)
            windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        RegisterClassExW(&windowClass);
        return module;
    }();
    return instance;
}

// ---- Control ----

namespace {

// The class procedure behind every subclassed system window, until its WM_NCDESTROY.
std::unordered_map<HWND, WNDPROC>& OriginalProcs()
{
    static std::unordered_map<HWND, WNDPROC> procs;
    return procs;
}

// The windows whose user data holds a Control: other windows of the thread
// (a job's hidden window, a hosted browser's children) keep data of their own
// there, which must never be taken for a control.
std::unordered_set<HWND>& OwnWindows()
{
    static std::unordered_set<HWND> windows;
    return windows;
}

}  // namespace

Control::Control(Container* parent) : parent_(parent)
{
    if (parent_ != nullptr)
        parent_->children_.push_back(this);
}

Control::~Control()
{
    if (window_ != nullptr) {
        // The object is going away: cut the window loose first so nothing it
        // sends while being destroyed reaches this object.
        HWND window = window_;
        Detach();
        // A control object dies with the form object that holds it, whose own
        // members may already be gone: while the window goes, what it sends
        // to its parents gets only the default handling.
        Control* root = this;
        while (root->parent_ != nullptr)
            root = root->parent_;
        ++root->suspended_;
        DestroyWindow(window);
        --root->suspended_;
    }
    if (parent_ != nullptr) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

Form* Control::OwnerForm() const
{
    const Control* control = this;
    while (control->parent_ != nullptr)
        control = control->parent_;
    return dynamic_cast<Form*>(const_cast<Control*>(control));
}

int Control::ScaleToPx(int units) const
{
    Form* form = OwnerForm();
    return ScaleByDpi(units, form != nullptr ? form->Dpi() : USER_DEFAULT_SCREEN_DPI);
}

int Control::ScaleFromPx(int pixels) const
{
    Form* form = OwnerForm();
    return UnscaleByDpi(pixels, form != nullptr ? form->Dpi() : USER_DEFAULT_SCREEN_DPI);
}

void Control::SetBounds(int left, int top, int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (!scaled_) {
        rect_ = {left, top, left + width, top + height};
        pendingBoundsPx_.reset();
        return;
    }
    RECT rect{ScaleToPx(left), ScaleToPx(top), 0, 0};
    rect.right = rect.left + ScaleToPx(width);
    rect.bottom = rect.top + ScaleToPx(height);
    SetBoundsPx(rect);
}

void Control::SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
void Control::SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
void Control::SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
void Control::SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
int Control::Left() const { return scaled_ ? ScaleFromPx(rect_.left) : rect_.left; }
int Control::Top() const { return scaled_ ? ScaleFromPx(rect_.top) : rect_.top; }
int Control::Width() const
{
    int width = rect_.right - rect_.left;
    return scaled_ ? ScaleFromPx(width) : width;
}
int Control::Height() const
{
    int height = rect_.bottom - rect_.top;
    return scaled_ ? ScaleFromPx(height) : height;
}

void Control::SetDockedSizePx(int pixels)
{
    pixels = std::max(pixels, 0);
    if (!scaled_) {
        // Before the window exists the bounds are design units: keep the
        // pixels apart until they are scaled.
        pendingDockedPx_ = pixels;
        return;
    }
    SetDockedRect(pixels);
    RequestParentRealign();
}

void Control::SetDockedRect(int pixels)
{
    if (align_ == Align::Left || align_ == Align::Right)
        rect_.right = rect_.left + pixels;
    else
        rect_.bottom = rect_.top + pixels;
}

int Control::DockedSizePx() const
{
    if (!scaled_) {
        if (pendingDockedPx_)
            return *pendingDockedPx_;
        int units = (align_ == Align::Left || align_ == Align::Right) ? rect_.right - rect_.left
                                                                       : rect_.bottom - rect_.top;
        return ScaleToPx(units);
    }
    if (align_ == Align::Left || align_ == Align::Right)
        return rect_.right - rect_.left;
    return rect_.bottom - rect_.top;
}

void Control::SetBoundsPx(const RECT& rect)
{
    RECT bounds{rect.left, rect.top, std::max(rect.right, rect.left), std::max(rect.bottom, rect.top)};
    if (!scaled_) {
        pendingBoundsPx_ = bounds;
        return;
    }
    rect_ = bounds;
    // Bounds set at run time are the new reference of the anchors.
    anchorRect_.reset();
    if (align_ == Align::None && parent_ != nullptr && parent_->layoutReady_)
        RecordAnchorOrigin();
    PlaceAt(rect_);
    if (align_ != Align::None)
        RequestParentRealign();
}

RECT Control::BoundsPx() const
{
    if (scaled_)
        return rect_;
    if (pendingBoundsPx_)
        return *pendingBoundsPx_;
    RECT rect{ScaleToPx(rect_.left), ScaleToPx(rect_.top), 0, 0};
    rect.right = rect.left + ScaleToPx(rect_.right - rect_.left);
    rect.bottom = rect.top + ScaleToPx(rect_.bottom - rect_.top);
    return rect;
}

void Control::DpiChanged(int oldDpi, int newDpi)
{
    auto scale = [&](LONG value) { return static_cast<LONG>(MulDiv(value, newDpi, oldDpi)); };
    // Corner and size scaled apart, as at creation, so both give the same pixels.
    auto scaleRect = [&](RECT& rect) {
        rect = {scale(rect.left), scale(rect.top), scale(rect.left) + scale(rect.right - rect.left),
                scale(rect.top) + scale(rect.bottom - rect.top)};
    };
    if (parent_ != nullptr)
        scaleRect(rect_);
    if (anchorRect_)
        scaleRect(*anchorRect_);
    anchorParent_ = {scale(anchorParent_.cx), scale(anchorParent_.cy)};
    if (auto* container = dynamic_cast<Container*>(this)) {
        for (Control* child : container->Controls())
            child->DpiChanged(oldDpi, newDpi);
    }
}

void Control::SetAlign(Align align)
{
    align_ = align;
    anchorRect_.reset();
    RequestParentRealign();
}

void Control::SetAnchors(Anchors anchors)
{
    anchors_ = anchors;
    anchorRect_.reset();
    if (parent_ != nullptr && parent_->layoutReady_ && align_ == Align::None)
        RecordAnchorOrigin();
}

void Control::RecordAnchorOrigin()
{
    anchorRect_ = rect_;
    RECT area = parent_->ChildArea();
    anchorParent_ = {area.right - area.left, area.bottom - area.top};
}

void Control::RequestParentRealign()
{
    if (parent_ != nullptr)
        parent_->Realign();
}

void Control::SetVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    if (window_ != nullptr)
        ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
    if (align_ != Align::None)
        RequestParentRealign();
}

void Control::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (window_ != nullptr) {
        EnableWindow(window_, enabled);
        InvalidateRect(window_, nullptr, TRUE);
    }
}

void Control::SetCaption(const std::wstring& caption)
{
    caption_ = caption;
    if (window_ != nullptr) {
        SetWindowTextW(window_, caption.c_str());
        AdjustSize();
    }
}

std::wstring Control::Caption() const
{
    if (window_ == nullptr)
        return caption_;
    int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window_, text.data(), length + 1)));
    return text;
}

void Control::SetFont(const FontSpec& font)
{
    font_ = font;
    parentFont_ = false;
    FontChanged();
}

FontSpec Control::Font() const
{
    if (parentFont_ && parent_ != nullptr)
        return parent_->Font();
    return font_.Name.empty() ? DefaultFont() : font_;
}

void Control::SetParentFont(bool parentFont)
{
    if (!parentFont && parentFont_)
        font_ = Font();
    parentFont_ = parentFont;
    FontChanged();
}

HFONT Control::FontHandle() const
{
    Form* form = OwnerForm();
    return tk::FontHandle(Font(), form != nullptr ? form->Dpi() : USER_DEFAULT_SCREEN_DPI);
}

void Control::FontChanged()
{
    if (window_ == nullptr)
        return;
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
    AdjustSize();
}

void Control::SetTabStop(bool tabStop)
{
    tabStop_ = tabStop;
    if (window_ != nullptr) {
        LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
        style = tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        SetWindowLongPtrW(window_, GWL_STYLE, style);
    }
}

void Control::SetHint(const std::wstring& hint)
{
    hint_ = hint;
    UpdateTooltip();
}

void Control::UpdateTooltip()
{
    Form* form = OwnerForm();
    if (window_ != nullptr && form != nullptr && form != this)
        form->SetToolTip(window_, hint_);
}

void Control::SetFocus()
{
    if (window_ != nullptr)
        ::SetFocus(window_);
}

bool Control::Focused() const { return window_ != nullptr && GetFocus() == window_; }

void Control::PlaceAt(const RECT& rect)
{
    rect_ = rect;
    if (window_ == nullptr)
        return;
    SetWindowPos(window_, nullptr, rect.left, rect.top, rect.right - rect.left,
                 WindowHeightPx(rect.bottom - rect.top), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::ResizeFromContent(int widthPx, int heightPx)
{
    RECT rect = rect_;
    rect.right = rect.left + widthPx;
    rect.bottom = rect.top + heightPx;
    if (anchorRect_) {
        anchorRect_->right = anchorRect_->left + widthPx;
        anchorRect_->bottom = anchorRect_->top + heightPx;
    }
    PlaceAt(rect);
}

void Control::CreateHandle()
{
    if (window_ != nullptr)
        return;
    HWND parentWindow = parent_ != nullptr ? parent_->Handle() : nullptr;
    if (parent_ != nullptr && parentWindow == nullptr)
        return;
    ToolkitInstance();
    ScaleBoundsForCreation();
    CreateParams params = GetCreateParams();
    ownClass_ = params.OwnClass;
    DWORD style = params.Style | WS_CHILD | WS_CLIPSIBLINGS;
    if (visible_)
        style |= WS_VISIBLE;
    if (!enabled_)
        style |= WS_DISABLED;
    if (tabStop_)
        style |= WS_TABSTOP;
    if (StartsGroup())
        style |= WS_GROUP;
    static int nextId = 1000;
    HWND window = CreateWindowExW(params.ExStyle, params.ClassName, caption_.c_str(), style, rect_.left,
                                  rect_.top, rect_.right - rect_.left, WindowHeightPx(rect_.bottom - rect_.top),
                                  parentWindow,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)), ToolkitInstance(),
                                  ownClass_ ? this : nullptr);
    if (window == nullptr)
        return;
    if (ownClass_) {
        // StaticWindowProc took the object over at WM_NCCREATE.
    } else {
        window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        OwnWindows().insert(window);
        originalProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SystemClassProc)));
        OriginalProcs()[window] = originalProc_;
    }
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    AfterCreate();
    UpdateTooltip();
}

void Control::ScaleBoundsForCreation()
{
    if (scaled_)
        return;
    RECT units = rect_;
    scaled_ = true;
    if (pendingBoundsPx_) {
        rect_ = *pendingBoundsPx_;
    } else {
        rect_ = {ScaleToPx(units.left), ScaleToPx(units.top), 0, 0};
        rect_.right = rect_.left + ScaleToPx(units.right - units.left);
        rect_.bottom = rect_.top + ScaleToPx(units.bottom - units.top);
    }
    pendingBoundsPx_.reset();
    if (pendingDockedPx_) {
        SetDockedRect(*pendingDockedPx_);
        pendingDockedPx_.reset();
    }
}

bool Control::StartsGroup() const
{
    // Radio buttons next to each other form one group, which the arrow keys
    // move within: the first of them starts it, and the first control after
    // them starts the next.
    if (parent_ == nullptr)
        return false;
    const auto& siblings = parent_->children_;
    auto self = std::find(siblings.begin(), siblings.end(), this);
    bool radio = dynamic_cast<const RadioButton*>(this) != nullptr;
    bool previousRadio = self != siblings.begin() && dynamic_cast<const RadioButton*>(*(self - 1)) != nullptr;
    return radio != previousRadio;
}

Control* Control::FromHandle(HWND window)
{
    if (window == nullptr || OwnWindows().count(window) == 0)
        return nullptr;
    return reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void Control::Detach()
{
    if (window_ == nullptr)
        return;
    // A system window keeps SystemClassProc, which forwards to the class's
    // procedure from now on; others (tooltips) may have subclassed it since.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    OwnWindows().erase(window_);
    window_ = nullptr;
}

LRESULT CALLBACK Control::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* control = static_cast<Control*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        control->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        OwnWindows().insert(window);
    }
    Control* control = FromHandle(window);
    if (control == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    // The error barrier: nothing a handler throws may unwind through the system's frames.
    try {
        return control->Dispatch(message, wParam, lParam);
    } catch (...) {
        Application::Instance().HandleException();
        return 0;
    }
}

LRESULT CALLBACK Control::SystemClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto& procs = OriginalProcs();
    auto found = procs.find(window);
    WNDPROC original = found != procs.end() ? found->second : DefWindowProcW;
    Control* control = FromHandle(window);
    if (message == WM_NCDESTROY) {
        if (control != nullptr && control->window_ == window) {
            control->Detach();
            control->WindowDestroyed();
        }
        procs.erase(window);
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
    if (control == nullptr || control->window_ != window)
        return CallWindowProcW(original, window, message, wParam, lParam);
    try {
        return control->Dispatch(message, wParam, lParam);
    } catch (...) {
        Application::Instance().HandleException();
        return 0;
    }
}

LRESULT Control::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY) {
        // Last message of the window: the object no longer hears from it.
        HWND window = window_;
        bool ownClass = ownClass_;
        Detach();
        WindowDestroyed();
        return ownClass ? DefWindowProcW(window, message, wParam, lParam)
                        : CallWindowProcW(originalProc_, window, message, wParam, lParam);
    }
    const Control* root = this;
    while (root->parent_ != nullptr)
        root = root->parent_;
    if (root->suspended_ > 0)
        return DefaultHandler(message, wParam, lParam);
    if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT) {
        // A busy form shows the wait cursor over itself and every control.
        auto* form = dynamic_cast<const Form*>(root);
        if (form != nullptr && form->Busy()) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
    }
    return HandleMessage(message, wParam, lParam);
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultHandler(message, wParam, lParam);
}

LRESULT Control::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ownClass_ ? DefWindowProcW(window_, message, wParam, lParam)
                     : CallWindowProcW(originalProc_, window_, message, wParam, lParam);
}

HBRUSH Control::OnCtlColor(HDC dc)
{
    SetBkMode(dc, TRANSPARENT);
    COLORREF color = Font().Color;
    SetTextColor(dc, color == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : color);
    return parent_ != nullptr ? parent_->BackgroundBrush() : GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace tk
