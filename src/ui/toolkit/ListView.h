#pragma once
// A report-style list view: columns with widths, rows with a data pointer
// and a small icon, multi-selection reported row by row, and redraw
// suspension for filling thousands of rows.
#include "ui/toolkit/Control.h"
#include <functional>
#include <string>
#include <vector>

namespace tk {

class ListView : public Control {
public:
    explicit ListView(Container* parent);

    // Columns; widths in design units.
    void AddColumn(const std::wstring& caption, int width);
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    void SetColumnCaption(int column, const std::wstring& caption);
    void SetColumnWidth(int column, int width);
    int ColumnWidth(int column) const;

    // Style; set before the window is created or at any time after.
    void SetMultiSelect(bool multiSelect);
    void SetRowSelect(bool rowSelect);
    void SetReadOnly(bool readOnly);
    void SetHideSelection(bool hideSelection);
    void SetFlatScrollBars(bool flat);
    // Clicking a column heading does nothing unless this is set.
    void SetColumnClick(bool columnClick);
    // Not owned.
    void SetSmallImages(HIMAGELIST images);

    // Rows. The data pointer belongs to the caller; OnDeletion tells when a row goes.
    int AddItem(const std::wstring& caption, void* data = nullptr, int imageIndex = -1);
    void SetSubItem(int row, int column, const std::wstring& text);
    std::wstring ItemText(int row, int column = 0) const;
    void* ItemData(int row) const;
    int Count() const;
    void DeleteItem(int row);
    void Clear();

    void SetSelected(int row, bool selected);
    bool Selected(int row) const;
    int SelCount() const;
    // The selected rows, top to bottom.
    std::vector<int> SelectedRows() const;
    void MakeVisible(int row);

    // Nested; drawing resumes (and the list is repainted once) at the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }

    // Width of the client area in design units (what column sizing works with).
    int ClientWidth() const;

    // One call per row whose selection changed (every row, when the system
    // changes all of them at once).
    std::function<void(int row, bool selected)> OnSelectItem;
    std::function<void()> OnDblClick;
    std::function<void(int row, void* data)> OnDeletion;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    LRESULT OnNotify(NMHDR* header, bool& handled) override;
    void DpiChanged(int oldDpi, int newDpi) override;

private:
    struct Column {
        std::wstring caption;
        int width;
    };
    DWORD Style() const;
    DWORD ExtendedStyle() const;
    void ApplyStyle();

    std::vector<Column> columns_;
    bool multiSelect_ = false;
    bool rowSelect_ = false;
    bool readOnly_ = true;
    bool hideSelection_ = true;
    bool flatScrollBars_ = false;
    bool columnClick_ = false;
    HIMAGELIST smallImages_ = nullptr;
    int updateCount_ = 0;
};

}  // namespace tk
