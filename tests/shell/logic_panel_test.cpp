// The logic panel (mode 3): the panel's own choices, results in place and in
// hidden buffers, the one-level undo carried by button 593.
#include "shell_fixture.h"

namespace lumetra::testing {

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes_of(const App& app, int buffer)
{
    const auto& bytes = buffer_of(app.store, buffer)->bytes;
    return {bytes.begin(), bytes.end()};
}

// The picture the screen view shows, read back from its 128 cell images:
// one 4 x 4 block of ink per lit pixel.
Bytes shown_picture()
{
    Bytes picture(kBufferBytes, 0);
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const pf::Bitmap& image = hl::bitmap(cell_image_of(cell));
        for (int byte = 1; byte <= kCellBytes; ++byte)
            for (int bit = 0; bit < 8; ++bit)
                if (image.at(4 * (byte - 1), 4 * bit) == kInk)
                    picture[static_cast<std::size_t>(byte_offset(cell, byte))] |= static_cast<std::uint8_t>(1u << bit);
    }
    return picture;
}

// Different pictures with overlapping pixels, so that And, Or and Xor all
// give different results.
void fill(App& app, int buffer, int seed)
{
    for (int i = 0; i < kBufferBytes; ++i)
        buffer_of(app.store, buffer)->bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * seed + seed * 17);
}

Bytes combined(const Bytes& a, const Bytes& b, char op)
{
    Bytes r(a.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        r[i] = static_cast<std::uint8_t>(op == '&' ? (a[i] & b[i]) : op == '|' ? (a[i] | b[i]) : (a[i] ^ b[i]));
    return r;
}

struct LogicPanelTest : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        start();
        for (int buffer = 1; buffer <= kBufferCount; ++buffer) fill(app, buffer, 2 * buffer + 1);
        paint_all_cells(app, 1);
        command(mode_command(Mode::Logic));
    }
    void choose_buffer(int list, int buffer) { choose(list, buffer - 1); }
    void run(int operation_button, int a, int b, int r)
    {
        pf::set_checked(operation_button, true);
        choose_buffer(kLogicFirst, a);
        choose_buffer(kLogicSecond, b);
        choose_buffer(kLogicResult, r);
        control(kLogicApply);
    }
};

}  // namespace

