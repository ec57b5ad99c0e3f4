#include "tools/cell_clipboard.h"

#include <algorithm>

namespace lumetra {

bool apply_cell_command(ImageStore& store, CellClipboard& clipboard, int cell, int buffer, CellCommand command)
{
    ScreenBuffer* picture = buffer_of(store, buffer);
    int first = byte_offset(cell, 1);
    if (!picture || first < 0) return false;
    auto bytes = picture->bytes.begin() + first;
    switch (command) {
    case CellCommand::Cut:
        std::copy_n(bytes, kCellBytes, clipboard.bytes.begin());
        std::fill_n(bytes, kCellBytes, 0);
        return true;
    case CellCommand::Copy: std::copy_n(bytes, kCellBytes, clipboard.bytes.begin()); return true;
    case CellCommand::Paste: std::copy_n(clipboard.bytes.begin(), kCellBytes, bytes); return true;
    case CellCommand::Clear: std::fill_n(bytes, kCellBytes, 0); return true;
    }
    return false;
}

CellCommandEffect run_cell_command(ImageStore& store, CellClipboard& clipboard, CellCommand command,
                                   bool marks_modified, int cell)
{
    int buffer = current_buffer(store);
    if (!apply_cell_command(store, clipboard, cell, buffer, command)) return {};
    if (marks_modified) set_modified(store, buffer, true);
    return {true, command != CellCommand::Copy};
}

}  // namespace lumetra
