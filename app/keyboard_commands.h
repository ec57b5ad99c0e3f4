// Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+A and Alt+S (commands 85..89): they act on
// whatever the pointer is over, not on the control with the keyboard focus,
// and sound the warning beep when there is nothing there for them.
#pragma once

#include "app/app.h"

namespace lumetra {

void pointer_command(App& app, int command);

// The control exists and the pointer is over it.
bool pointer_over(int control);

}  // namespace lumetra
