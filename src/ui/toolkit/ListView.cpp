#include "ui/toolkit/ListView.h"
#include "ui/toolkit/Application.h"
#include <algorithm>

namespace tk {

ListView::ListView(Container* parent) : Control(parent) { SetTabStop(true); }

DWORD ListView::Style() const
{
    DWORD style = LVS_REPORT | LVS_SHAREIMAGELISTS;
    if (!multiSelect_)
        style |= LVS_SINGLESEL;
    if (!readOnly_)
        style |= LVS_EDITLABELS;
    if (!hideSelection_)
        style |= LVS_SHOWSELALWAYS;
    if (!columnClick_)
        style |= LVS_NOSORTHEADER;
    if (ownerData_)
        style |= LVS_OWNERDATA;
    return style;
}

DWORD ListView::ExtendedStyle() const
{
    DWORD style = LVS_EX_DOUBLEBUFFER;
    if (rowSelect_)
        style |= LVS_EX_FULLROWSELECT;
    if (flatScrollBars_)
        style |= LVS_EX_FLATSB;
    return style;
}

Control::CreateParams ListView::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = WC_LISTVIEWW;
    params.Style = Style();
    params.ExStyle = WS_EX_CLIENTEDGE;
    return params;
}

int ListView::ColumnPx(const Column& column) const { return column.pixels ? column.width : ScaleToPx(column.width); }

void ListView::AfterCreate()
{
    SendMessageW(window_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ExtendedStyle());
    for (size_t index = 0; index < columns_.size(); ++index) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(columns_[index].caption.c_str());
        column.cx = ColumnPx(columns_[index]);
        SendMessageW(window_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    }
    if (smallImages_ != nullptr)
        SendMessageW(window_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_));
    if (ownerData_) {
        SendMessageW(window_, LVM_SETITEMCOUNT, ownerDataCount_, 0);
        return;
    }
    // Rows added before the window existed.
    std::vector<PendingRow> rows = std::move(pending_);
    pending_.clear();
    BeginUpdate();
    for (const PendingRow& row : rows) {
        int index = InsertIntoWindow(row.caption, row.imageIndex, row.key);
        for (size_t column = 0; column < row.subItems.size(); ++column) {
            if (!row.subItems[column].empty())
                SetSubItem(index, static_cast<int>(column) + 1, row.subItems[column]);
        }
    }
    EndUpdate();
}

void ListView::WindowDestroyed()
{
    // The rows went with the window.
    store_.Clear();
}

void ListView::SetOwnerData(bool ownerData)
{
    if (window_ != nullptr) {
        Application::Instance().ReportMisuse(L"ListView::SetOwnerData after the window was created");
        return;
    }
    ownerData_ = ownerData;
}

void ListView::SetItemCount(int count)
{
    ownerDataCount_ = std::max(count, 0);
    if (window_ != nullptr && ownerData_)
        SendMessageW(window_, LVM_SETITEMCOUNT, ownerDataCount_, LVSICF_NOSCROLL);
}

void ListView::ApplyStyle()
{
    if (window_ == nullptr)
        return;
    LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    const LONG_PTR mask = LVS_SINGLESEL | LVS_EDITLABELS | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
    SetWindowLongPtrW(window_, GWL_STYLE, (style & ~mask) | (Style() & mask));
    SendMessageW(window_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_FLATSB, ExtendedStyle());
}

void ListView::SetMultiSelect(bool multiSelect)
{
    multiSelect_ = multiSelect;
    ApplyStyle();
}

void ListView::SetRowSelect(bool rowSelect)
{
    rowSelect_ = rowSelect;
    ApplyStyle();
}

void ListView::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    ApplyStyle();
}

void ListView::SetHideSelection(bool hideSelection)
{
    hideSelection_ = hideSelection;
    ApplyStyle();
}

void ListView::SetFlatScrollBars(bool flat)
{
    flatScrollBars_ = flat;
    ApplyStyle();
}

void ListView::SetColumnClick(bool columnClick)
{
    columnClick_ = columnClick;
    ApplyStyle();
}

