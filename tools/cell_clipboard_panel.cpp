#include "tools/cell_clipboard_panel.h"

#include "editor/screen_view.h"
#include "tools/cell_clipboard.h"

namespace lumetra {

namespace {

void show_changed_cell(App& app, int cell)
{
    int buffer = current_buffer(app.store);
    // The open cell keeps its colour and the editor follows its new bytes.
    if (cell == open_cell(app.store)) {
        paint_cell(app, cell_image_of(cell), CellState::Open, buffer);
        paint_editor(app, cell, buffer);
    } else {
        paint_cell(app, cell_image_of(cell), CellState::Normal, buffer);
    }
}

bool run(App& app, int command, int cell)
{
    CellCommandEffect effect = RunCellCommand(app.store, app.clipboard, command, cell);
    if (effect.repaint) show_changed_cell(app, cell);
    return effect.done;
}

}  // namespace

void cell_popup_command(App& app, int command) { run(app, command, app.shell.popup_target); }

int cell_under_pointer()
{
    platform::Point pointer = platform::pointer_position();
    if (!platform::control_screen_rect(kScreenFrame).contains(pointer)) return kNoCell;
    return cell_at(pointer);
}

bool cell_key_command(App& app, int command)
{
    if (app.shell.mode != 1) return false;
    int cell = cell_under_pointer();
    return cell != kNoCell && run(app, command, cell);
}

}  // namespace lumetra
