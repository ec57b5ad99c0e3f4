// The test side of the headless backend: what a test does in place of the
// user (events, pointer, buttons, answers to questions) and what it reads
// back (what was asked, beeps, clipboard, pictures, menus).
#pragma once

#include <cstdint>
#include <filesystem>
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
using platform::TextRun;
using platform::ToolbarItem;
using platform::WindowId;

// A fresh machine: no windows, no controls, empty queues, clock at 1000 ms,
// pointer at the screen origin, and a new empty temporary directory.
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
void push_command(int command);
void push_control(int id, EventType type, WindowId window = WindowId::Main);
void push_close(WindowId window = WindowId::Main);
std::size_t pending_events();
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

int beeps();
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
std::vector<TextRun> rich_runs(int id);
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

}  // namespace lumetra::headless
