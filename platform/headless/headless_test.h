// The test side of the headless backend: what a test does in place of the
// user (events, pointer, buttons, answers to questions) and what it reads
// back (what was asked, beeps, clipboard, pictures, menus).
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lumetra::headless {

using platform::Answer;
using platform::Bitmap;
using platform::Buttons;
using platform::ControlSpec;
using platform::Event;
using platform::EventKind;
using platform::EventType;
using platform::FileChoice;
using platform::FileDialog;
using platform::Icon;
using platform::MenuItem;
using platform::Point;
using platform::Rect;
using platform::Shortcut;
using platform::ToolbarItem;
using platform::WindowId;

// A fresh machine: no windows, no controls, empty queues and logs, clock at
// 1000 ms with its limit ten minutes later, pointer at the screen origin, and
// a new empty temporary directory.
void reset();
// Removes the temporary directory of the last reset; for the end of a test.
void discard();
std::filesystem::path temp_dir();

// Where the main window's client area starts, relative to the window's
// position: the frame and the caption with the menu bar above it.
constexpr Point kMainClientOffset{3, 45};
constexpr int kToolbarHeight = 28;

// ---------------------------------------------------------------- input

void push_event(const Event& event);
// The event becomes pending when the fake clock (now_ms) reaches time_ms;
// events due at the same time keep the order they were pushed in. wait_event
// with only such future events left moves the clock on to the first of them.
void push_event_at(std::uint64_t time_ms, const Event& event);
void push_command(int command);
void push_control(int id, EventType type, WindowId window = WindowId::Main);
void push_close(WindowId window = WindowId::Main);
std::size_t pending_events();  // due now; later timed events not counted
std::size_t later_events();    // timed events not yet due, the timer's among them
// wait_event() with nothing queued answers a close of the main window so that
// a loop always ends; this tells whether that happened.
bool ran_dry();

// The pointer at an offset from the top-left corner of a control's screen
// rectangle, or at a screen point.
void point_at(int id, int dx, int dy);
void point_at_screen(Point screen);
// The pointer at a point of the main window's client area.
void point_at_client(Point client);
void hold_buttons(bool left, bool right);

// Puts text into an Edit or into a Spin's number field as typing it would:
// the whole content is replaced; a read-only or disabled field takes nothing;
// a Spin's field and a digits-only Edit refuse everything but 0..9; an Edit
// with a text limit takes that many characters. No event is queued (typing
// sends none the shell listens to) but Changed from a control with
// kReportChanges; the focus does not move.
void type_text(int id, const std::string& text);

// Looks the keys up in the shortcut table and queues the command; false when
// no shortcut has these keys.
bool press_shortcut(bool ctrl, bool shift, bool alt, char key);

// ---------------------------------------------------------------- questions

struct MessageBoxCall {
    std::string title, text;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};
// Answers are used in order; with none queued, the safe answer (Cancel, No or
// Ok) is given and the call still recorded.
void answer_message_box(Answer answer);
const std::vector<MessageBoxCall>& message_boxes();

struct FileDialogCall {
    bool save = false;
    FileDialog dialog;
};
void answer_file_dialog(const FileChoice& choice);  // none queued: cancelled
const std::vector<FileDialogCall>& file_dialogs();

// ---------------------------------------------------------------- reading back

int beeps();          // warning_beep calls
int default_beeps();  // default_beep calls
int repaints(int id); // repaint_now calls for the control (0: the main window)
std::string clipboard();
void set_clipboard(const std::string& text);

bool window_shown(WindowId id);       // shown at some time since reset
bool window_visible(WindowId id);
platform::WindowSpec window_spec(WindowId id);
void fail_window_creation(WindowId id);  // the next create_window of it fails
bool accepting_drops();
bool shut_down();

const ControlSpec& control_spec(int id);  // as created
std::vector<int> controls_in_creation_order();
// Visible itself and every container above it visible.
bool is_shown(int id);
const Bitmap& bitmap(int id);
int bitmap_assignments(int id);  // set_bitmap calls since reset
int stored_image(int id);        // -1 when none
std::vector<std::string> rich_lines(int id);
std::vector<StyledRun> rich_runs(int id);
int rich_assignments(int id);    // set_rich_text calls since reset
std::string selected_text(int id);

const std::vector<MenuItem>& main_menu();
const std::vector<MenuItem>& popup_menu(int popup);
const std::vector<int>& popups_shown();
const std::vector<ToolbarItem>& toolbar();
const std::vector<Shortcut>& shortcuts();
std::vector<std::string> opened_links();
platform::PointerShape pointer_shape();

struct FadeCall {
    WindowId window = WindowId::Main;
    int milliseconds = 0;
    bool show = false;
};
const std::vector<FadeCall>& fades();

// ---------------------------------------------------------------- fake time

// The clock (now_ms) moves only when wait_event, with nothing pending, moves
// on to the first timed event: a timer's time passes in no time at all.

// Tab selections made by set_selection on a Tabs control.
struct SelectionCall {
    std::uint64_t at;
    int id;
    int index;
};
const std::vector<SelectionCall>& selection_log();

// Thrown when the fake clock would pass its limit: a loop that would run for
// ever ends the test with a failure instead of hanging it.
struct ClockLimitReached : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// time_ms is a time on the fake clock, as now_ms gives it. A wait_event
// moving on to a timed event (the timer's too) past it throws
// ClockLimitReached; the clock stays.
void set_clock_limit(std::uint64_t time_ms);

// What platform::font_folders answers; none until set.
void set_font_folders(const std::vector<std::filesystem::path>& folders);

}  // namespace lumetra::headless
