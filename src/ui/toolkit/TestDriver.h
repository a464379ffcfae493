#pragma once
// What tests use to act on shown forms as a user would. Queue an action with
// Application::QueueModalAction to run it inside a modal loop; read state
// with Control::Caption, Enabled and Visible.
#include "ui/toolkit/Control.h"

namespace tk {

// Clicks a button, picture button or radio button through its window, as the
// mouse would; false (and nothing happens) when it is disabled or hidden.
bool Press(Control& control);
// A key press on a control, routed like one from the message loop (Enter,
// Escape and Tab handling of the form included).
void PressKey(Control& control, WORD virtualKey);
// Whether the control can be seen on screen: its own flag and every parent's.
bool Showing(const Control& control);

}  // namespace tk
