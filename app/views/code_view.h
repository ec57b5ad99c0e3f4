// The ten code views (one per buffer, all at the same place, one visible)
// and the status line that names the cell under the pointer.
#pragma once

#include <vector>

#include "app/ids.h"
#include "app/layout.h"

namespace lumetra {


// All ten lie on top of each other here.
inline constexpr Rect kCodeViewRect{4, 340, 550, 150};
// Where the right button opens the code view's popup: edges excluded, and
// only up to x = 550, short of the views' right edge.
constexpr bool inside_code_view_area(platform::Point at)
{
    return at.x > kCodeViewRect.x && at.x < kCodeViewRect.w && at.y > kCodeViewRect.y &&
           at.y < kCodeViewRect.y + kCodeViewRect.h;
}

std::vector<LayoutRow> code_view_rows();  // all ten, hidden

// A buffer's view is made when it is first shown: a rich-text control costs
// a good part of a millisecond to make under Wine, and most buffers are
// never looked at. True when it exists.
bool make_code_view(int buffer);

// Shows the view of the buffer and hides the other nine; with focus, the
// shown one takes the keyboard focus.
void show_code_view(int buffer, bool focus);

// "Кристалл — 2;  Страница — 1;  Сегмент  — 2" into the status line.
void show_cell_position(int cell);

}  // namespace lumetra
