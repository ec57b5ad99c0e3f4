// The animation panel (mode 2) on the fake clock: which tab and picture show
// when, what stops playing, what is refused or ignored, what a delay chosen
// meanwhile does, and that the window comes back as it was.
#include "shell_fixture.h"

#include "core/settings.h"

namespace lumetra::testing {

namespace {

using Log = std::vector<std::pair<std::uint64_t, int>>;  // (ms after the start, tab index)

pf::Event on_main(pf::EventKind kind, int number = 0, pf::EventType type = pf::EventType::None,
                  std::vector<fs::path> files = {})
{
    return {kind, number, type, pf::WindowId::Main, std::move(files)};
}
pf::Event click(int id, pf::EventType type = pf::EventType::Click) { return on_main(pf::EventKind::Control, id, type); }

struct AnimationPanelTest : ShellTest {
    std::uint64_t t0 = 0;  // when "Анимация" is pressed

    void SetUp() override
    {
        ShellTest::SetUp();
        enter_mode_two();
    }
    void enter_mode_two()
    {
        start();
        // Buffer b lights the top-left pixel of cell b only: the screen tells the buffer.
        for (int b = 1; b <= kBufferCount; ++b) write_byte(app.store, b, b, 1, 0x01);
        command(mode_command(Mode::Animation));
        t0 = pf::now_ms();
    }
    void at(std::uint64_t ms, const pf::Event& event) { hl::push_event_at(t0 + ms, event); }
    // Runs the loop until no event is left to come, the timer's included, so
    // a player that never stops ends the test at the clock's limit. True
    // when the program ended.
    bool play()
    {
        while (hl::pending_events() + hl::later_events() > 0)
            if (run_pass(app, pf::wait_event())) return true;
        return false;
    }
    bool press_start()
    {
        hl::push_control(kAnimationStart, pf::EventType::Click);
        return play();
    }
    Log tabs() const  // the tab selections since the start
    {
        Log log;
        for (const auto& call : hl::selection_log())
            if (call.id == kBufferTabs && call.at >= t0) log.emplace_back(call.at - t0, call.index);
        return log;
    }
    bool shows_buffer(int b) const { return hl::bitmap(cell_image_of(b)).at(0, 0) == kInk; }
};

}  // namespace

TEST_F(AnimationPanelTest, DefaultPanelAlternatesBuffersOneAndTwoEvery200Milliseconds)
{
    EXPECT_EQ(hl::control_spec(kLastAnimationSlot).items.back(), "Буфер  10");
    EXPECT_EQ(hl::stored_image(kAnimationArrow), kImageArrowDown);
    EXPECT_FALSE(pf::is_enabled(kAnimationStop));
    const std::vector<int> pictures_before{hl::bitmap_assignments(cell_image_of(1)), hl::bitmap_assignments(cell_image_of(2)),
                                           hl::bitmap_assignments(cell_image_of(3))};
    at(1000, click(kAnimationStop));
    EXPECT_FALSE(press_start());
    // Five frames, then the remembered tab again when "Стоп" comes at 1000
    // ms, before the frame due then; no timer is left running.
    EXPECT_EQ(tabs(), (Log{{0, 0}, {200, 1}, {400, 0}, {600, 1}, {800, 0}, {1000, 0}}));
    EXPECT_EQ(pf::now_ms() - t0, 1000u);
    // Each frame is on screen before its wait: the first whole, the others
    // with new pictures only in the two cells where buffers 1 and 2 differ;
    // after "Стоп" the current buffer whole again.
    EXPECT_EQ(hl::repaints(kBufferTabs), 5);
    EXPECT_EQ(hl::repaints(kScreenArea), 5);
    EXPECT_EQ((std::vector{hl::bitmap_assignments(cell_image_of(1)) - pictures_before[0], hl::bitmap_assignments(cell_image_of(2)) - pictures_before[1],
                           hl::bitmap_assignments(cell_image_of(3)) - pictures_before[2]}),
              (std::vector{6, 6, 2}));
    EXPECT_TRUE(pf::is_enabled(kAnimationStart));
    EXPECT_FALSE(pf::is_enabled(kAnimationStop));
}

TEST_F(AnimationPanelTest, OneUsedSlotIsRefusedButOneBufferInTwoSlotsPlays)
{
    choose(kFirstAnimationSlot + 1, 0);
    press_start();
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    expect_box(hl::message_boxes()[0], "Анимация", "Для анимации нужно как минимум 2 рисунка!", pf::Buttons::Ok,
               pf::Icon::Warning);
    EXPECT_TRUE(tabs().empty());

    choose(kLastAnimationSlot, 1);  // buffer 1 in the first and the last slot
    at(300, click(kAnimationStop));
    press_start();
    EXPECT_EQ(hl::message_boxes().size(), 1u);
    EXPECT_EQ(tabs(), (Log{{0, 0}, {200, 0}, {300, 0}}));
}

TEST_F(AnimationPanelTest, StopDuringAFourSecondFrameEndsWhenItComes)
{
    choose(kAnimationDelay, 11);
    at(250, click(kAnimationStop));
    press_start();
    EXPECT_EQ(tabs(), (Log{{0, 0}, {250, 0}}));
}

TEST_F(AnimationPanelTest, CloseRequestAsksAndOnlyYesStops)
{
    hl::answer_message_box(pf::Answer::No);
    hl::answer_message_box(pf::Answer::Yes);
    at(50, on_main(pf::EventKind::Close));
    at(450, on_main(pf::EventKind::Close));
    EXPECT_FALSE(press_start());  // the program keeps running
    ASSERT_EQ(hl::message_boxes().size(), 2u);
    for (const auto& box : hl::message_boxes())
        expect_box(box, "Анимация", "Прекратить анимацию?", pf::Buttons::YesNo, pf::Icon::Question);
    EXPECT_EQ(tabs(), (Log{{0, 0}, {200, 1}, {400, 0}, {450, 0}}));
}

TEST_F(AnimationPanelTest, CommandsAndOtherControlsBeepWhileDropsAndPointerMovesAreIgnored)
{
    fs::path picture = file("drop.chr", std::string(1024, '\x55'));
    at(10, on_main(pf::EventKind::Command, mode_command(Mode::Editing)));
    at(20, click(kFirstAnimationSlot + 2, pf::EventType::SelectionChanged));
    at(30, on_main(pf::EventKind::FilesDropped, 0, pf::EventType::None, {picture}));
    at(40, on_main(pf::EventKind::PointerMoved));
    at(150, click(kAnimationStop));
    press_start();
    EXPECT_EQ(hl::default_beeps(), 2);
    EXPECT_EQ(app.shell.mode, Mode::Animation);
    EXPECT_TRUE(file_name(app.store, 1).empty());
    EXPECT_TRUE(hl::message_boxes().empty());
    EXPECT_EQ(tabs(), (Log{{0, 0}, {150, 0}}));
}

TEST_F(AnimationPanelTest, AboutCloseAndTheArrowPictureGoOnPlayingSilently)
{
    command(kCmdAbout);
    t0 = pf::now_ms();
    at(10, {pf::EventKind::Close, 0, pf::EventType::None, pf::WindowId::About, {}});
    at(20, click(kAnimationArrow));
    at(30, click(kAnimationArrow, pf::EventType::RightClick));
    at(250, click(kAnimationStop));
    press_start();
    EXPECT_EQ(hl::default_beeps(), 0);
    EXPECT_EQ(tabs(), (Log{{0, 0}, {200, 1}, {250, 0}}));
    EXPECT_TRUE(pf::window_exists(pf::WindowId::About)) << "its close is not kept for later either";
}

TEST_F(AnimationPanelTest, CloseImageStopsAndOnlyItsLeftClickGoesBackToEditing)
{
    at(250, click(kAnimationCloseImage, pf::EventType::RightClick));
    press_start();
    EXPECT_EQ(pf::now_ms() - t0, 250u);
    EXPECT_EQ(app.shell.mode, Mode::Animation);

    t0 = pf::now_ms();
    at(250, click(kAnimationCloseImage));  // buffer 2 is on screen then
    press_start();
    EXPECT_EQ(pf::now_ms() - t0, 250u);
    EXPECT_EQ(app.shell.mode, Mode::Editing);
    EXPECT_TRUE(hl::is_shown(kCellEditorPanel));
    EXPECT_TRUE(shows_buffer(1) && !shows_buffer(2));
}

TEST_F(AnimationPanelTest, AfterPlayingTheWindowShowsTheBufferFromBeforeWithItsOptions)
{
    set_file_name(app.store, 3, "C:\\Pictures\\logo.chr");
    click_tab(3);
    // Changed in the panel but not yet stored for buffer 3: kept all the same.
    pf::set_checked(kAddFileName, true);
    pf::set_value(kFirstIndent, 5);
    pf::set_focus(kAnimationStart);
    const ImageStore before = app.store;
    const std::string title_before = title();
    t0 = pf::now_ms();
    at(250, click(kAnimationStop));  // buffer 2 is on screen then
    press_start();

    EXPECT_EQ(tabs().back(), (std::pair<std::uint64_t, int>{250, 2}));
    EXPECT_EQ(current_buffer(app.store), 3);
    EXPECT_TRUE(shows_buffer(3) && !shows_buffer(2));
    expect_listing_panel(true, false, true, true, 5, 12);
    for (int view = code_view_of(1); view <= code_view_of(kBufferCount); ++view)
        EXPECT_EQ(pf::is_visible(view), view == code_view_of(3)) << view;
    EXPECT_EQ(pf::focused_control(), kAnimationStart);
    EXPECT_EQ(title(), title_before);
    EXPECT_EQ(hl::bitmap(kFirstPixelImage).at(0, 0), kEditorGrey);
    EXPECT_EQ(app.store.buffers, before.buffers);
    EXPECT_EQ(app.store.file_names, before.file_names);
    EXPECT_EQ(app.store.modified, before.modified);
}

struct AnimationDelaySettingTest : AnimationPanelTest {
    void SetUp() override { ShellTest::SetUp(); }
    void start_with_delay(int stored)
    {
        write_file(settings_path(hl::temp_dir()), "[Anime]\r\nDelay = " + std::to_string(stored) + "\r\n");
        enter_mode_two();
    }
    int delay_saved_at_exit()
    {
        EXPECT_TRUE(command(kCmdClose));
        return parse_settings(contents(settings_path(hl::temp_dir()))).delay_index;
    }
};

TEST_F(AnimationDelaySettingTest, StoredIndexSixChoosesEightHundredAndTheChoiceIsSavedAtExit)
{
    start_with_delay(6);
    EXPECT_EQ(pf::text(kAnimationDelay), "800");
    at(900, click(kAnimationStop));
    press_start();
    EXPECT_EQ(tabs(), (Log{{0, 0}, {800, 1}, {900, 0}}));
    choose(kAnimationDelay, 9);
    EXPECT_EQ(delay_saved_at_exit(), 9);
}

TEST_F(AnimationDelaySettingTest, DelayChosenWhilePlayingIsStoredAndPlaysFromTheNextStart)
{
    start_with_delay(6);
    hl::push_control(kAnimationStart, pf::EventType::Click);
    pump();  // the first frame; the next waits for the timer
    choose(kAnimationDelay, 3);  // 100 ms, refused as a click all the same
    EXPECT_EQ(hl::default_beeps(), 1);
    at(900, click(kAnimationStop));
    play();
    EXPECT_EQ(tabs(), (Log{{0, 0}, {800, 1}, {900, 0}}));

    t0 = pf::now_ms();
    at(250, click(kAnimationStop));
    press_start();
    // The end of the first run, then the second at 100 ms.
    EXPECT_EQ(tabs(), (Log{{0, 0}, {0, 0}, {100, 1}, {200, 0}, {250, 0}}));
    EXPECT_EQ(delay_saved_at_exit(), 3);
}

TEST_F(AnimationDelaySettingTest, StoredIndexTwelveChoosesNothingPlays200AndStaysWithoutChoice)
{
    start_with_delay(12);
    EXPECT_EQ(pf::selection(kAnimationDelay), -1);
    at(300, click(kAnimationStop));
    press_start();
    EXPECT_EQ(tabs(), (Log{{0, 0}, {200, 1}, {300, 0}}));
    EXPECT_EQ(delay_saved_at_exit(), -1);
}

}  // namespace lumetra::testing
