#include <gtest/gtest.h>

#include <functional>

#include "tools/cell_clipboard.h"
#include "tools/logic.h"

using namespace lumetra;

namespace {

// A picture whose every byte differs from its neighbours, so that a byte
// landing in the wrong place shows.
ScreenBuffer pattern(unsigned seed)
{
    ScreenBuffer picture;
    for (int i = 0; i < kBufferBytes; ++i) picture.bytes[i] = static_cast<std::uint8_t>(i * 37 + seed * 101 + (i >> 8));
    return picture;
}

ScreenBuffer combined(const ScreenBuffer& a, const ScreenBuffer& b, auto op)
{
    ScreenBuffer r;
    for (int i = 0; i < kBufferBytes; ++i) r.bytes[i] = static_cast<std::uint8_t>(op(a.bytes[i], b.bytes[i]));
    return r;
}

// A fresh store whose named buffers each hold pattern(their number).
struct Logic : ::testing::Test {
    ImageStore store;
    LogicUndo undo;
    void fill(std::initializer_list<int> buffers)
    {
        store = {};
        undo = {};
        for (int buffer : buffers) store.buffers[buffer - 1] = pattern(static_cast<unsigned>(buffer));
    }
};

}  // namespace

TEST_F(Logic, SameOperandTwiceCopiesOrEmpties)
{
    for (auto [operation, empty] : {std::pair{LogicOperation::And, false}, std::pair{LogicOperation::Or, false},
                                    std::pair{LogicOperation::Xor, true}}) {
        fill({5, 7});
        ASSERT_TRUE(perform_logic_operation(store, undo, operation, 5, 5, 7));
        EXPECT_EQ(store.buffers[6], empty ? ScreenBuffer{} : pattern(5));
        EXPECT_EQ(store.buffers[4], pattern(5));
        EXPECT_TRUE(is_modified(store, 7));
        EXPECT_FALSE(is_modified(store, 5));
    }
}

TEST_F(Logic, InPlaceResultAndItsUndo)
{
    for (int result : {1, 2}) {  // R = A, then R = B
        fill({1, 2});
        ASSERT_TRUE(perform_logic_operation(store, undo, LogicOperation::Xor, 1, 2, result));
        EXPECT_EQ(store.buffers[result - 1], combined(pattern(1), pattern(2), std::bit_xor<>{}));
        EXPECT_TRUE(undo.available);

        ASSERT_TRUE(restore_logic_snapshot(store, undo, result));
        EXPECT_EQ(store.buffers[0], pattern(1));
        EXPECT_EQ(store.buffers[1], pattern(2));
        EXPECT_FALSE(undo.available);
        EXPECT_TRUE(is_modified(store, result));  // undo leaves the flag set
    }
}

TEST_F(Logic, OnlyTheLastOperationIsUndone)
{
    fill({1, 2, 3});
    ASSERT_TRUE(perform_logic_operation(store, undo, LogicOperation::Or, 1, 2, 3));
    ScreenBuffer after_first = store.buffers[2];
    EXPECT_EQ(after_first, combined(pattern(1), pattern(2), std::bit_or<>{}));
    ASSERT_TRUE(perform_logic_operation(store, undo, LogicOperation::And, 3, 1, 3));
    EXPECT_EQ(store.buffers[2], combined(after_first, pattern(1), std::bit_and<>{}));

    ASSERT_TRUE(restore_logic_snapshot(store, undo, 3));
    EXPECT_EQ(store.buffers[2], after_first);
    EXPECT_FALSE(undo.available);
    EXPECT_FALSE(restore_logic_snapshot(store, undo, 3));  // the button is disabled now
    EXPECT_EQ(store.buffers[2], after_first);
}

TEST_F(Logic, UndoNeverWritesIntoAnotherBuffer)
{
    fill({1, 3, 4});
    ASSERT_TRUE(perform_logic_operation(store, undo, LogicOperation::And, 1, 1, 3));

    // List 591 changed to buffer 4 after the operation: undo is gone.
    disable_logic_undo(undo);
    EXPECT_FALSE(restore_logic_snapshot(store, undo, 4));
    EXPECT_FALSE(restore_logic_snapshot(store, undo, 3));
    EXPECT_EQ(store.buffers[3], pattern(4));
    EXPECT_EQ(store.buffers[2], pattern(1));

    // Even with undo available, only the snapshot's own buffer takes it back.
    ASSERT_TRUE(perform_logic_operation(store, undo, LogicOperation::Xor, 1, 4, 3));
    EXPECT_FALSE(restore_logic_snapshot(store, undo, 4));
    EXPECT_EQ(store.buffers[3], pattern(4));
    EXPECT_TRUE(restore_logic_snapshot(store, undo, 3));
    EXPECT_EQ(store.buffers[2], pattern(1));
}

TEST_F(Logic, PanelDefaultsAndRefusedChoices)
{
    fill({1, 2, 3});
    ASSERT_TRUE(perform_logic_operation(store, undo, LogicChoice{}));  // buffer 1 AND buffer 2 into buffer 3
    EXPECT_EQ(store.buffers[2], combined(pattern(1), pattern(2), std::bit_and<>{}));
    for (int buffer = 1; buffer <= kBufferCount; ++buffer) EXPECT_EQ(is_modified(store, buffer), buffer == 3);
    EXPECT_EQ(logic_list_items()[0], "Буфер 1");
    EXPECT_EQ(logic_list_items()[9], "Буфер 10");

    // The last selected option button wins; none selected is And.
    EXPECT_EQ(logic_operation_from_options(false, false, false), LogicOperation::And);
    EXPECT_EQ(logic_operation_from_options(false, true, false), LogicOperation::Or);
    EXPECT_EQ(logic_operation_from_options(true, false, true), LogicOperation::Xor);

    // Out of range: nothing changes, the undo stays as it was.
    ImageStore before = store;
    EXPECT_FALSE(perform_logic_operation(store, undo, LogicOperation::Or, 0, 1, 2));
    EXPECT_FALSE(perform_logic_operation(store, undo, LogicOperation::Or, 1, 2, 11));
    EXPECT_FALSE(perform_logic_operation(store, undo, static_cast<LogicOperation>(4), 1, 2, 2));
    EXPECT_EQ(store.buffers, before.buffers);
    EXPECT_EQ(store.modified, before.modified);
    EXPECT_EQ(undo.buffer, 3);
    EXPECT_TRUE(undo.available);
}

