#pragma once
// What tests use to act on shown forms as a user would. Queue an action with
// Application::QueueModalAction to run it inside a modal loop; read state
// with Control::Caption, Enabled and Visible. Every action refuses (returns
// false, nothing happens) what a user could not do: a control that is
// hidden or disabled, or one on a form that a modal window disables.
#include "ui/toolkit/Control.h"
#include "ui/toolkit/TreeView.h"
#include <functional>
#include <initializer_list>

namespace tk {

class ListView;

// Clicks a button, picture button, radio button or check box through its window, as the
// mouse would.
bool Press(Control& control);
// A key press on a control, routed like one from the message loop (Enter,
// Escape and Tab handling of the form included).
void PressKey(Control& control, WORD virtualKey);
// Whether the control can be seen on screen: its own flag and every parent's.
bool Showing(const Control& control);
// Whether a user could act on the control now.
bool Usable(const Control& control);

// Selects a list row as a click does: the list takes the focus, the row
// alone is selected and focused (with `extend`, as a Ctrl+click: added to the
// selection), and the list sends its notifications.
bool ChooseItem(ListView& list, int row, bool extend = false);
// Selects several rows, as a click on the first and Ctrl+clicks on the rest.
bool ChooseItems(ListView& list, std::initializer_list<int> rows);
// Selects a tree node as a click does.
bool ChooseItem(TreeView& tree, TreeNode node);
// Double-clicks a list row or a tree node through the control's window.
bool DoubleClick(ListView& list, int row);
bool DoubleClick(TreeView& tree, TreeNode node);

// Handles messages (those worker threads post included) until `done` holds
// or `timeoutMs` passed; returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

}  // namespace tk