void ListView::SetSmallImages(HIMAGELIST images)
{
    smallImages_ = images;
    if (window_ != nullptr)
        SendMessageW(window_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void ListView::AddColumn(const std::wstring& caption, int width)
{
    columns_.push_back({caption, width, false});
    if (window_ == nullptr)
        return;
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(caption.c_str());
    column.cx = ColumnPx(columns_.back());
    SendMessageW(window_, LVM_INSERTCOLUMNW, columns_.size() - 1, reinterpret_cast<LPARAM>(&column));
}

void ListView::SetColumnCaption(int column, const std::wstring& caption)
{
    if (column < 0 || column >= ColumnCount())
        return;
    columns_[static_cast<size_t>(column)].caption = caption;
    if (window_ == nullptr)
        return;
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = const_cast<wchar_t*>(caption.c_str());
    SendMessageW(window_, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
}

void ListView::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= ColumnCount())
        return;
    columns_[static_cast<size_t>(column)] = {columns_[static_cast<size_t>(column)].caption, width, false};
    if (window_ != nullptr)
        SendMessageW(window_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(ScaleToPx(width), 0));
}

int ListView::ColumnWidth(int column) const { return ScaleFromPx(ColumnWidthPx(column)); }

void ListView::SetColumnWidthPx(int column, int pixels)
{
    if (column < 0 || column >= ColumnCount())
        return;
    pixels = std::max(pixels, 0);
    columns_[static_cast<size_t>(column)] = {columns_[static_cast<size_t>(column)].caption, pixels, true};
    if (window_ != nullptr)
        SendMessageW(window_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(pixels, 0));
}

int ListView::ColumnWidthPx(int column) const
{
    if (column < 0 || column >= ColumnCount())
        return 0;
    if (window_ == nullptr)
        return ColumnPx(columns_[static_cast<size_t>(column)]);
    return static_cast<int>(SendMessageW(window_, LVM_GETCOLUMNWIDTH, column, 0));
}

int ListView::InsertRow(const std::wstring& caption, int imageIndex, LPARAM key)
{
    if (ownerData_) {
        store_.Release(key);
        Application::Instance().ReportMisuse(L"ListView::AddItem on an owner-data list");
        return -1;
    }
    if (window_ == nullptr) {
        pending_.push_back({caption, imageIndex, key, {}});
        return static_cast<int>(pending_.size()) - 1;
    }
    int row = InsertIntoWindow(caption, imageIndex, key);
    if (row < 0)
        store_.Release(key);
    return row;
}

int ListView::InsertIntoWindow(const std::wstring& caption, int imageIndex, LPARAM key)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = Count();
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    item.lParam = key;
    item.iImage = imageIndex;
    return static_cast<int>(SendMessageW(window_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

LPARAM ListView::RowKey(int row) const
{
    if (window_ == nullptr) {
        if (row < 0 || row >= static_cast<int>(pending_.size()))
            return 0;
        return pending_[static_cast<size_t>(row)].key;
    }
    if (ownerData_)
        return 0;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(window_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.lParam;
}

void ListView::SetSubItem(int row, int column, const std::wstring& text)
{
    if (window_ == nullptr) {
        if (row < 0 || row >= static_cast<int>(pending_.size()) || column < 1)
            return;
        auto& subItems = pending_[static_cast<size_t>(row)].subItems;
        if (subItems.size() < static_cast<size_t>(column))
            subItems.resize(static_cast<size_t>(column));
        subItems[static_cast<size_t>(column) - 1] = text;
        return;
    }
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(window_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

std::wstring ListView::ItemText(int row, int column) const
{
    if (window_ == nullptr) {
        if (row < 0 || row >= static_cast<int>(pending_.size()))
            return {};
        const PendingRow& pending = pending_[static_cast<size_t>(row)];
        if (column == 0)
            return pending.caption;
        return static_cast<size_t>(column) <= pending.subItems.size() ? pending.subItems[static_cast<size_t>(column) - 1]
                                                                      : std::wstring();
    }
    std::wstring text(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    auto length = SendMessageW(window_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    text.resize(static_cast<size_t>(length));
    return text;
}

int ListView::Count() const
{
    if (window_ != nullptr)
        return static_cast<int>(SendMessageW(window_, LVM_GETITEMCOUNT, 0, 0));
    return ownerData_ ? ownerDataCount_ : static_cast<int>(pending_.size());
}

void ListView::DeleteItem(int row)
{
    if (window_ != nullptr) {
        // The deletion notice releases the row's data.
        SendMessageW(window_, LVM_DELETEITEM, row, 0);
    } else if (row >= 0 && row < static_cast<int>(pending_.size())) {
        store_.Release(pending_[static_cast<size_t>(row)].key);
        pending_.erase(pending_.begin() + row);
    }
}

void ListView::Clear()
{
    if (ownerData_) {
        SetItemCount(0);
        return;
    }
    if (window_ != nullptr)
        SendMessageW(window_, LVM_DELETEALLITEMS, 0, 0);
    pending_.clear();
    // Whatever the notices did not release (none reach a form being torn down).
    store_.Clear();
}

void ListView::SetSelected(int row, bool selected)
{
    if (window_ == nullptr)
        return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageW(window_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

bool ListView::Selected(int row) const
{
    return window_ != nullptr && (SendMessageW(window_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED);
}

int ListView::SelCount() const
{
    return window_ != nullptr ? static_cast<int>(SendMessageW(window_, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

std::vector<int> ListView::SelectedRows() const
{
    std::vector<int> rows;
    if (window_ == nullptr)
        return rows;
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(window_, LVM_GETNEXTITEM, row, LVNI_SELECTED))) != -1)
        rows.push_back(row);
    return rows;
}

void ListView::MakeVisible(int row)
{
    if (window_ != nullptr)
        SendMessageW(window_, LVM_ENSUREVISIBLE, row, FALSE);
}

void ListView::BeginUpdate()
{
    if (updateCount_++ == 0 && window_ != nullptr)
        SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
}

void ListView::EndUpdate()
{
    if (updateCount_ == 0 || --updateCount_ > 0 || window_ == nullptr)
        return;
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void ListView::DpiChanged(int oldDpi, int newDpi)
{
    Control::DpiChanged(oldDpi, newDpi);
    if (window_ == nullptr)
        return;
    for (int column = 0; column < ColumnCount(); ++column) {
        int width = static_cast<int>(SendMessageW(window_, LVM_GETCOLUMNWIDTH, column, 0));
        SendMessageW(window_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(MulDiv(width, newDpi, oldDpi), 0));
    }
}

int ListView::ClientWidth() const
{
    RECT area{};
    if (window_ != nullptr)
        GetClientRect(window_, &area);
    return ScaleFromPx(area.right);
}

void ListView::SelectionChanged(int first, int last, bool selected)
{
    if (!OnSelectItem)
        return;
    for (int row = first; row <= last; ++row)
        OnSelectItem(row, selected);
}

LRESULT ListView::OnNotify(NMHDR* header, bool& handled)
{
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (!(change->uChanged & LVIF_STATE) || !((change->uOldState ^ change->uNewState) & LVIS_SELECTED))
            break;
        bool selected = (change->uNewState & LVIS_SELECTED) != 0;
        // A change of every row at once (select all, clear all) arrives as row
        // -1; the handler still hears of each row.
        if (change->iItem >= 0)
            SelectionChanged(change->iItem, change->iItem, selected);
        else
            SelectionChanged(0, Count() - 1, selected);
        break;
    }
    case LVN_ODSTATECHANGED: {
        // Owner data: a range of rows changed at once (shift-click).
        auto* change = reinterpret_cast<NMLVODSTATECHANGE*>(header);
        if ((change->uOldState ^ change->uNewState) & LVIS_SELECTED)
            SelectionChanged(change->iFrom, change->iTo, (change->uNewState & LVIS_SELECTED) != 0);
        break;
    }
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        if (!ownerData_ || !OnData)
            break;
        std::wstring text;
        int image = -1;
        OnData(info->item.iItem, info->item.iSubItem, text, image);
        if ((info->item.mask & LVIF_TEXT) && info->item.pszText != nullptr && info->item.cchTextMax > 0) {
            size_t length = std::min(text.size(), static_cast<size_t>(info->item.cchTextMax) - 1);
            text.copy(info->item.pszText, length);
            info->item.pszText[length] = L'\0';
        }
        if (info->item.mask & LVIF_IMAGE)
            info->item.iImage = image;
        break;
    }
    case LVN_DELETEITEM: {
        auto* deletion = reinterpret_cast<NMLISTVIEW*>(header);
        if (OnDeletion)
            OnDeletion(deletion->iItem, reinterpret_cast<void*>(deletion->lParam));
        store_.Release(deletion->lParam);
        break;
    }
    case LVN_DELETEALLITEMS:
        // FALSE: a deletion notice for every row, so owners can release their data.
        handled = true;
        return FALSE;
    case NM_DBLCLK:
        if (OnDblClick)
            OnDblClick();
        break;
    }
    return 0;
}

}  // namespace tk