TEST(CellClipboard, CutCopyPasteClearOnCellBytes)
{
    ImageStore store;
    CellClipboard clipboard;
    const std::array<std::uint8_t, 8> cell_bytes = {1, 2, 3, 4, 0x80, 0x40, 0x20, 0xFF};
    std::copy(cell_bytes.begin(), cell_bytes.end(), store.buffers[0].bytes.begin() + 8 * 16);  // cell 17

    // Paste before anything was copied empties the cell.
    ASSERT_TRUE(apply_cell_command(store, clipboard, 17, 1, CellCommand::Paste));
    EXPECT_EQ(store.buffers[0], ScreenBuffer{});

    std::copy(cell_bytes.begin(), cell_bytes.end(), store.buffers[0].bytes.begin() + 8 * 16);
    ASSERT_TRUE(apply_cell_command(store, clipboard, 17, 1, CellCommand::Cut));
    EXPECT_EQ(clipboard.bytes, cell_bytes);
    EXPECT_EQ(store.buffers[0], ScreenBuffer{});

    // Into another buffer, at the last cell; its neighbours stay blank.
    ASSERT_TRUE(apply_cell_command(store, clipboard, 128, 2, CellCommand::Paste));
    EXPECT_EQ(read_byte(store, 2, 128, 1), 1);
    EXPECT_EQ(read_byte(store, 2, 128, 8), 0xFF);
    EXPECT_EQ(store.buffers[1].bytes[1015], 0);
    EXPECT_EQ(read_pixel(store, 2, 127, 63), true);

    // Clear keeps the clipboard: a paste brings the cell back.
    ASSERT_TRUE(apply_cell_command(store, clipboard, 128, 2, CellCommand::Clear));
    EXPECT_EQ(store.buffers[1], ScreenBuffer{});
    EXPECT_EQ(clipboard.bytes, cell_bytes);
    ASSERT_TRUE(apply_cell_command(store, clipboard, 128, 2, CellCommand::Paste));
    EXPECT_EQ(read_byte(store, 2, 128, 5), 0x80);

    // Copy leaves the cell as it is.
    write_byte(store, 2, 1, 3, 0x5A);
    ASSERT_TRUE(apply_cell_command(store, clipboard, 1, 2, CellCommand::Copy));
    EXPECT_EQ(clipboard.bytes, (std::array<std::uint8_t, 8>{0, 0, 0x5A, 0, 0, 0, 0, 0}));
    EXPECT_EQ(read_byte(store, 2, 1, 3), 0x5A);

    ImageStore before = store;
    EXPECT_FALSE(apply_cell_command(store, clipboard, 0, 2, CellCommand::Clear));
    EXPECT_FALSE(apply_cell_command(store, clipboard, 129, 2, CellCommand::Clear));
    EXPECT_FALSE(apply_cell_command(store, clipboard, 1, 11, CellCommand::Clear));
    EXPECT_FALSE(apply_cell_command(store, clipboard, 1, 2, static_cast<CellCommand>(5)));
    EXPECT_EQ(store.buffers, before.buffers);
}

TEST(CellClipboard, CommandsOnTheCurrentBufferMarkItWhenAsked)
{
    ImageStore store;
    CellClipboard clipboard;
    write_byte(store, 1, 5, 1, 0x11);
    set_current_buffer(store, 1);

    // Copy: done, nothing to paint; marked only when asked to.
    CellCommandEffect effect = run_cell_command(store, clipboard, CellCommand::Copy, false, 5);
    EXPECT_TRUE(effect.done);
    EXPECT_FALSE(effect.repaint);
    EXPECT_FALSE(is_modified(store, 1));
    effect = run_cell_command(store, clipboard, CellCommand::Copy, true, 5);
    EXPECT_TRUE(effect.done);
    EXPECT_TRUE(is_modified(store, 1));

    // Paste in buffer 2 (now current): buffer 1 untouched.
    set_current_buffer(store, 2);
    effect = run_cell_command(store, clipboard, CellCommand::Paste, true, 9);
    EXPECT_TRUE(effect.done && effect.repaint);
    EXPECT_EQ(read_byte(store, 2, 9, 1), 0x11);
    EXPECT_EQ(read_byte(store, 1, 9, 1), 0);
    EXPECT_TRUE(is_modified(store, 2));

    // Cut over no cell: not done (the shell beeps), nothing changes.
    set_modified(store, 2, false);
    effect = run_cell_command(store, clipboard, CellCommand::Cut, true, kNoCell);
    EXPECT_FALSE(effect.done);
    EXPECT_FALSE(is_modified(store, 2));
    EXPECT_EQ(read_byte(store, 2, 9, 1), 0x11);

    // Clear repaints and marks.
    effect = run_cell_command(store, clipboard, CellCommand::Clear, true, 9);
    EXPECT_TRUE(effect.done && effect.repaint && is_modified(store, 2));
    EXPECT_EQ(read_byte(store, 2, 9, 1), 0);
}
