// The ten code views (one per buffer, all at the same place, one visible)
// and the status line that names the cell under the pointer.
#pragma once

#include <vector>

#include "app/layout.h"

namespace lumetra {

constexpr int code_view_of(int buffer) { return 520 + buffer; }

std::vector<LayoutRow> code_view_rows();  // all ten, hidden

// Shows the view of the buffer and hides the other nine; with focus, the
// shown one takes the keyboard focus.
void ShowCodeView(int buffer, bool focus);

// "Кристалл — 2;  Страница — 1;  Сегмент  — 2" into the status line.
void ShowCellPosition(int cell);

}  // namespace lumetra
