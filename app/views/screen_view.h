// The screen view (the current buffer as 128 cell images, four times
// enlarged), the buffer tabs above it, the grey cell editor beside it, and
// the hover highlight with its status-line read-out.
#pragma once

#include <vector>

#include "app/ids.h"
#include "app/app.h"
#include "app/layout.h"
#include "core/view_geometry.h"

namespace lumetra {


constexpr Rgb to_rgb(ViewColour colour) { return {colour.r, colour.g, colour.b}; }

inline constexpr Rgb kCellBackground = to_rgb(kViewBackground);
inline constexpr Rgb kOpenCellBackground{148, 255, 164};
inline constexpr Rgb kHoverBackground{18, 237, 237};
inline constexpr Rgb kInk = to_rgb(kViewInk);
inline constexpr Rgb kEditorGrey{154, 154, 154};

enum class CellState { Normal, Open, Hovered };

// Screen position of a cell image inside container 9: 1-pixel gaps between
// cells, 3 pixels between the two crystals.
Rect cell_image_rect(int cell);
// Pixel image of byte k, bit b of the open cell inside container 11.
Rect pixel_image_rect(int byte, int bit);
// The cell whose image holds the screen point, first match from cell 1;
// none over the gaps between cells and outside the view.
int cell_at(platform::Point point);

std::vector<LayoutRow> screen_view_rows();  // tabs come apart: they carry items
platform::ControlSpec buffer_tabs_spec();
std::vector<LayoutRow> cell_editor_rows();

// The bitmaps as made at start: cells in the background colour, pixels grey.
void make_view_bitmaps(ScreenView& view);
// Hands every bitmap to its image control.
void show_view_bitmaps(const ScreenView& view);

void paint_cell(App& app, int image_id, CellState state, int buffer);
// Every cell in the normal state from a picture that is not in the store
// (the text dialog's preview); the hover highlight is forgotten.
void paint_picture(App& app, const ScreenBuffer& picture);
// Every cell in the normal state; afterwards no cell is open-coloured or
// hovered, so the hover highlight is forgotten too.
void paint_all_cells(App& app, int buffer);
void paint_editor(App& app, int cell, int buffer);
// After the current buffer was loaded, cleared or switched to: every cell
// from the store, the cell editor grey and no cell open.
void show_whole_buffer(App& app);
void clear_cell_editor(App& app);
void paint_pixel_image(App& app, int id, bool lit);

// Label 551 greyed, 553 and 554 empty.
void clear_read_out();

// The title literal followed by the current buffer's file name.
void show_window_title(const App& app);

// After every event of the main window: highlights the cell under the
// pointer and names it in the status line.
void hover_poll(App& app);

}  // namespace lumetra