TEST_F(LogicPanelTest, PanelStartsWithBufferOneAndTwoIntoThreeAndNoUndo)
{
    EXPECT_TRUE(hl::is_shown(kLogicPanel));
    const auto& spec = hl::control_spec(kLogicFirst);
    ASSERT_EQ(spec.items.size(), 10u);
    EXPECT_EQ(spec.items.front(), "Буфер 1");
    EXPECT_EQ(spec.items.back(), "Буфер 10");
    EXPECT_EQ(hl::control_spec(kLogicResult).items, spec.items);
    EXPECT_EQ((std::vector<int>{pf::selection(kLogicFirst), pf::selection(kLogicSecond), pf::selection(kLogicResult)}), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(pf::is_checked(kLogicAnd));
    EXPECT_FALSE(pf::is_enabled(kLogicUndoButton));
    EXPECT_EQ(pf::text(kLogicUndoButton), "Отменить...");
    EXPECT_EQ(hl::control_spec(kLogicUndoButton).tooltip, "Отменить последнее действие");
    // The container is 300 high: the last button must lie inside it.
    pf::Rect panel = pf::control_screen_rect(kLogicPanel), close = pf::control_screen_rect(kLogicCloseButton);
    EXPECT_EQ(hl::control_spec(kLogicCloseButton).rect, (pf::Rect{80, 270, 80, 24}));
    EXPECT_LE(close.y + close.h, panel.y + panel.h);

    // "Выполнить" without touching anything: buffer 1 AND buffer 2 into 3.
    Bytes expected = combined(bytes_of(app, 1), bytes_of(app, 2), '&');
    control(kLogicApply);
    EXPECT_EQ(bytes_of(app, 3), expected);
    EXPECT_TRUE(is_modified(app.store, 3));
    EXPECT_TRUE(pf::is_enabled(kLogicUndoButton));
    EXPECT_TRUE(hl::message_boxes().empty());
}

TEST_F(LogicPanelTest, SameOperandTwiceCopiesWithAndOrAndEmptiesWithXor)
{
    run(kLogicAnd, 4, 4, 5);
    EXPECT_EQ(bytes_of(app, 5), bytes_of(app, 4));
    fill(app, 5, 3);
    run(kLogicOr, 4, 4, 5);
    EXPECT_EQ(bytes_of(app, 5), bytes_of(app, 4));
    run(kLogicXor, 4, 4, 5);
    EXPECT_EQ(bytes_of(app, 5), Bytes(kBufferBytes, 0));
}

TEST_F(LogicPanelTest, ResultInPlaceOnTheShownBufferRepaintsAndUndoRestores)
{
    Bytes a = bytes_of(app, 1), b = bytes_of(app, 2);
    ASSERT_EQ(shown_picture(), a);
    run(kLogicXor, 1, 2, 1);  // R = A, buffer 1 is on screen
    EXPECT_EQ(bytes_of(app, 1), combined(a, b, '^'));
    EXPECT_EQ(shown_picture(), bytes_of(app, 1));
    EXPECT_TRUE(is_modified(app.store, 1));

    control(kLogicUndoButton);
    EXPECT_EQ(bytes_of(app, 1), a);
    EXPECT_EQ(shown_picture(), a);
    EXPECT_FALSE(pf::is_enabled(kLogicUndoButton));
    EXPECT_TRUE(is_modified(app.store, 1)) << "an undo leaves the result marked";

    // R = B the same way.
    run(kLogicOr, 3, 2, 2);
    EXPECT_EQ(bytes_of(app, 2), combined(bytes_of(app, 3), b, '|'));
    control(kLogicUndoButton);
    EXPECT_EQ(bytes_of(app, 2), b);
}

TEST_F(LogicPanelTest, OnlyTheLastOfTwoOperationsIsUndone)
{
    Bytes before = bytes_of(app, 6);
    run(kLogicOr, 1, 2, 6);
    Bytes after_first = bytes_of(app, 6);
    ASSERT_NE(after_first, before);
    run(kLogicXor, 6, 3, 6);
    control(kLogicUndoButton);
    EXPECT_EQ(bytes_of(app, 6), after_first);
    EXPECT_FALSE(pf::is_enabled(kLogicUndoButton));
    // Whatever still reaches the button now changes nothing.
    control(kLogicUndoButton);
    EXPECT_EQ(bytes_of(app, 6), after_first);
}

TEST_F(LogicPanelTest, AnotherResultBufferDisablesUndoAndKeepsTheSnapshotAway)
{
    run(kLogicAnd, 1, 2, 3);
    Bytes three = bytes_of(app, 3), four = bytes_of(app, 4);
    // Operands, operation and plain clicks on the result list leave undo alone.
    choose_buffer(kLogicFirst, 7);
    choose_buffer(kLogicSecond, 8);
    pf::set_checked(kLogicXor, true);
    control(kLogicResult, pf::EventType::Click);
    EXPECT_TRUE(pf::is_enabled(kLogicUndoButton));

    choose_buffer(kLogicResult, 4);
    EXPECT_FALSE(pf::is_enabled(kLogicUndoButton));
    control(kLogicUndoButton);
    EXPECT_EQ(bytes_of(app, 4), four);
    // Back to buffer 3: the button stays off, so the old snapshot stays unused.
    choose_buffer(kLogicResult, 3);
    EXPECT_FALSE(pf::is_enabled(kLogicUndoButton));
    control(kLogicUndoButton);
    EXPECT_EQ(bytes_of(app, 3), three);
}

TEST_F(LogicPanelTest, ResultIntoAHiddenBufferShowsWhenItsTabIsChosen)
{
    Bytes view = shown_picture();
    int assignments = hl::bitmap_assignments(cell_image_of(1));
    run(kLogicXor, 1, 2, 9);
    EXPECT_EQ(shown_picture(), view);
    EXPECT_EQ(hl::bitmap_assignments(cell_image_of(1)), assignments) << "nothing painted";
    control(kLogicUndoButton);
    EXPECT_EQ(shown_picture(), view);
    EXPECT_EQ(hl::bitmap_assignments(cell_image_of(1)), assignments);

    run(kLogicAnd, 1, 2, 9);
    click_tab(9);
    EXPECT_EQ(shown_picture(), combined(bytes_of(app, 1), bytes_of(app, 2), '&'));
}

TEST_F(LogicPanelTest, ComingBackToTheModeStartsWithoutUndo)
{
    run(kLogicAnd, 1, 2, 3);
    Bytes result = bytes_of(app, 3);
    command(mode_command(Mode::Editing));  // editing mode: the hidden button is left as it is
    EXPECT_TRUE(pf::is_enabled(kLogicUndoButton));
    command(mode_command(Mode::Logic));
    EXPECT_FALSE(pf::is_enabled(kLogicUndoButton));
    control(kLogicUndoButton);
    EXPECT_EQ(bytes_of(app, 3), result) << "no undo after coming back";

    run(kLogicAnd, 1, 2, 3);
    command(mode_command(Mode::Optimisation));
    command(mode_command(Mode::Logic));
    EXPECT_FALSE(pf::is_enabled(kLogicUndoButton));
}

TEST_F(LogicPanelTest, CloseButtonAndCloseImageGoBackToEditing)
{
    control(kLogicCloseButton, pf::EventType::Click);
    EXPECT_EQ(mode_number(app.shell.mode), 1);
    EXPECT_TRUE(hl::is_shown(kCellEditorPanel));
    EXPECT_FALSE(hl::is_shown(kLogicPanel));
    command(mode_command(Mode::Logic));
    control(kLogicCloseImage, pf::EventType::RightClick);
    EXPECT_EQ(mode_number(app.shell.mode), 3);
    control(kLogicCloseImage, pf::EventType::Click);
    EXPECT_EQ(mode_number(app.shell.mode), 1);
}

}  // namespace lumetra::testing
