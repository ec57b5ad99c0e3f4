#include "app/views/cell_editor.h"

#include "app/views/screen_view.h"
#include "listing/listing.h"

namespace lumetra {

using platform::EventType;

namespace {

// Only the inner part of a 16 x 16 pixel image draws: the two outer pixels
// on the left and top and the last one on the right and bottom do not.
constexpr int kInnerFirst = 2, kInnerLast = 14;

void show_cell_popup(App& app, int cell)
{
    close_open_cell(app);
    app.shell.popup_target = cell;
    platform::show_popup_menu(1);
}

void change_pixel(App& app, int pixel_image, int cell, int buffer, bool lit)
{
    paint_pixel_image(app, pixel_image, lit);
    int index = pixel_image - kFirstPixelImage;
    if (index < 0 || index >= kPixelImageCount || !valid_cell(cell) || !valid_buffer(buffer)) return;
    int byte = index / 8 + 1, bit = index % 8;
    if (lit) set_bit(app.store, buffer, cell, byte, bit);
    else clear_bit(app.store, buffer, cell, byte, bit);
    paint_cell(app, cell_image_of(cell), CellState::Open, buffer);
}

}  // namespace

void close_open_cell(App& app)
{
    int cell = open_cell(app.store);
    if (cell != kNoCell) paint_cell(app, cell_image_of(cell), CellState::Normal, current_buffer(app.store));
    clear_cell_editor(app);
    set_open_cell(app.store, kNoCell);
}

void open_cell_for_editing(App& app, int cell)
{
    if (!valid_cell(cell)) return;
    int buffer = current_buffer(app.store);
    paint_editor(app, cell, buffer);
    int previous = open_cell(app.store);
    if (cell != previous) {
        if (previous != kNoCell) paint_cell(app, cell_image_of(previous), CellState::Normal, buffer);
        set_open_cell(app.store, cell);
        paint_cell(app, cell_image_of(cell), CellState::Open, buffer);
    }
    show_read_out(app, cell_image_of(cell), buffer);
}

void editing_cell_event(App& app, int cell, EventType type)
{
    switch (type) {
    case EventType::DoubleClick: open_cell_for_editing(app, cell); break;
    case EventType::RightClick: show_cell_popup(app, cell); break;
    case EventType::Click:
        if (cell != open_cell(app.store)) close_open_cell(app);
        break;
    default: break;
    }
}

void set_pixel(App& app, int pixel_image, int cell, int buffer) { change_pixel(app, pixel_image, cell, buffer, true); }
void clear_pixel(App& app, int pixel_image, int cell, int buffer) { change_pixel(app, pixel_image, cell, buffer, false); }

void cell_editor_poll(App& app)
{
    int cell = open_cell(app.store);
    if (cell == kNoCell) return;
    int buffer = current_buffer(app.store);
    // Every pass with a cell open counts as an edit, whether a pixel changes or not.
    set_modified(app.store, buffer, true);
    if (app.shell.mode != Mode::Editing) return;

    // The platform reports whether a button is held now, with no memory of
    // earlier presses, so there is no stale reading to throw away first.
    platform::Point pointer = platform::pointer_position();
    for (int image = kFirstPixelImage; image < kFirstPixelImage + kPixelImageCount; ++image) {
        platform::Rect rect = platform::control_screen_rect(image);
        if (!rect.contains(pointer)) continue;
        DrawingSample sample{image, platform::left_button_down(), platform::right_button_down()};
        int px = pointer.x - rect.x, py = pointer.y - rect.y;
        if (px < kInnerFirst || px > kInnerLast || py < kInnerFirst || py > kInnerLast) continue;
        if (sample == app.shell.last_sample) continue;
        app.shell.last_sample = sample;
        // The left button wins when both are down; with neither, only the
        // sample changes. Setting or clearing repaints the open cell too.
        if (!sample.left && !sample.right) continue;
        if (sample.left) set_pixel(app, image, cell, buffer);
        else clear_pixel(app, image, cell, buffer);
        show_read_out(app, cell_image_of(cell), buffer);
    }
}

void show_read_out(const App& app, int image_id, int buffer)
{
    int cell = cell_of_image(image_id);
    if (cell == kNoCell || !valid_buffer(buffer)) return;
    CellLocation at = locate_cell(cell);
    platform::set_text(kReadOutNumbers, std::to_string(at.crystal) + "\n\n" + std::to_string(at.page) + "\n\n" +
                                            std::to_string(at.column_group));
    // The same bytes as the cell's line in the listing.
    platform::set_text(kReadOutCode, format_cell_bytes(*buffer_of(app.store, buffer), cell));
    platform::enable(kReadOutLabels, true);
}

void read_out_focused(App&, int control, EventType type)
{
    if (type == EventType::GainFocus) platform::select_all(control);
}

}  // namespace lumetra
