// Logic operations between whole buffers: R = A op B, byte by byte, with
// one level of undo. The logic panel reads its controls and calls these;
// nothing here touches a control.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/image_store.h"

namespace lumetra {

// In the order of the panel's three option buttons.
enum class LogicOperation { And = 1, Or = 2, Xor = 3 };

// The panel's choices; the defaults are the panel's initial states
// (buffer 1 AND buffer 2 into buffer 3). Buffers are 1..10.
struct LogicChoice {
    LogicOperation operation = LogicOperation::And;
    int first = 1;   // first operand
    int second = 2;  // list 590
    int result = 3;  // result buffer
};

// The one-level undo. available mirrors the enabled state of the undo button:
// the shell enables or disables the button from it after every call below.
struct LogicUndo {
    ScreenBuffer snapshot{};  // the result buffer as it was before the last operation
    int buffer = 0;           // the buffer the snapshot was taken from, 0 = none yet
    bool available = false;
};

// The operation the option buttons stand for: And unless a later button
// (And, Or, Xor in this order) is selected.
LogicOperation logic_operation_from_options(bool and_selected, bool or_selected, bool xor_selected);

// A list index 0..9 of the three buffer lists is buffer - 1.
constexpr int logic_list_buffer(int index) { return index + 1; }

// The items of the three buffer lists: "Буфер 1" .. "Буфер 10" (one blank).
std::array<std::string, kBufferCount> logic_list_items();

// a op b for one byte.
std::uint8_t combine_bytes(std::uint8_t a, std::uint8_t b, LogicOperation operation);

// R = A op B over all 1024 bytes; result may be the same object as a or b.
void combine_buffers(const ScreenBuffer& a, const ScreenBuffer& b, LogicOperation operation, ScreenBuffer& result);

// "Выполнить": snapshot R, make undo available, R = A op B, mark R modified.
// R may be A or B, and A may be B. Does nothing and answers false when a
// buffer number or the operation is out of range. The shell repaints the
// screen view when R is the buffer whose tab is selected.
bool perform_logic_operation(ImageStore& store, LogicUndo& undo, LogicOperation operation, int first, int second,
                         int result);
bool perform_logic_operation(ImageStore& store, LogicUndo& undo, const LogicChoice& choice);

// "Отменить...": copy the snapshot back over R (the result list names
// now) and make undo unavailable; R stays marked modified. Answers false and
// writes nothing when undo is not available or R is not the buffer the
// snapshot came from: a snapshot is never written into another buffer.
bool restore_logic_snapshot(ImageStore& store, LogicUndo& undo, int result);

// A new result buffer chosen, and every entry into the logic, optimisation or BIN mode.
void disable_logic_undo(LogicUndo& undo);

}  // namespace lumetra
