// Container: the docking and anchoring layout, and the forwarding of child
// notifications to the child controls.
#include "ui/toolkit/Control.h"
#include <algorithm>

namespace tk {

Container::Container(Container* parent) : Control(parent) {}

Container::~Container()
{
    if (brush_ != nullptr)
        DeleteObject(brush_);
}

void Container::CreateHandle()
{
    Control::CreateHandle();
    if (window_ == nullptr)
        return;
    for (Control* child : children_)
        child->CreateHandle();
}

RECT Container::ChildArea() const
{
    RECT area{};
    if (window_ != nullptr)
        GetClientRect(window_, &area);
    return area;
}

void Container::Realign()
{
    if (window_ == nullptr || !layoutReady_)
        return;
    RECT area = ChildArea();
    SIZE size{area.right - area.left, area.bottom - area.top};
    RECT freeArea = area;
    // Docking order: top, bottom, left, right, then the client control; each
    // group in the order the controls were declared.
    for (Align pass : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client, Align::None}) {
        for (Control* child : children_) {
            if (child->align_ == pass && child->visible_)
                AlignChild(*child, freeArea, size);
        }
    }
    for (Control* child : children_) {
        if (auto* container = dynamic_cast<Container*>(child)) {
            container->layoutReady_ = true;
            container->Realign();
        }
    }
}

void Container::AlignChild(Control& child, RECT& freeArea, SIZE clientSize)
{
    RECT rect = child.rect_;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    switch (child.align_) {
    case Align::Top:
        rect = {freeArea.left, freeArea.top, freeArea.right, freeArea.top + height};
        freeArea.top = rect.bottom;
        break;
    case Align::Bottom:
        rect = {freeArea.left, freeArea.bottom - height, freeArea.right, freeArea.bottom};
        freeArea.bottom = rect.top;
        break;
    case Align::Left:
        rect = {freeArea.left, freeArea.top, freeArea.left + width, freeArea.bottom};
        freeArea.left = rect.right;
        break;
    case Align::Right:
        rect = {freeArea.right - width, freeArea.top, freeArea.right, freeArea.bottom};
        freeArea.right = rect.left;
        break;
    case Align::Client:
        rect = freeArea;
        break;
    case Align::None: {
        if (!child.anchorRect_)
            child.RecordAnchorOrigin();
        const RECT& origin = *child.anchorRect_;
        int dx = clientSize.cx - child.anchorParent_.cx;
        int dy = clientSize.cy - child.anchorParent_.cy;
        Anchors anchors = child.anchors_;
        rect = origin;
        if (anchors & akRight) {
            if (anchors & akLeft)
                rect.right += dx;
            else
                OffsetRect(&rect, dx, 0);
        } else if (!(anchors & akLeft) && child.anchorParent_.cx > 0) {
            // Anchored to neither side: the centre keeps its relative place.
            int centre = MulDiv(origin.left + width / 2, clientSize.cx, child.anchorParent_.cx);
            rect.left = centre - width / 2;
            rect.right = rect.left + (origin.right - origin.left);
        }
        if (anchors & akBottom) {
            if (anchors & akTop)
                rect.bottom += dy;
            else
                OffsetRect(&rect, 0, dy);
        } else if (!(anchors & akTop) && child.anchorParent_.cy > 0) {
            int centre = MulDiv(origin.top + height / 2, clientSize.cy, child.anchorParent_.cy);
            rect.top = centre - height / 2;
            rect.bottom = rect.top + (origin.bottom - origin.top);
        }
        rect.right = std::max(rect.right, rect.left);
        rect.bottom = std::max(rect.bottom, rect.top);
        break;
    }
    }
    // Keep the stored size of a docked control unless docking decides it.
    if (child.align_ == Align::Left || child.align_ == Align::Right)
        rect.right = std::max(rect.right, rect.left);
    if (child.align_ == Align::Top || child.align_ == Align::Bottom)
        rect.bottom = std::max(rect.bottom, rect.top);
    // Always through the window: after a DPI change the stored rectangle is
    // already the new one while the window still has the old size.
    child.PlaceAt(rect);
}

void Container::SetColor(COLORREF color)
{
    color_ = color;
    if (window_ != nullptr)
        RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

COLORREF Container::Color() const
{
    if (color_)
        return *color_;
    return Parent() != nullptr ? Parent()->Color() : GetSysColor(COLOR_BTNFACE);
}

HBRUSH Container::BackgroundBrush() const
{
    COLORREF color = Color();
    if (brush_ == nullptr || brushColor_ != color) {
        if (brush_ != nullptr)
            DeleteObject(brush_);
        brush_ = CreateSolidBrush(color);
        brushColor_ = color;
    }
    return brush_;
}

void Container::FontChanged()
{
    Control::FontChanged();
    for (Control* child : children_) {
        if (child->parentFont_)
            child->FontChanged();
    }
}

LRESULT Container::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (Control* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            child->OnCommand(HIWORD(wParam));
            return 0;
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (Control* child = FromHandle(header->hwndFrom)) {
            bool handled = false;
            LRESULT result = child->OnNotify(header, handled);
            if (handled)
                return result;
        }
        break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (Control* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            child->OnScroll(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (Control* child = FromHandle(item->hwndItem); child != nullptr && child->OnDrawItem(*item))
            return TRUE;
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (Control* child = FromHandle(reinterpret_cast<HWND>(lParam)))
            return reinterpret_cast<LRESULT>(child->OnCtlColor(reinterpret_cast<HDC>(wParam)));
        break;
    case WM_ERASEBKGND: {
        RECT area;
        GetClientRect(window_, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, BackgroundBrush());
        return 1;
    }
    case WM_PRINTCLIENT: {
        RECT area;
        GetClientRect(window_, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, BackgroundBrush());
        return 0;
    }
    case WM_SIZE:
        Realign();
        break;
    }
    return DefaultHandler(message, wParam, lParam);
}

}  // namespace tk
