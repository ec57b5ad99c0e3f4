// The picture clipboard in the shell: popup menu 1 on a cell, and Ctrl+X,
// Ctrl+C and Ctrl+V over a cell of the screen view.
#pragma once

#include "app/app.h"

namespace lumetra {

// Commands 40..43 on the popup target of the current buffer.
void cell_popup_command(App& app, int command);

// The cell whose image the pointer is over, first match from cell 1; none
// outside the screen view or over the gaps between cells.
int cell_under_pointer();

// Commands 85..87 in the editing mode on the cell under the pointer; false
// when there is none (or another mode), leaving everything alone.
bool cell_key_command(App& app, int command);

}  // namespace lumetra
