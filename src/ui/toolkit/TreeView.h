#pragma once
// A tree view with an image list and owned data of any type per node. A node
// whose children are not read yet carries one placeholder child (empty text,
// no data) so it shows an expand button; OnExpanding is where it is replaced.
#include "ui/toolkit/Control.h"
#include "ui/toolkit/ItemData.h"
#include <functional>
#include <memory>
#include <string>

namespace tk {

using TreeNode = HTREEITEM;

class TreeView : public Control {
public:
    explicit TreeView(Container* parent);

    void SetImages(HIMAGELIST images);   // not owned
    void SetIndent(int indent);
    void SetReadOnly(bool readOnly);
    void SetHideSelection(bool hideSelection);

    // parent null: a root node. Nodes exist only with the window: before it
    // is created this reports a programming error and returns null. A node
    // owns its data; it is released when the node goes.
    TreeNode AddChild(TreeNode parent, const std::wstring& text, int imageIndex = -1, int selectedImageIndex = -1)
    {
        return InsertNode(parent, text, 0, imageIndex, selectedImageIndex);
    }
    template <typename T>
    TreeNode AddChild(TreeNode parent, const std::wstring& text, std::unique_ptr<T> data, int imageIndex = -1,
                      int selectedImageIndex = -1)
    {
        return InsertNode(parent, text, store_.Keep(std::move(data)), imageIndex, selectedImageIndex);
    }
    // The node's data when it is a T, else null.
    template <typename T>
    T* Data(TreeNode node) const
    {
        return store_.As<T>(NodeKey(node));
    }
    size_t OwnedDataCount() const { return store_.Size(); }
    TreeNode AddPlaceholder(TreeNode parent);
    bool IsPlaceholder(TreeNode node) const;
    TreeNode FirstChild(TreeNode node) const;   // null: the first root
    TreeNode NextSibling(TreeNode node) const;
    TreeNode ParentNode(TreeNode node) const;
    int ChildCount(TreeNode node) const;
    std::wstring NodeText(TreeNode node) const;
    void SetNodeText(TreeNode node, const std::wstring& text);
    void DeleteNode(TreeNode node);
    void DeleteChildren(TreeNode node);
    void Clear();

    // Expanding asks OnExpanding first (the first time, as the system does).
    void Expand(TreeNode node);
    void Collapse(TreeNode node);
    bool Expanded(TreeNode node) const;
    TreeNode Selected() const;
    void Select(TreeNode node);

    void BeginUpdate();
    void EndUpdate();

    std::function<void(TreeNode node, bool& allowExpansion)> OnExpanding;
    std::function<void(TreeNode node)> OnChange;
    // A node is going; its data (null when none) is released right after.
    std::function<void(TreeNode node, void* data)> OnDeletion;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    void WindowDestroyed() override;
    LRESULT OnNotify(NMHDR* header, bool& handled) override;
    void DpiChanged(int oldDpi, int newDpi) override;

private:
    DWORD Style() const;
    TreeNode InsertNode(TreeNode parent, const std::wstring& text, LPARAM key, int imageIndex, int selectedImageIndex);
    LPARAM NodeKey(TreeNode node) const;

    ItemStore store_;
    HIMAGELIST images_ = nullptr;
    int indent_ = 19;
    bool readOnly_ = true;
    bool hideSelection_ = true;
    int updateCount_ = 0;
};

}  // namespace tk
