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
// modified flag is the caller's business (see run_cell_command).
bool apply_cell_command(ImageStore& store, CellClipboard& clipboard, int cell, int buffer, CellCommand command);

struct CellCommandEffect {
    bool done = false;     // a cell was acted on; a keyboard command that is not done beeps
    bool repaint = false;  // paint the cell from the current buffer
};

// command on cell of the current buffer (kNoCell, as when the pointer is over
// no cell, leaves everything alone). With marks_modified the current buffer
// is marked modified once the command is done: the popup's Copy does not mark
// it, Ctrl+C over a cell does.
CellCommandEffect run_cell_command(ImageStore& store, CellClipboard& clipboard, CellCommand command,
                                   bool marks_modified, int cell);

}  // namespace lumetra
