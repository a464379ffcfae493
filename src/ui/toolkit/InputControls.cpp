#include "ui/toolkit/InputControls.h"
#include "ui/toolkit/Gdi.h"
#include <algorithm>

namespace tk {

// ---- ComboBox ----

ComboBox::ComboBox(Container* parent) : Control(parent)
{
    SetTabStop(true);
    SetBounds(0, 0, 145, 21);
}

Control::CreateParams ComboBox::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = WC_COMBOBOXW;
    params.Style = CBS_DROPDOWNLIST | WS_VSCROLL;
    return params;
}

int ComboBox::WindowHeightPx(int layoutHeight) const
{
    // The window of a drop-down list includes the list that drops down.
    return layoutHeight + dropDownCount_ * ScaleToPx(16);
}

void ComboBox::AfterCreate()
{
    for (const Entry& entry : items_)
        SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
    SendMessageW(window_, CB_SETCURSEL, itemIndex_, 0);
    // The closed box takes the height its font gives it.
    RECT box;
    GetWindowRect(window_, &box);
    RECT bounds = BoundsPx();
    ResizeFromContent(bounds.right - bounds.left, box.bottom - box.top);
}

int ComboBox::AddItem(const std::wstring& text, intptr_t data)
{
    items_.push_back({text, data});
    if (window_ != nullptr)
        SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return Count() - 1;
}

void ComboBox::Clear()
{
    items_.clear();
    itemIndex_ = -1;
    if (window_ != nullptr)
        SendMessageW(window_, CB_RESETCONTENT, 0, 0);
}

std::wstring ComboBox::Item(int index) const
{
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].text : std::wstring();
}

intptr_t ComboBox::ItemData(int index) const
{
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].data : 0;
}

void ComboBox::SetItemIndex(int index)
{
    itemIndex_ = index >= 0 && index < Count() ? index : -1;
    if (window_ != nullptr)
        SendMessageW(window_, CB_SETCURSEL, itemIndex_, 0);
}

int ComboBox::ItemIndex() const
{
    if (window_ == nullptr)
        return itemIndex_;
    return static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0));
}

void ComboBox::OnCommand(WORD code)
{
    if (code != CBN_SELCHANGE)
        return;
    itemIndex_ = ItemIndex();
    if (OnChange)
        OnChange();
}

// ---- TrackBar ----

TrackBar::TrackBar(Container* parent) : Control(parent)
{
    SetTabStop(true);
    SetBounds(0, 0, 150, 45);
}

Control::CreateParams TrackBar::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = TRACKBAR_CLASSW;
    params.Style = TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS;
    return params;
}

void TrackBar::AfterCreate()
{
    SendMessageW(window_, TBM_SETRANGEMIN, FALSE, min_);
    SendMessageW(window_, TBM_SETRANGEMAX, FALSE, max_);
    SendMessageW(window_, TBM_SETPAGESIZE, 0, pageSize_);
    SendMessageW(window_, TBM_SETTICFREQ, 1, 0);
    SendMessageW(window_, TBM_SETPOS, TRUE, position_);
}

void TrackBar::SetRange(int min, int max)
{
    min_ = min;
    max_ = std::max(min, max);
    if (window_ != nullptr) {
        SendMessageW(window_, TBM_SETRANGEMIN, FALSE, min_);
        SendMessageW(window_, TBM_SETRANGEMAX, TRUE, max_);
    }
    SetPosition(std::clamp(position_, min_, max_));
}

void TrackBar::SetMin(int min) { SetRange(min, std::max(min, max_)); }
void TrackBar::SetMax(int max) { SetRange(std::min(min_, max), max); }

void TrackBar::SetPageSize(int pageSize)
{
    pageSize_ = pageSize;
    if (window_ != nullptr)
        SendMessageW(window_, TBM_SETPAGESIZE, 0, pageSize);
}

void TrackBar::SetPosition(int position)
{
    position = std::clamp(position, min_, max_);
    bool changed = position != position_;
    position_ = position;
    if (window_ != nullptr)
        SendMessageW(window_, TBM_SETPOS, TRUE, position);
    if (changed && OnChange)
        OnChange();
}

int TrackBar::Position() const
{
    if (window_ == nullptr)
        return position_;
    return static_cast<int>(SendMessageW(window_, TBM_GETPOS, 0, 0));
}

void TrackBar::OnScroll(WORD)
{
    int position = Position();
    if (position == position_)
        return;
    position_ = position;
    if (OnChange)
        OnChange();
}

// ---- ProgressBar ----

Control::CreateParams ProgressBar::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = PROGRESS_CLASSW;
    params.Style = PBS_SMOOTH;
    return params;
}

void ProgressBar::AfterCreate()
{
    SendMessageW(window_, PBM_SETRANGE32, min_, max_);
    SendMessageW(window_, PBM_SETPOS, position_, 0);
}

void ProgressBar::SetRange(int min, int max)
{
    min_ = min;
    max_ = max;
    if (window_ != nullptr)
        SendMessageW(window_, PBM_SETRANGE32, min, max);
}

void ProgressBar::SetPosition(int position)
{
    position_ = std::clamp(position, min_, max_);
    if (window_ != nullptr)
        SendMessageW(window_, PBM_SETPOS, position_, 0);
}

}  // namespace tk
