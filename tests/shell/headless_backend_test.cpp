// The headless backend behaves like the windows it stands for where the
// shell relies on it: radio groups, nested rectangles, selections, answers.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/headless/headless_test.h"

namespace lumetra::testing {

namespace hl = lumetra::headless;
namespace pf = lumetra::platform;

struct HeadlessBackend : ::testing::Test {
    void SetUp() override
    {
        hl::reset();
        pf::WindowSpec main;
        main.position = {100, 200};
        main.client_w = 794;
        main.client_h = 518;
        ASSERT_TRUE(pf::create_window(main));
    }
    void TearDown() override { hl::discard(); }
    static bool add(int id, pf::ControlKind kind, int parent, pf::Rect rect, unsigned style = 0)
    {
        pf::ControlSpec spec;
        spec.id = id;
        spec.kind = kind;
        spec.parent = parent;
        spec.rect = rect;
        spec.style = style;
        return pf::create_control(spec);
    }
};

TEST_F(HeadlessBackend, RadioButtonsUncheckOnlyTheirOwnGroup)
{
    add(1, pf::ControlKind::Radio, 0, {}, pf::kGroup | pf::kChecked);
    add(2, pf::ControlKind::Radio, 0, {});
    add(3, pf::ControlKind::Radio, 0, {}, pf::kGroup | pf::kChecked);
    add(4, pf::ControlKind::Radio, 0, {});
    pf::set_checked(2, true);
    EXPECT_FALSE(pf::is_checked(1));
    EXPECT_TRUE(pf::is_checked(3)) << "another group";
    pf::set_checked(1, true);
    EXPECT_FALSE(pf::is_checked(2));
    pf::set_checked(4, true);
    EXPECT_TRUE(pf::is_checked(1));
    EXPECT_FALSE(pf::is_checked(3));
    pf::set_checked(1, false);
    EXPECT_FALSE(pf::is_checked(1));
}

TEST_F(HeadlessBackend, ScreenRectanglesSumTheParentsAndTheirBorders)
{
    add(8, pf::ControlKind::Container, 0, {8, 58, 540, 272}, pf::kBorder);
    add(9, pf::ControlKind::Container, 8, {2, 2, 530, 264});
    add(20, pf::ControlKind::Image, 9, {1, 1, 32, 32});
    add(4, pf::ControlKind::Text, pf::kToolbarParent, {150, 4, 240, 15});
    pf::Point client{100 + hl::kMainClientOffset.x, 200 + hl::kMainClientOffset.y};
    EXPECT_EQ(pf::control_screen_rect(20), (pf::Rect{client.x + 8 + 1 + 2 + 1, client.y + 58 + 1 + 2 + 1, 32, 32}));
    EXPECT_EQ(pf::control_screen_rect(4), (pf::Rect{client.x + 150, client.y + 4, 240, 15}));
    EXPECT_EQ(pf::control_screen_rect(77), pf::Rect{});
    EXPECT_EQ(pf::to_main_client({client.x + 793, client.y + 517}), (pf::Point{793, 517}));
    EXPECT_FALSE(pf::to_main_client({client.x + 794, client.y}).has_value());

    hl::point_at(20, 31, 31);
    EXPECT_TRUE(pf::control_screen_rect(20).contains(pf::pointer_position()));
    hl::point_at(20, 32, 0);
    EXPECT_FALSE(pf::control_screen_rect(20).contains(pf::pointer_position())) << "right edge outside";
}

TEST_F(HeadlessBackend, RichTextSelectionCopiesWithLineBreaks)
{
    add(521, pf::ControlKind::RichText, 0, {});
    pf::copy_selection(521);
    EXPECT_EQ(hl::clipboard(), "");
    pf::append_rich_line(521, "");
    pf::append_rich_line(521, "Страница 1");
    EXPECT_EQ(pf::text(521), "\r\nСтраница 1") << "the first line appended to an empty view is the first line";
    pf::select_all(521);
    pf::copy_selection(521);
    EXPECT_EQ(hl::clipboard(), "\r\nСтраница 1");
    pf::set_rich_text(521, {"a", "b"});
    EXPECT_EQ(hl::selected_text(521), "") << "new text, no selection";
    EXPECT_EQ(pf::text(521), "a\r\nb");
    pf::set_text(521, "");
    EXPECT_TRUE(hl::rich_lines(521).empty());
}

TEST_F(HeadlessBackend, QuestionsAreRecordedAndAnsweredInOrder)
{
    hl::answer_message_box(pf::Answer::Yes);
    EXPECT_EQ(pf::message_box("Сохранение файла", "text", pf::Buttons::YesNoCancel, pf::Icon::Question), pf::Answer::Yes);
    EXPECT_EQ(pf::message_box("t", "u", pf::Buttons::YesNoCancel, pf::Icon::Question), pf::Answer::Cancel)
        << "unanswered: the safe answer";
    ASSERT_EQ(hl::message_boxes().size(), 2u);
    EXPECT_EQ(hl::message_boxes()[0].title, "Сохранение файла");
    EXPECT_EQ(hl::message_boxes()[0].icon, pf::Icon::Question);

    hl::answer_file_dialog({"C:\\x\\table", 2});
    pf::FileChoice chosen = pf::save_file_dialog({"Сохранить файл...", "A|*.a|Все файлы|*.*", 1, {}});
    EXPECT_EQ(chosen.path, "C:\\x\\table");
    EXPECT_EQ(chosen.filter_index, 2);
    EXPECT_TRUE(pf::open_file_dialog({"Открыть", "*.chr|*.chr", 1, "C:\\a.chr"}).path.empty());
    ASSERT_EQ(hl::file_dialogs().size(), 2u);
    EXPECT_TRUE(hl::file_dialogs()[0].save);
    EXPECT_EQ(hl::file_dialogs()[1].dialog.preset, "C:\\a.chr");
}

TEST_F(HeadlessBackend, TimerEventComesOnceAfterItsTimeAndAStartReplacesIt)
{
    const pf::Event timer{pf::EventKind::Timer, 0, pf::EventType::None, pf::WindowId::Main, {}};
    pf::start_timer(500);
    pf::start_timer(200);
    EXPECT_EQ(hl::pending_events(), 0u);
    EXPECT_EQ(hl::later_events(), 1u) << "the second start replaced the first";
    pf::Event e = pf::wait_event();
    EXPECT_EQ((std::tuple{e.kind, e.window}), (std::tuple{timer.kind, timer.window}));
    EXPECT_EQ(pf::now_ms(), 1200u);
    EXPECT_EQ(hl::later_events(), 0u) << "once";

    pf::start_timer(-5);
    EXPECT_EQ(hl::pending_events(), 1u) << "due at once";
    pf::stop_timer();
    EXPECT_EQ(hl::pending_events(), 0u) << "stopped even when due";
    pf::start_timer(100);
    pf::stop_timer();
    EXPECT_EQ(hl::later_events(), 0u);
    EXPECT_EQ(pf::now_ms(), 1200u);
}

TEST_F(HeadlessBackend, EmptyQueueAnswersACloseOfTheMainWindow)
{
    hl::push_command(16);
    EXPECT_EQ(pf::wait_event().number, 16);
    EXPECT_FALSE(hl::ran_dry());
    EXPECT_EQ(hl::pending_events(), 0u);
    pf::Event e = pf::wait_event();
    EXPECT_EQ(e.kind, pf::EventKind::Close);
    EXPECT_EQ(e.window, pf::WindowId::Main);
    EXPECT_TRUE(hl::ran_dry());
}

TEST_F(HeadlessBackend, SpinValuesStayInTheirRange)
{
    pf::ControlSpec spin;
    spin.id = 429;
    spin.kind = pf::ControlKind::Spin;
    spin.min = 2;
    spin.max = 20;
    spin.value = 12;
    ASSERT_TRUE(pf::create_control(spin));
    EXPECT_FALSE(pf::create_control(spin)) << "one control a number";
    pf::set_value(429, 25);
    EXPECT_EQ(pf::value(429), 20);
    pf::set_value(429, 1);
    EXPECT_EQ(pf::value(429), 2);
}

TEST_F(HeadlessBackend, TimedEventsWaitForTheFakeClock)
{
    add(7, pf::ControlKind::Tabs, 0, {});
    pf::set_items(7, {"Буфер 1", "Буфер 2"});
    hl::push_event_at(1300, {pf::EventKind::Command, 5, pf::EventType::None, pf::WindowId::Main, {}});
    hl::push_event_at(1100, {pf::EventKind::Command, 4, pf::EventType::None, pf::WindowId::Main, {}});
    hl::push_event_at(1100, {pf::EventKind::Command, 8, pf::EventType::None, pf::WindowId::Main, {}});
    EXPECT_EQ(hl::pending_events(), 0u);
    EXPECT_EQ(pf::wait_event().number, 4) << "the wait moves the clock on";
    EXPECT_EQ(pf::now_ms(), 1100u);
    hl::push_command(6);
    EXPECT_EQ(pf::wait_event().number, 8) << "due at the same time, pushed later";
    EXPECT_EQ(pf::wait_event().number, 6) << "due before the later push";
    pf::set_selection(7, 1);
    EXPECT_EQ(pf::wait_event().number, 5);
    EXPECT_EQ(pf::now_ms(), 1300u);
    EXPECT_FALSE(hl::ran_dry());
    pf::set_selection(7, 0);
    ASSERT_EQ(hl::selection_log().size(), 2u);
    EXPECT_EQ(hl::selection_log()[0].at, 1100u);
    EXPECT_EQ(hl::selection_log()[1].at, 1300u);
    EXPECT_EQ(hl::selection_log()[1].index, 0);
}

TEST_F(HeadlessBackend, ClockLimitEndsALoopThatWouldPlayForEver)
{
    EXPECT_THROW(
        for (;;) {
            pf::start_timer(100);
            pf::wait_event();
        },
        hl::ClockLimitReached);
    EXPECT_EQ(pf::now_ms(), 1000u + 10 * 60 * 1000) << "ten minutes by default";
    hl::reset();
    hl::set_clock_limit(1250);
    pf::start_timer(250);
    pf::wait_event();
    pf::start_timer(1);
    EXPECT_THROW(pf::wait_event(), hl::ClockLimitReached);
    EXPECT_EQ(pf::now_ms(), 1250u);
}

TEST_F(HeadlessBackend, ComboTextIsTheSelectedItem)
{
    add(502, pf::ControlKind::Combo, 0, {});
    pf::set_items(502, {"10", "200"});
    EXPECT_EQ(pf::text(502), "") << "no selection";
    pf::set_selection(502, 1);
    EXPECT_EQ(pf::text(502), "200");
    pf::set_items(502, {"a"});
    EXPECT_EQ(pf::text(502), "");
}

TEST_F(HeadlessBackend, TypedSpinFieldIsReadBackAsTheArrowsReadIt)
{
    pf::ControlSpec spin;
    spin.id = 173;
    spin.kind = pf::ControlKind::Spin;
    spin.min = 1;
    spin.max = 64;
    spin.value = 5;
    ASSERT_TRUE(pf::create_control(spin));
    EXPECT_EQ(pf::text(173), "5");
    hl::type_text(173, "1x2");
    EXPECT_EQ(pf::text(173), "12") << "letters are refused";
    EXPECT_EQ(pf::value(173), 12);
    hl::type_text(173, "99");
    EXPECT_EQ(pf::value(173), 12) << "out of range: the last good value";
    EXPECT_EQ(pf::text(173), "99");
    hl::type_text(173, "");
    EXPECT_EQ(pf::value(173), 12) << "an empty field reads as 0, outside 1..64";
    pf::set_value(173, 70);
    EXPECT_EQ(pf::text(173), "64");
    EXPECT_EQ(hl::pending_events(), 0u);

    add(218, pf::ControlKind::Edit, 0, {}, pf::kDigitsOnly);
    hl::type_text(218, "a1b2");
    EXPECT_EQ(pf::text(218), "12");
    add(219, pf::ControlKind::Edit, 0, {}, pf::kReadOnly);
    hl::type_text(219, "x");
    EXPECT_EQ(pf::text(219), "");
    EXPECT_EQ(hl::pending_events(), 0u) << "typing sends nothing by itself";

    // A field that reports changes: typing does, the program's own writes do not.
    add(621, pf::ControlKind::Edit, 0, {}, pf::kReportChanges);
    pf::set_text(621, "a");
    EXPECT_EQ(hl::pending_events(), 0u);
    hl::type_text(621, "b");
    ASSERT_EQ(hl::pending_events(), 1u);
    pf::Event event = pf::wait_event();
    EXPECT_EQ((std::pair{event.number, event.type}), (std::pair{621, pf::EventType::Changed}));
}

TEST_F(HeadlessBackend, RunsFormatCharactersOfTheirOwnLine)
{
    pf::ControlSpec view;
    view.id = 521;
    view.kind = pf::ControlKind::RichText;
    view.font = pf::Font::Code;
    ASSERT_TRUE(pf::create_control(view));
    const TextColour red{255, 0, 0}, blue{0, 0, 255}, green{0, 255, 0};
    pf::set_rich_text(521, {"Ab", "\xF0\x9F\x98\x80xy", "\xD0\x96}"},
                      {{0, 1, 1, {}, true}, {1, 1, 1, red, true}, {2, 0, 9, blue, false}, {5, 0, 1, green, true}});
    EXPECT_EQ(pf::rich_text_as_rtf(521),
              "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset204 Lucida Console;}}"
              "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n"
              "\\uc1\\pard\\plain\\f0\\fs20 A\\b b\\b0 \\par\n"
              "\\u-10179?\\u-8704?\\cf1 \\b x\\cf0 \\b0 y\\par\n"
              "\\cf2 \\u1046?\\}\\cf0 }")
        << "the character outside the BMP counts once; runs past the line end or on no line format nothing";
}

}  // namespace lumetra::testing
