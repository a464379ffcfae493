#include "ui/toolkit/PictureButton.h"
#include "ui/toolkit/Form.h"
#include <shellapi.h>
#include <algorithm>
#include <map>

namespace tk {

PictureButton::PictureButton(Container* parent) : Button(parent) {}

Control::CreateParams PictureButton::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = WC_BUTTONW;
    params.Style = BS_OWNERDRAW;
    return params;
}

void PictureButton::SetGlyph(HBITMAP glyph)
{
    glyph_.Reset(glyph);
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, TRUE);
}

void PictureButton::SetNumGlyphs(int count)
{
    numGlyphs_ = std::max(count, 1);
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, TRUE);
}

void PictureButton::SetFlat(bool flat)
{
    flat_ = flat;
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, TRUE);
}

void PictureButton::SetShield(bool shield)
{
    shield_ = shield;
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, TRUE);
}

namespace {

// The system's shield at `size` pixels, made once per size for the process.
HICON ShieldIcon(int size)
{
    static std::map<int, HICON> icons;
    auto found = icons.find(size);
    if (found != icons.end())
        return found->second;
    HICON icon = static_cast<HICON>(LoadImageW(nullptr, IDI_SHIELD, IMAGE_ICON, size, size, LR_SHARED));
    if (icon == nullptr) {
        SHSTOCKICONINFO stock{};
        stock.cbSize = sizeof(stock);
        if (SUCCEEDED(SHGetStockIconInfo(SIID_SHIELD, SHGSI_ICON | SHGSI_SMALLICON, &stock)))
            icon = stock.hIcon;
    }
    icons[size] = icon;
    return icon;
}

}  // namespace

void PictureButton::DrawShield(HDC dc, int right, int bottom, int glyphHeight) const
{
    // Branding glyphs keep their pixels on any monitor: beside one, the
    // shield keeps to half its height.
    int size = ScaleToPx(16);
    if (glyphHeight > 0)
        size = std::max(12, std::min(size, glyphHeight / 2));
    HICON icon = ShieldIcon(size);
    if (icon == nullptr)
        return;
    UINT flags = DST_ICON | (Enabled() ? DSS_NORMAL : DSS_DISABLED);
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, right - size, bottom - size, size, size, flags);
}

RECT PictureButton::GlyphSourceRect() const
{
    BITMAP info{};
    if (!glyph_ || GetObjectW(glyph_.Get(), sizeof(info), &info) == 0)
        return {0, 0, 0, 0};
    int width = info.bmWidth / numGlyphs_;
    // The second look is the disabled one; a single glyph serves both states.
    int index = (!Enabled() && numGlyphs_ > 1) ? 1 : 0;
    return {index * width, 0, (index + 1) * width, info.bmHeight};
}

void PictureButton::DrawGlyph(HDC dc, int left, int top) const
{
    RECT source = GlyphSourceRect();
    int width = source.right - source.left;
    int height = source.bottom - source.top;
    MemoryDC memory(dc);
    memory.Select(glyph_.Get());
    COLORREF key = GetPixel(memory.Get(), 0, height - 1);
    GdiTransparentBlt(dc, left, top, width, height, memory.Get(), source.left, 0, width, height, key);
}

void PictureButton::Paint(HDC dc, const RECT& rect, bool pressed, bool focused) const
{
    HBRUSH background = Parent() != nullptr ? Parent()->BackgroundBrush() : GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &rect, background);
    bool enabled = Enabled();
    if (!flat_ || (enabled && (hot_ || pressed))) {
        RECT edge = rect;
        DrawEdge(dc, &edge, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    int offset = pressed ? 1 : 0;

    RECT source = GlyphSourceRect();
    int glyphWidth = source.right - source.left;
    int glyphHeight = source.bottom - source.top;
    HGDIOBJ oldFont = SelectObject(dc, FontHandle());
    RECT textRect{rect.left + 2, 0, rect.right - 2, 0};
    UINT wrap = DT_WORDBREAK;
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &textRect,
              DT_CALCRECT | DT_CENTER | wrap | DT_NOPREFIX);
    int textHeight = caption_.empty() ? 0 : textRect.bottom - textRect.top;
    int spacing = (glyphHeight > 0 && textHeight > 0) ? ScaleToPx(spacing_) : 0;
    // A button of a fixed pixel size on a high-DPI monitor: rather one line
    // cut short than a second line cut in half.
    if (glyphHeight + spacing + textHeight > rect.bottom - rect.top) {
        wrap = DT_SINGLELINE | DT_END_ELLIPSIS;
        textRect = {rect.left + 2, 0, rect.right - 2, 0};
        DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &textRect,
                  DT_CALCRECT | DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
        textHeight = caption_.empty() ? 0 : textRect.bottom - textRect.top;
    }
    int top = rect.top + (rect.bottom - rect.top - glyphHeight - spacing - textHeight) / 2 + offset;
    int glyphLeft = rect.left + (rect.right - rect.left - glyphWidth) / 2 + offset;
    if (glyphHeight > 0)
        DrawGlyph(dc, glyphLeft, top);
    // Over the glyph's lower right corner, as on the system's own buttons;
    // in the button's upper right corner when it has no glyph.
    if (shield_ && glyphHeight > 0)
        DrawShield(dc, glyphLeft + glyphWidth + ScaleToPx(4), top + glyphHeight, glyphHeight);
    else if (shield_)
        DrawShield(dc, rect.right - ScaleToPx(3) + offset, rect.top + ScaleToPx(3) + ScaleToPx(16) + offset, 0);
    textRect = {rect.left + 2 + offset, top + glyphHeight + spacing, rect.right - 2 + offset, rect.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &textRect, DT_CENTER | wrap | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    if (focused) {
        RECT focus = rect;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

bool PictureButton::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    bool focused = (item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT);
    Paint(item.hDC, item.rcItem, (item.itemState & ODS_SELECTED) != 0, focused);
    return true;
}

LRESULT PictureButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        if (!hot_) {
            hot_ = true;
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_, 0};
            TrackMouseEvent(&track);
            InvalidateRect(window_, nullptr, FALSE);
        }
        break;
    case WM_MOUSELEAVE:
        hot_ = false;
        InvalidateRect(window_, nullptr, FALSE);
        break;
    case WM_ERASEBKGND:
        return 1;
    }
    return Button::HandleMessage(message, wParam, lParam);
}

}  // namespace tk
