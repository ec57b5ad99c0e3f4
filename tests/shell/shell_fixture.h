// A fresh headless machine and a fresh application for every test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/event_loop.h"
#include "app/startup.h"
#include "app/views/screen_view.h"
#include "lumetra_version.h"
#include "platform/headless/headless_test.h"

namespace lumetra::testing {

namespace hl = lumetra::headless;
namespace pf = lumetra::platform;
namespace fs = std::filesystem;

inline const std::string kTitle = "Lumetra v " LUMETRA_VERSION " For PIC  —  ";

// The status line's words for a cell.
inline std::string status_text(int crystal, int page, int segment)
{
    return "Кристалл — " + std::to_string(crystal) + ";  Страница — " + std::to_string(page) + ";  Сегмент  — " +
           std::to_string(segment);
}
inline fs::path write_file(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}
inline std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
inline std::vector<std::string> box_titles()
{
    std::vector<std::string> titles;
    for (const auto& box : hl::message_boxes()) titles.push_back(box.title);
    return titles;
}
inline void expect_box(const hl::MessageBoxCall& box, const std::string& title, const std::string& text,
                       pf::Buttons buttons, pf::Icon icon)
{
    EXPECT_EQ(box.title, title);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.buttons, buttons);
    EXPECT_EQ(box.icon, icon);
}
// A null preset is not checked.
inline void expect_dialog(const hl::FileDialogCall& call, bool save, const std::string& title,
                          const std::string& filter, int filter_index, const char* preset = "")
{
    EXPECT_EQ(call.save, save);
    EXPECT_EQ(call.dialog.title, title);
    EXPECT_EQ(call.dialog.filter, filter);
    EXPECT_EQ(call.dialog.filter_index, filter_index);
    if (preset) {
        EXPECT_EQ(call.dialog.preset, fs::path(preset));
    }
}

struct ShellTest : ::testing::Test {
    App app;

    void SetUp() override { hl::reset(); }
    void TearDown() override { hl::discard(); }

    void start() { ASSERT_TRUE(start_up(app, {})); }

    // Runs one pass of the loop for every queued event; true when the quit
    // path ended the program.
    bool pump()
    {
        while (hl::pending_events() > 0)
            if (run_pass(app, pf::wait_event())) return true;
        return false;
    }
    bool command(int number)
    {
        hl::push_command(number);
        return pump();
    }
    // The command with these answers queued for its questions.
    bool command(int number, std::initializer_list<pf::Answer> answers)
    {
        for (pf::Answer answer : answers) hl::answer_message_box(answer);
        return command(number);
    }
    void control(int id, pf::EventType type = pf::EventType::Click)
    {
        hl::push_control(id, type);
        pump();
    }
    // A user's choice in a list: the new selection and its notification.
    void choose(int list, int index)
    {
        pf::set_selection(list, index);
        control(list, pf::EventType::SelectionChanged);
    }
    void main_event(pf::EventKind kind, std::vector<fs::path> files = {})
    {
        hl::push_event({kind, 0, pf::EventType::None, pf::WindowId::Main, std::move(files)});
        pump();
    }
    void move_to(int id, int dx, int dy)
    {
        hl::point_at(id, dx, dy);
        main_event(pf::EventKind::PointerMoved);
    }
    void key(bool ctrl, bool shift, bool alt, char k)
    {
        ASSERT_TRUE(hl::press_shortcut(ctrl, shift, alt, k));
        pump();
    }
    void click_tab(int buffer)
    {
        pf::set_selection(kBufferTabs, buffer - 1);
        control(kBufferTabs);
    }
    fs::path file(const std::string& name, const std::string& bytes) { return write_file(hl::temp_dir() / name, bytes); }
    std::string title() const { return pf::window_title(pf::WindowId::Main); }
    void modify(int buffer) { set_modified(app.store, buffer, true); }
    // A cell opened as the cell editor does it: painted open, its pixels in
    // the editor, the read-out filled.
    void open_cell_by_hand(int cell)
    {
        set_open_cell(app.store, cell);
        paint_cell(app, cell_image_of(cell), CellState::Open, current_buffer(app.store));
        paint_editor(app, cell, current_buffer(app.store));
        pf::enable(kReadOutLabels, true);
        pf::set_text(kReadOutCode, "0x01,0x00,0x00,0x00,0x00,0x00,0x00,0x00");
        pf::set_text(kReadOutNumbers, "1\n\n1\n\n1");
    }
    // The options of the code-view panel: the four check boxes, then the two spins.
    static void expect_listing_panel(bool c421, bool c422, bool c423, bool c424, int v429, int v431)
    {
        EXPECT_EQ((std::vector<bool>{pf::is_checked(kOptionDt), pf::is_checked(kOptionDb), pf::is_checked(kAddFileName), pf::is_checked(kGroupByCrystal)}),
                  (std::vector<bool>{c421, c422, c423, c424}));
        EXPECT_EQ(pf::value(kFirstIndent), v429);
        EXPECT_EQ(pf::value(kSecondIndent), v431);
    }
};

}  // namespace lumetra::testing
