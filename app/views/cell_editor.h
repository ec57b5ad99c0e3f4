// The cell editor: opening cells from the screen view, drawing and erasing
// pixels with the held mouse buttons, and the read-out of the shown cell.
#pragma once

#include "app/app.h"

namespace lumetra {

// A click, right click or double click on cell 1..128 in the editing mode.
void editing_cell_event(App& app, int cell, platform::EventType type);

// Opens cell 1..128 of the current buffer in the cell editor.
void open_cell_for_editing(App& app, int cell);
// Paints the open cell (if any) normal, greys the editor, no cell open.
void close_open_cell(App& app);

// After every event of the main window, before the hover poll: marks the
// current buffer modified while a cell is open, and in the editing mode sets
// or clears the pixel under the pointer while a button is held.
void cell_editor_poll(App& app);

// Pixel image 280..343 of open cell n in buffer b: the pixel image, the bit
// and the cell image follow.
void set_pixel(App& app, int pixel_image, int cell, int buffer);
void clear_pixel(App& app, int pixel_image, int cell, int buffer);

// Texts 553 and 554 and label 551 for cell image 20..147 of buffer 1..10.
void show_read_out(const App& app, int image_id, int buffer);
// Focus on 553 selects its whole line, ready to be copied.
void read_out_focused(App& app, int control, platform::EventType type);

}  // namespace lumetra
