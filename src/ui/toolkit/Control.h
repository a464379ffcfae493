#pragma once
// The base of every control: a Win32 window with design-time bounds, docking,
// anchors, font and the plain properties forms set. Bounds are given in
// design units (pixels at 96 DPI) and scaled to the form's monitor when the
// window is created; layout itself runs in physical pixels. What is stored or
// measured in pixels (remembered layouts, branding sizes, pictures) goes
// through the ...Px members, which are never scaled.
#include "ui/toolkit/Types.h"
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tk {

class Container;
class Form;

class Control {
public:
    explicit Control(Container* parent);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Bounds in design units, relative to the parent's client area.
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    // Physical rectangle in the parent's client coordinates (what layout
    // produced); set before the window exists, it is used unscaled.
    RECT BoundsPx() const;
    void SetBoundsPx(const RECT& rect);
    // Width of a control docked left or right, height of one docked top or
    // bottom, in physical pixels (what a splitter drag changes).
    void SetDockedSizePx(int pixels);
    int DockedSizePx() const;

    void SetAlign(Align align);
    Align GetAlign() const { return align_; }
    void SetAnchors(Anchors anchors);
    Anchors GetAnchors() const { return anchors_; }

    void SetVisible(bool visible);
    bool Visible() const { return visible_; }
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    // The window text: a button's caption, a label's text, an edit's content.
    virtual void SetCaption(const std::wstring& caption);
    virtual std::wstring Caption() const;
    void SetText(const std::wstring& text) { SetCaption(text); }
    std::wstring Text() const { return Caption(); }

    // Own font, or the parent's while ParentFont holds (the default).
    void SetFont(const FontSpec& font);
    FontSpec Font() const;
    void SetParentFont(bool parentFont);
    bool ParentFont() const { return parentFont_; }
    void SetTabStop(bool tabStop);
    bool TabStop() const { return tabStop_; }
    // A tooltip shown while the mouse rests on the control.
    void SetHint(const std::wstring& hint);
    const std::wstring& Hint() const { return hint_; }

    void SetFocus();
    bool Focused() const;

    HWND Handle() const { return window_; }
    bool HandleAllocated() const { return window_ != nullptr; }
    Container* Parent() const { return parent_; }
    Form* OwnerForm() const;
    int ScaleToPx(int units) const;
    int ScaleFromPx(int pixels) const;

    // Creates the window (and, for containers, the windows of the children).
    virtual void CreateHandle();
    // The control behind one of our windows, or null.
    static Control* FromHandle(HWND window);

protected:
    struct CreateParams {
        const wchar_t* ClassName = nullptr;
        DWORD Style = 0;
        DWORD ExStyle = 0;
        bool OwnClass = false;   // a toolkit class: messages arrive through StaticWindowProc
    };
    virtual CreateParams GetCreateParams() const = 0;
    // Pushes the stored properties into the freshly created window.
    virtual void AfterCreate() {}
    // The window is gone (WM_NCDESTROY); what belonged to it can go too.
    virtual void WindowDestroyed() {}
    // Forwarded by the parent container.
    virtual void OnCommand(WORD /*code*/) {}
    virtual LRESULT OnNotify(NMHDR* /*header*/, bool& /*handled*/) { return 0; }
    virtual void OnScroll(WORD /*code*/) {}
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    // Background of a static-like child; the default paints it in the parent's colour.
    virtual HBRUSH OnCtlColor(HDC dc);
    // Messages of the control's own window.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
    // Called when the font in force changes.
    virtual void FontChanged();
    // Size the window wants for its content (auto-sizing labels).
    virtual void AdjustSize() {}
    // The form moved to a monitor of another DPI: rescale what the control keeps in pixels.
    virtual void DpiChanged(int oldDpi, int newDpi);
    // Height given to the window for a laid-out height (a drop-down list adds its list).
    virtual int WindowHeightPx(int layoutHeight) const { return layoutHeight; }
    // Moves the window to a physical rectangle chosen by the layout.
    void PlaceAt(const RECT& rect);
    // Resizes from the content (auto-size); the anchors keep the new size.
    void ResizeFromContent(int widthPx, int heightPx);
    HFONT FontHandle() const;
    void RequestParentRealign();

    HWND window_ = nullptr;
    std::wstring caption_;

public:
    // Window procedure of the toolkit's own window classes.
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Window procedure put in front of a system class's own (plain subclassing:
    // the comctl32 subclass chain makes a list view under Wine 25 times slower).
    static LRESULT CALLBACK SystemClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class Container;
    friend class Form;
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();
    void UpdateTooltip();
    void RecordAnchorOrigin();
    // Turns the design-unit bounds into pixels when the window is created.
    void ScaleBoundsForCreation();
    void SetDockedRect(int pixels);
    // WS_GROUP: the first of adjacent radio buttons, and the control after them.
    bool StartsGroup() const;

    Container* parent_;
    WNDPROC originalProc_ = nullptr;   // the system class's procedure
    int suspended_ = 0;     // on the root: a control's window is being destroyed by its destructor
    bool ownClass_ = false;
    RECT rect_{};           // design units before the window exists, physical pixels afterwards
    bool scaled_ = false;
    // Pixel sizes given before the window exists, used instead of scaling.
    std::optional<RECT> pendingBoundsPx_;
    std::optional<int> pendingDockedPx_;
    Align align_ = Align::None;
    Anchors anchors_ = akLeftTop;
    // Where the control stood, and how big its parent was, when its anchors took hold.
    std::optional<RECT> anchorRect_;
    SIZE anchorParent_{};
    bool visible_ = true;
    bool enabled_ = true;
    bool tabStop_ = false;
    bool parentFont_ = true;
    FontSpec font_;
    std::wstring hint_;
};

// A control that holds other controls and lays them out.
class Container : public Control {
public:
    explicit Container(Container* parent);
    ~Container() override;

    const std::vector<Control*>& Controls() const { return children_; }
    // Docks the aligned children and moves the anchored ones to the current client size.
    void Realign();
    // Background colour of the container and of the transparent children on it.
    void SetColor(COLORREF color);
    COLORREF Color() const;
    HBRUSH BackgroundBrush() const;
    void CreateHandle() override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FontChanged() override;
    virtual RECT ChildArea() const;
    bool layoutReady_ = false;

private:
    friend class Control;
    void AlignChild(Control& child, RECT& freeArea, SIZE clientSize);
    std::vector<Control*> children_;
    std::optional<COLORREF> color_;
    mutable HBRUSH brush_ = nullptr;
    mutable COLORREF brushColor_ = CLR_INVALID;
};

// Registers the toolkit's window classes once; returns the module instance.
HINSTANCE ToolkitInstance();
extern const wchar_t* const kContainerClass;
extern const wchar_t* const kFormClass;

}  // namespace tk
