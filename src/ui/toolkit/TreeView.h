#pragma once
// A tree view with an image list and a data pointer per node. A node whose
// children are not read yet carries one placeholder child (empty text, no
// data) so it shows an expand button; OnExpanding is where it is replaced.
#include "ui/toolkit/Control.h"
#include <functional>
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

    // parent null: a root node. Returns null when the window does not exist.
    TreeNode AddChild(TreeNode parent, const std::wstring& text, void* data = nullptr, int imageIndex = -1,
                      int selectedImageIndex = -1);
    TreeNode AddPlaceholder(TreeNode parent);
    bool IsPlaceholder(TreeNode node) const;
    TreeNode FirstChild(TreeNode node) const;   // null: the first root
    TreeNode NextSibling(TreeNode node) const;
    TreeNode ParentNode(TreeNode node) const;
    int ChildCount(TreeNode node) const;
    std::wstring NodeText(TreeNode node) const;
    void SetNodeText(TreeNode node, const std::wstring& text);
    void* NodeData(TreeNode node) const;
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
    std::function<void(TreeNode node, void* data)> OnDeletion;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    LRESULT OnNotify(NMHDR* header, bool& handled) override;
    void DpiChanged(int oldDpi, int newDpi) override;

private:
    DWORD Style() const;
    HIMAGELIST images_ = nullptr;
    int indent_ = 19;
    bool readOnly_ = true;
    bool hideSelection_ = true;
    int updateCount_ = 0;
};

}  // namespace tk
