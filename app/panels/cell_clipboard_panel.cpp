#include "app/panels/cell_clipboard_panel.h"

#include "app/views/screen_view.h"
#include "tools/cell_clipboard.h"

namespace lumetra {

namespace {

// The popup's four items and the three keys that reach a cell.
struct CellCommandRow {
    int command_id;
    CellCommand command;
    bool marks_modified;  // popup Copy does not; Ctrl+C over a cell does
};
constexpr CellCommandRow kCellCommandRows[] = {
    {kCmdCellCut, CellCommand::Cut, true},     {kCmdCellCopy, CellCommand::Copy, false},
    {kCmdCellPaste, CellCommand::Paste, true}, {kCmdCellClear, CellCommand::Clear, true},
    {kCmdKeyCut, CellCommand::Cut, true},      {kCmdKeyCopy, CellCommand::Copy, true},
    {kCmdKeyPaste, CellCommand::Paste, true},
};

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

bool run(App& app, int command_id, int cell)
{
    for (const CellCommandRow& row : kCellCommandRows) {
        if (row.command_id != command_id) continue;
        CellCommandEffect effect = run_cell_command(app.store, app.clipboard, row.command, row.marks_modified, cell);
        if (effect.repaint) show_changed_cell(app, cell);
        return effect.done;
    }
    return false;
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
    if (app.shell.mode != Mode::Editing) return false;
    int cell = cell_under_pointer();
    return cell != kNoCell && run(app, command, cell);
}

}  // namespace lumetra
