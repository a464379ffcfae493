#include "ui/toolkit/FrameControls.h"
#include "ui/toolkit/Gdi.h"
#include <algorithm>
#include <windowsx.h>

namespace tk {

// ---- Splitter ----

Splitter::Splitter(Container* parent) : Control(parent)
{
    SetBounds(0, 0, 3, 3);
    SetAlign(Align::Left);
}

Control::CreateParams Splitter::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = kContainerClass;
    params.OwnClass = true;
    return params;
}

Control* Splitter::Neighbour() const
{
    RECT self = BoundsPx();
    for (Control* sibling : Parent()->Controls()) {
        if (sibling == this || !sibling->Visible() || sibling->GetAlign() != GetAlign())
            continue;
        RECT other = sibling->BoundsPx();
        bool touches = false;
        switch (GetAlign()) {
        case Align::Left: touches = other.right == self.left; break;
        case Align::Right: touches = other.left == self.right; break;
        case Align::Top: touches = other.bottom == self.top; break;
        case Align::Bottom: touches = other.top == self.bottom; break;
        default: break;
        }
        if (touches)
            return sibling;
    }
    return nullptr;
}

int Splitter::PointerPosition(LPARAM lParam) const
{
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    MapWindowPoints(window_, GetParent(window_), &point, 1);
    return Vertical() ? point.x : point.y;
}

void Splitter::Paint(HDC dc)
{
    RECT area;
    GetClientRect(window_, &area);
    FillRect(dc, &area, Parent()->BackgroundBrush());
    if (beveled_)
        DrawEdge(dc, &area, BDR_RAISEDINNER, Vertical() ? (BF_LEFT | BF_RIGHT) : (BF_TOP | BF_BOTTOM));
}

LRESULT Splitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, Vertical() ? IDC_SIZEWE : IDC_SIZENS));
        return TRUE;
    case WM_LBUTTONDOWN: {
        dragged_ = Neighbour();
        if (dragged_ == nullptr)
            return 0;
        dragStart_ = PointerPosition(lParam);
        startSize_ = dragged_->DockedSizePx();
        // What lies beyond the splitter: the client control, or the rest of the parent.
        RECT self = BoundsPx();
        RECT parentArea;
        GetClientRect(GetParent(window_), &parentArea);
        int beyond = 0;
        switch (GetAlign()) {
        case Align::Left: beyond = parentArea.right - self.right; break;
        case Align::Right: beyond = self.left; break;
        case Align::Top: beyond = parentArea.bottom - self.bottom; break;
        default: beyond = self.top; break;
        }
        for (Control* sibling : Parent()->Controls()) {
            if (sibling->Visible() && sibling->GetAlign() == Align::Client) {
                RECT client = sibling->BoundsPx();
                beyond = Vertical() ? client.right - client.left : client.bottom - client.top;
            }
        }
        maxSize_ = startSize_ + beyond - ScaleToPx(minSize_);
        SetCapture(window_);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragged_ != nullptr && GetCapture() == window_) {
            int delta = PointerPosition(lParam) - dragStart_;
            if (GetAlign() == Align::Right || GetAlign() == Align::Bottom)
                delta = -delta;
            int minimum = ScaleToPx(minSize_);
            int size = std::clamp(startSize_ + delta, minimum, std::max(maxSize_, minimum));
            if (size != dragged_->DockedSizePx())
                dragged_->SetDockedSizePx(size);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (dragged_ != nullptr) {
            dragged_ = nullptr;
            if (GetCapture() == window_)
                ReleaseCapture();
            if (OnMoved)
                OnMoved();
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        Paint(dc);
        EndPaint(window_, &paint);
        return 0;
    }
    }
    return Control::HandleMessage(message, wParam, lParam);
}

// ---- StatusBar ----

StatusBar::StatusBar(Container* parent) : Control(parent)
{
    SetBounds(0, 0, 0, 19);
    SetAlign(Align::Bottom);
}

Control::CreateParams StatusBar::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = STATUSCLASSNAMEW;
    // The layout places the bar; it must not move itself to the parent's bottom.
    params.Style = CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | (sizeGrip_ ? SBARS_SIZEGRIP : 0);
    return params;
}

void StatusBar::AfterCreate()
{
    // Tall enough for a line of its font.
    int height = std::max<int>(FontLineHeight(FontHandle()) + ScaleToPx(6), BoundsPx().bottom - BoundsPx().top);
    ResizeFromContent(BoundsPx().right - BoundsPx().left, height);
    ApplyPanels();
}

void StatusBar::DpiChanged(int oldDpi, int newDpi)
{
    Control::DpiChanged(oldDpi, newDpi);
    ApplyPanels();
}

void StatusBar::ApplyPanels()
{
    if (window_ == nullptr)
        return;
    if (panels_.empty()) {
        SendMessageW(window_, SB_SIMPLE, TRUE, 0);
        return;
    }
    SendMessageW(window_, SB_SIMPLE, FALSE, 0);
    std::vector<int> edges;
    int right = 0;
    for (size_t index = 0; index < panels_.size(); ++index) {
        right += ScaleToPx(panels_[index].width);
        edges.push_back(index + 1 == panels_.size() ? -1 : right);
    }
    SendMessageW(window_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t index = 0; index < panels_.size(); ++index)
        SendMessageW(window_, SB_SETTEXTW, index, reinterpret_cast<LPARAM>(panels_[index].text.c_str()));
}

void StatusBar::SetPanelCount(int count)
{
    panels_.resize(static_cast<size_t>(std::max(count, 0)));
    ApplyPanels();
}

void StatusBar::SetPanelWidth(int panel, int width)
{
    if (panel < 0 || panel >= PanelCount())
        return;
    panels_[static_cast<size_t>(panel)].width = width;
    ApplyPanels();
}

int StatusBar::PanelWidth(int panel) const
{
    return panel >= 0 && panel < PanelCount() ? panels_[static_cast<size_t>(panel)].width : 0;
}

void StatusBar::SetPanelText(int panel, const std::wstring& text)
{
    if (panel < 0 || panel >= PanelCount())
        return;
    panels_[static_cast<size_t>(panel)].text = text;
    if (window_ != nullptr)
        SendMessageW(window_, SB_SETTEXTW, panel, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring StatusBar::PanelText(int panel) const
{
    return panel >= 0 && panel < PanelCount() ? panels_[static_cast<size_t>(panel)].text : std::wstring();
}

LRESULT StatusBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The bar would otherwise answer a parent's resize by moving itself.
    if (message == WM_SIZE)
        return 0;
    return Control::HandleMessage(message, wParam, lParam);
}

}  // namespace tk
