#include "ui/toolkit/TreeView.h"
#include "ui/toolkit/Application.h"

namespace tk {

TreeView::TreeView(Container* parent) : Control(parent) { SetTabStop(true); }

DWORD TreeView::Style() const
{
    DWORD style = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
    if (!readOnly_)
        style |= TVS_EDITLABELS;
    if (!hideSelection_)
        style |= TVS_SHOWSELALWAYS;
    return style;
}

Control::CreateParams TreeView::GetCreateParams() const
{
    CreateParams params;
    params.ClassName = WC_TREEVIEWW;
    params.Style = Style();
    params.ExStyle = WS_EX_CLIENTEDGE;
    return params;
}

void TreeView::AfterCreate()
{
    if (images_ != nullptr)
        SendMessageW(window_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
    SendMessageW(window_, TVM_SETINDENT, ScaleToPx(indent_), 0);
}

void TreeView::SetImages(HIMAGELIST images)
{
    images_ = images;
    if (window_ != nullptr)
        SendMessageW(window_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

void TreeView::SetIndent(int indent)
{
    indent_ = indent;
    if (window_ != nullptr)
        SendMessageW(window_, TVM_SETINDENT, ScaleToPx(indent), 0);
}

void TreeView::DpiChanged(int oldDpi, int newDpi)
{
    Control::DpiChanged(oldDpi, newDpi);
    SetIndent(indent_);
}

void TreeView::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    if (window_ != nullptr) {
        LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE) & ~static_cast<LONG_PTR>(TVS_EDITLABELS);
        SetWindowLongPtrW(window_, GWL_STYLE, style | (Style() & TVS_EDITLABELS));
    }
}

void TreeView::SetHideSelection(bool hideSelection)
{
    hideSelection_ = hideSelection;
    if (window_ != nullptr) {
        LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE) & ~static_cast<LONG_PTR>(TVS_SHOWSELALWAYS);
        SetWindowLongPtrW(window_, GWL_STYLE, style | (Style() & TVS_SHOWSELALWAYS));
    }
}

void TreeView::WindowDestroyed()
{
    // The nodes went with the window.
    store_.Clear();
}

TreeNode TreeView::InsertNode(TreeNode parent, const std::wstring& text, LPARAM key, int imageIndex,
                              int selectedImageIndex)
{
    if (window_ == nullptr) {
        store_.Release(key);
        Application::Instance().ReportMisuse(L"TreeView::AddChild before the tree's window exists (\"" + text + L"\")");
        return nullptr;
    }
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent != nullptr ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = key;
    insert.item.iImage = imageIndex;
    insert.item.iSelectedImage = selectedImageIndex < 0 ? imageIndex : selectedImageIndex;
    auto node = reinterpret_cast<TreeNode>(SendMessageW(window_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (node == nullptr)
        store_.Release(key);
    return node;
}

TreeNode TreeView::AddPlaceholder(TreeNode parent) { return AddChild(parent, L""); }

bool TreeView::IsPlaceholder(TreeNode node) const
{
    return node != nullptr && NodeKey(node) == 0 && NodeText(node).empty() && FirstChild(node) == nullptr;
}

TreeNode TreeView::FirstChild(TreeNode node) const
{
    if (window_ == nullptr)
        return nullptr;
    if (node == nullptr)
        return reinterpret_cast<TreeNode>(SendMessageW(window_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    return reinterpret_cast<TreeNode>(
        SendMessageW(window_, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(node)));
}

TreeNode TreeView::NextSibling(TreeNode node) const
{
    if (window_ == nullptr || node == nullptr)
        return nullptr;
    return reinterpret_cast<TreeNode>(SendMessageW(window_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)));
}

TreeNode TreeView::ParentNode(TreeNode node) const
{
    if (window_ == nullptr || node == nullptr)
        return nullptr;
    return reinterpret_cast<TreeNode>(
        SendMessageW(window_, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(node)));
}

int TreeView::ChildCount(TreeNode node) const
{
    int count = 0;
    for (TreeNode child = FirstChild(node); child != nullptr; child = NextSibling(child))
        ++count;
    return count;
}

std::wstring TreeView::NodeText(TreeNode node) const
{
    if (window_ == nullptr || node == nullptr)
        return {};
    std::wstring text(1024, L'\0');
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    SendMessageW(window_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    text.resize(wcslen(text.c_str()));
    return text;
}

void TreeView::SetNodeText(TreeNode node, const std::wstring& text)
{
    if (window_ == nullptr || node == nullptr)
        return;
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(window_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

LPARAM TreeView::NodeKey(TreeNode node) const
{
    if (window_ == nullptr || node == nullptr)
        return 0;
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = node;
    if (!SendMessageW(window_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.lParam;
}

void TreeView::DeleteNode(TreeNode node)
{
    if (window_ != nullptr && node != nullptr)
        SendMessageW(window_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node));
}

void TreeView::DeleteChildren(TreeNode node)
{
    TreeNode child = FirstChild(node);
    while (child != nullptr) {
        TreeNode next = NextSibling(child);
        DeleteNode(child);
        child = next;
    }
}

void TreeView::Clear()
{
    if (window_ != nullptr)
        SendMessageW(window_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    store_.Clear();
}

void TreeView::Expand(TreeNode node)
{
    if (window_ != nullptr && node != nullptr)
        SendMessageW(window_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
}

void TreeView::Collapse(TreeNode node)
{
    if (window_ != nullptr && node != nullptr)
        SendMessageW(window_, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(node));
}

bool TreeView::Expanded(TreeNode node) const
{
    if (window_ == nullptr || node == nullptr)
        return false;
    auto state = SendMessageW(window_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_EXPANDED);
    return (state & TVIS_EXPANDED) != 0;
}

TreeNode TreeView::Selected() const
{
    if (window_ == nullptr)
        return nullptr;
    return reinterpret_cast<TreeNode>(SendMessageW(window_, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TreeView::Select(TreeNode node)
{
    if (window_ != nullptr)
        SendMessageW(window_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

void TreeView::BeginUpdate()
{
    if (updateCount_++ == 0 && window_ != nullptr)
        SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
}

void TreeView::EndUpdate()
{
    if (updateCount_ == 0 || --updateCount_ > 0 || window_ == nullptr)
        return;
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT TreeView::OnNotify(NMHDR* header, bool& handled)
{
    auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
    switch (header->code) {
    case TVN_ITEMEXPANDINGW:
        if (change->action & TVE_EXPAND) {
            bool allow = true;
            if (OnExpanding)
                OnExpanding(change->itemNew.hItem, allow);
            handled = true;
            return allow ? FALSE : TRUE;
        }
        break;
    case TVN_SELCHANGEDW:
        if (OnChange)
            OnChange(change->itemNew.hItem);
        break;
    case TVN_DELETEITEMW:
        if (OnDeletion)
            OnDeletion(change->itemOld.hItem, reinterpret_cast<void*>(change->itemOld.lParam));
        store_.Release(change->itemOld.lParam);
        break;
    }
    return 0;
}

}  // namespace tk
