#pragma once
// A report-style list view: columns with widths, rows with owned data of
// any type and a small icon, multi-selection reported row by row, redraw
// suspension for filling thousands of rows, and an owner-data mode in which
// the list holds only a count and asks for what it shows.
#include "ui/toolkit/Control.h"
#include "ui/toolkit/ItemData.h"
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tk {

class ListView : public Control {
public:
    explicit ListView(Container* parent);

    // Columns; widths in design units, or in pixels through the ...Px members
    // (a remembered width).
    void AddColumn(const std::wstring& caption, int width);
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    void SetColumnCaption(int column, const std::wstring& caption);
    void SetColumnWidth(int column, int width);
    int ColumnWidth(int column) const;
    void SetColumnWidthPx(int column, int pixels);
    int ColumnWidthPx(int column) const;

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

    // Rows. Rows added before the window exists are kept and shown when it
    // is created. A row owns its data; it is released when the row goes.
    int AddItem(const std::wstring& caption, int imageIndex = -1) { return InsertRow(caption, imageIndex, 0); }
    template <typename T>
    int AddItem(const std::wstring& caption, std::unique_ptr<T> data, int imageIndex = -1)
    {
        return InsertRow(caption, imageIndex, store_.Keep(std::move(data)));
    }
    // The row's data when it is a T, else null.
    template <typename T>
    T* Data(int row) const
    {
        return store_.As<T>(RowKey(row));
    }
    void SetSubItem(int row, int column, const std::wstring& text);
    std::wstring ItemText(int row, int column = 0) const;
    int Count() const;
    void DeleteItem(int row);
    void Clear();
    // How many rows own data (what is still to be released).
    size_t OwnedDataCount() const { return store_.Size(); }

    // Owner data: set before the window is created. The list then holds only
    // SetItemCount rows and asks OnData for each text and icon it shows;
    // AddItem is not available.
    void SetOwnerData(bool ownerData);
    bool OwnerData() const { return ownerData_; }
    void SetItemCount(int count);
    std::function<void(int row, int column, std::wstring& text, int& imageIndex)> OnData;

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
    // A row is going; its data (null when none) is released right after.
    std::function<void(int row, void* data)> OnDeletion;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    void WindowDestroyed() override;
    LRESULT OnNotify(NMHDR* header, bool& handled) override;
    void DpiChanged(int oldDpi, int newDpi) override;

private:
    struct Column {
        std::wstring caption;
        int width;
        bool pixels;   // the width is in pixels, not design units
    };
    struct PendingRow {
        std::wstring caption;
        int imageIndex;
        LPARAM key;
        std::vector<std::wstring> subItems;
    };
    DWORD Style() const;
    DWORD ExtendedStyle() const;
    void ApplyStyle();
    int InsertRow(const std::wstring& caption, int imageIndex, LPARAM key);
    int InsertIntoWindow(const std::wstring& caption, int imageIndex, LPARAM key);
    LPARAM RowKey(int row) const;
    int ColumnPx(const Column& column) const;
    void SelectionChanged(int first, int last, bool selected);

    ItemStore store_;
    std::vector<PendingRow> pending_;
    bool ownerData_ = false;
    int ownerDataCount_ = 0;

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
