#pragma once
// Drop-down list, track bar and progress bar.
#include "ui/toolkit/Control.h"
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tk {

// A drop-down list (no typing); every entry carries a number of the caller's.
class ComboBox : public Control {
public:
    explicit ComboBox(Container* parent);
    int AddItem(const std::wstring& text, intptr_t data = 0);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    std::wstring Item(int index) const;
    intptr_t ItemData(int index) const;
    // -1: nothing selected. Setting it does not run OnChange (only the user's choice does).
    void SetItemIndex(int index);
    int ItemIndex() const;
    void SetDropDownCount(int count) { dropDownCount_ = count; }

    std::function<void()> OnChange;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    void OnCommand(WORD code) override;
    int WindowHeightPx(int layoutHeight) const override;

private:
    struct Entry {
        std::wstring text;
        intptr_t data;
    };
    std::vector<Entry> items_;
    int itemIndex_ = -1;
    int dropDownCount_ = 8;
};

class TrackBar : public Control {
public:
    explicit TrackBar(Container* parent);
    void SetMin(int min);
    void SetMax(int max);
    void SetRange(int min, int max);
    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetPageSize(int pageSize);
    int PageSize() const { return pageSize_; }
    // OnChange runs whenever the position changes, by the user or by code.
    void SetPosition(int position);
    int Position() const;

    std::function<void()> OnChange;

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    void OnScroll(WORD code) override;

private:
    int min_ = 0;
    int max_ = 10;
    int pageSize_ = 2;
    int position_ = 0;
};

class ProgressBar : public Control {
public:
    explicit ProgressBar(Container* parent) : Control(parent) {}
    void SetRange(int min, int max);
    void SetPosition(int position);
    int Position() const { return position_; }

protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

}  // namespace tk
