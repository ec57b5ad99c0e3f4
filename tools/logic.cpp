#include "tools/logic.h"

#include <string>

namespace lumetra {

LogicOperation logic_operation_from_options(bool and_selected, bool or_selected, bool xor_selected)
{
    LogicOperation operation = LogicOperation::And;
    if (and_selected) operation = LogicOperation::And;
    if (or_selected) operation = LogicOperation::Or;
    if (xor_selected) operation = LogicOperation::Xor;
    return operation;
}

std::array<std::string, kBufferCount> logic_list_items()
{
    std::array<std::string, kBufferCount> items;
    for (int buffer = 1; buffer <= kBufferCount; ++buffer) items[buffer - 1] = buffer_label(buffer);
    return items;
}

static bool valid_operation(LogicOperation operation)
{
    return operation == LogicOperation::And || operation == LogicOperation::Or || operation == LogicOperation::Xor;
}

std::uint8_t combine_bytes(std::uint8_t a, std::uint8_t b, LogicOperation operation)
{
    switch (operation) {
    case LogicOperation::And: return static_cast<std::uint8_t>(a & b);
    case LogicOperation::Or: return static_cast<std::uint8_t>(a | b);
    case LogicOperation::Xor: return static_cast<std::uint8_t>(a ^ b);
    }
    return 0;
}

void combine_buffers(const ScreenBuffer& a, const ScreenBuffer& b, LogicOperation operation, ScreenBuffer& result)
{
    // Both operand bytes are read before the result byte at the same
    // position is written, so R may alias A or B.
    for (int i = 0; i < kBufferBytes; ++i) result.bytes[i] = combine_bytes(a.bytes[i], b.bytes[i], operation);
}

bool perform_logic_operation(ImageStore& store, LogicUndo& undo, LogicOperation operation, int first, int second,
                         int result)
{
    const ScreenBuffer* a = buffer_of(store, first);
    const ScreenBuffer* b = buffer_of(store, second);
    ScreenBuffer* r = buffer_of(store, result);
    if (!a || !b || !r || !valid_operation(operation)) return false;
    undo.snapshot = *r;
    undo.buffer = result;
    undo.available = true;
    combine_buffers(*a, *b, operation, *r);
    set_modified(store, result, true);
    return true;
}

bool perform_logic_operation(ImageStore& store, LogicUndo& undo, const LogicChoice& choice)
{
    return perform_logic_operation(store, undo, choice.operation, choice.first, choice.second, choice.result);
}

bool restore_logic_snapshot(ImageStore& store, LogicUndo& undo, int result)
{
    ScreenBuffer* r = buffer_of(store, result);
    if (!undo.available || !r || result != undo.buffer) return false;
    *r = undo.snapshot;
    undo.available = false;
    return true;
}

void disable_logic_undo(LogicUndo& undo) { undo.available = false; }

}  // namespace lumetra
