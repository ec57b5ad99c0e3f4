#include "tools/cell_clipboard.h"

#include <algorithm>

namespace lumetra {

bool ApplyCellCommand(ImageStore& store, CellClipboard& clipboard, int cell, int buffer, CellCommand command)
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

CellCommandEffect RunCellCommand(ImageStore& store, CellClipboard& clipboard, int command_id, int cell)
{
    for (const CellCommandRow& row : kCellCommandRows) {
        if (row.command_id != command_id) continue;
        int buffer = current_buffer(store);
        if (!ApplyCellCommand(store, clipboard, cell, buffer, row.command)) return {};
        if (row.marks_modified) set_modified(store, buffer, true);
        return {true, row.command != CellCommand::Copy};
    }
    return {};
}

}  // namespace lumetra
