// The one-cell picture clipboard: cut, copy, paste and clear of one 8 x 8
// cell of a buffer. The copied cell is held by the program, not by the
// system clipboard, so it pastes into any cell of any buffer.
#pragma once

#include <array>
#include <cstdint>

#include "core/image_store.h"

namespace lumetra {

// Bytes 1..8 of one cell; zero at start and never cleared afterwards.
struct CellClipboard {
    std::array<std::uint8_t, kCellBytes> bytes{};
};

enum class CellCommand { Cut = 1, Copy = 2, Paste = 3, Clear = 4 };

// Applies command to cell 1..128 of buffer 1..10; does nothing and answers
// false when the cell, the buffer or the command is out of range. Cut, Paste
// and Clear rewrite the cell, which the shell then paints in the normal
// state; Copy paints nothing; Clear leaves the clipboard as it was. The
// modified flag is the caller's business (see RunCellCommand).
bool ApplyCellCommand(ImageStore& store, CellClipboard& clipboard, int cell, int buffer, CellCommand command);

// Popup commands 40..43 (Вырезать, Копировать, Вставить, Очистить) and the
// keyboard commands 85..87 (Ctrl+X, Ctrl+C, Ctrl+V) that reach a cell.
struct CellCommandRow {
    int command_id;
    CellCommand command;
    bool marks_modified;  // popup Copy does not; Ctrl+C over a cell does
};
inline constexpr CellCommandRow kCellCommandRows[] = {
    {40, CellCommand::Cut, true},  {41, CellCommand::Copy, false}, {42, CellCommand::Paste, true},
    {43, CellCommand::Clear, true}, {85, CellCommand::Cut, true},  {86, CellCommand::Copy, true},
    {87, CellCommand::Paste, true},
};

struct CellCommandEffect {
    bool done = false;     // a cell was acted on; a keyboard command that is not done beeps
    bool repaint = false;  // paint the cell from the current buffer
};

// Command command_id on cell of the current buffer: the popup target for
// 40..43, the cell under the pointer for 85..87 (kNoCell when the pointer is
// over none, which leaves everything alone). Sets the current buffer's
// modified flag as the table says.
CellCommandEffect RunCellCommand(ImageStore& store, CellClipboard& clipboard, int command_id, int cell);

}  // namespace lumetra
