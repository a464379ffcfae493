#pragma once
// Scoped states of controls and forms, undone on every way out of a scope
// (an exception stopped by the error barrier included): drawing of a list or
// tree suspended while it is refilled, a form busy.
#include "ui/toolkit/Form.h"

namespace tk {

// For any control with nesting BeginUpdate and EndUpdate (ListView, TreeView).
template <typename View>
class UpdateScope {
public:
    explicit UpdateScope(View& view) : view_(view) { view_.BeginUpdate(); }
    ~UpdateScope() { view_.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    View& view_;
};

// The wait cursor over a form and its controls while it lasts.
class BusyScope {
public:
    explicit BusyScope(Form& form) : form_(form) { form_.SetBusy(true); }
    ~BusyScope() { form_.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Form& form_;
};

}  // namespace tk
