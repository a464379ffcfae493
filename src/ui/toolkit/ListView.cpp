#include "ui/toolkit/ListView.h"

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

void ListView::AfterCreate()
{
    SendMessageW(window_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ExtendedStyle());
    for (size_t index = 0; index < columns_.size(); ++index) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(columns_[index].caption.c_str());
        column.cx = ScaleToPx(columns_[index].width);
        SendMessageW(window_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    }
    if (smallImages_ != nullptr)
        SendMessageW(window_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_));
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
    columns_.push_back({caption, width});
    if (window_ == nullptr)
        return;
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(caption.c_str());
    column.cx = ScaleToPx(width);
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
    columns_[static_cast<size_t>(column)].width = width;
    if (window_ != nullptr)
        SendMessageW(window_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(ScaleToPx(width), 0));
}

int ListView::ColumnWidth(int column) const
{
    if (column < 0 || column >= ColumnCount())
        return 0;
    if (window_ == nullptr)
        return columns_[static_cast<size_t>(column)].width;
    return ScaleFromPx(static_cast<int>(SendMessageW(window_, LVM_GETCOLUMNWIDTH, column, 0)));
}

int ListView::AddItem(const std::wstring& caption, void* data, int imageIndex)
{
    if (window_ == nullptr)
        return -1;
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = Count();
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    item.lParam = reinterpret_cast<LPARAM>(data);
    item.iImage = imageIndex;
    return static_cast<int>(SendMessageW(window_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::SetSubItem(int row, int column, const std::wstring& text)
{
    if (window_ == nullptr)
        return;
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(window_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

std::wstring ListView::ItemText(int row, int column) const
{
    if (window_ == nullptr)
        return {};
    std::wstring text(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    auto length = SendMessageW(window_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    text.resize(static_cast<size_t>(length));
    return text;
}

void* ListView::ItemData(int row) const
{
    if (window_ == nullptr)
        return nullptr;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(window_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<void*>(item.lParam);
}

int ListView::Count() const
{
    return window_ != nullptr ? static_cast<int>(SendMessageW(window_, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

void ListView::DeleteItem(int row)
{
    if (window_ != nullptr)
        SendMessageW(window_, LVM_DELETEITEM, row, 0);
}

void ListView::Clear()
{
    if (window_ != nullptr)
        SendMessageW(window_, LVM_DELETEALLITEMS, 0, 0);
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

LRESULT ListView::OnNotify(NMHDR* header, bool& handled)
{
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (!(change->uChanged & LVIF_STATE) || !((change->uOldState ^ change->uNewState) & LVIS_SELECTED) ||
            !OnSelectItem)
            break;
        bool selected = (change->uNewState & LVIS_SELECTED) != 0;
        // A change of every row at once (select all, clear all) arrives as row
        // -1; the handler still hears of each row.
        if (change->iItem >= 0) {
            OnSelectItem(change->iItem, selected);
        } else {
            for (int row = 0, rows = Count(); row < rows; ++row)
                OnSelectItem(row, selected);
        }
        break;
    }
    case LVN_DELETEITEM: {
        auto* deletion = reinterpret_cast<NMLISTVIEW*>(header);
        if (OnDeletion)
            OnDeletion(deletion->iItem, reinterpret_cast<void*>(deletion->lParam));
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
