// The platform layer: the small set of services the shell needs, in the
// terms the program itself uses — numbered controls, command numbers, events,
// message boxes, file dialogs, the pointer and the mouse buttons.
//
// Exactly one backend is linked into each executable:
//   platform/win32/     real windows and controls (lumetra.exe)
//   platform/web/       the page's elements (lumetra.js and lumetra.wasm)
//   platform/headless/  control states in memory, driven by tests
//
// Texts cross this boundary as UTF-8; paths as std::filesystem::path.
// Control numbers are the program's own; the Win32 backend uses them as
// control IDs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/styled_text.h"

namespace lumetra::platform {

// ---------------------------------------------------------------- basics

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// Left and top edges inside, right and bottom edges outside.
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(Point p) const { return p.x >= x && p.y >= y && p.x < x + w && p.y < y + h; }
    bool operator==(const Rect&) const = default;
};

// A picture the shell paints and hands to an image control.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;  // row by row from the top
    Bitmap() = default;
    Bitmap(int w, int h, Rgb fill) : width(w), height(h), pixels(static_cast<std::size_t>(w * h), fill) {}
    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    void fill_rect(int x, int y, int w, int h, Rgb colour)
    {
        for (int row = y; row < y + h && row < height; ++row)
            for (int col = x; col < x + w && col < width; ++col)
                pixels[static_cast<std::size_t>(row * width + col)] = colour;
    }
};

// ---------------------------------------------------------------- windows

// The text dialog (Text) takes the dialog keys: Tab moves between its fields,
// Enter presses its default button, Escape closes it as its close box does.
enum class WindowId { Main, Startup, About, Text };

struct WindowSpec {
    WindowId id = WindowId::Main;
    std::string title;
    Point position;            // screen position of the window (main window: the stored position)
    int client_w = 0, client_h = 0;
    std::optional<Rgb> background;
    bool centred = false;      // centred on the screen (start-up window)
    bool topmost = false;      // always on top, no task-bar button (start-up window)
    bool popup = false;        // borderless pop-up (start-up window)
};

// Windows are created hidden. False when the window cannot be created.
bool create_window(const WindowSpec& spec);
void show_window(WindowId id);
void close_window(WindowId id);  // destroys it with its controls
bool window_exists(WindowId id);
// A disabled window takes no input: the main window under a dialog.
void enable_window(WindowId id, bool enabled);
bool is_window_enabled(WindowId id);
void set_window_title(WindowId id, const std::string& title);
std::string window_title(WindowId id);
Point window_position(WindowId id);    // top-left corner on the screen
Rect window_client_rect(WindowId id);  // client area in screen coordinates
void accept_dropped_files(bool accept);

// ---------------------------------------------------------------- controls

enum class ControlKind {
    Container,  // panel; holds other controls, forwards their notifications
    Text,       // static text
    Edit,       // one-line edit
    RichText,   // multi-line rich-text edit with both scroll bars, no word wrap
    Button,
    Radio,      // option button; a new group starts with the Group style
    Check,
    Frame,      // group box
    Combo,      // drop-down list, not editable
    Tabs,       // tab strip
    Spin,       // number field with up-down arrows
    Progress,
    Image,      // image control: shows a Bitmap or a stored image; reports clicks
    Link,       // text that opens a link target when clicked
};

enum Style : unsigned {
    kNoStyle = 0,
    kBorder = 1u << 0,     // one-pixel line frame
    kCentred = 1u << 1,
    kReadOnly = 1u << 2,   // edit and rich text; spin: the number cannot be typed
    kHidden = 1u << 3,
    kDisabled = 1u << 4,
    kGroup = 1u << 5,      // first radio button of a group
    kChecked = 1u << 6,    // radio and check box initial state
    kDigitsOnly = 1u << 7, // edit: only the digits 0..9 can be typed
    kDefaultButton = 1u << 8,  // button: drawn with the default-button frame
    kSmooth = 1u << 9,     // progress bar: one smooth bar instead of blocks
    kReportChanges = 1u << 10,  // edit and spin: typing and the arrows send Changed (set_text, set_value do not)
};

enum class Font {
    Default,    // the control's own default font
    Message,    // the system message font (tabs, buttons)
    StartupBold,  // "MS Sans Serif" 12 pt bold
    Code,       // "Lucida Console" 10 pt, fixed pitch
    Underlined, // links
    Title,      // larger bold, for headings in the About window
};

// The toolbar as a parent: control 4 lives on it.
constexpr int kToolbarParent = -1;

// One control of the layout tables: one row, one control.
struct ControlSpec {
    int id = 0;
    ControlKind kind = ControlKind::Text;
    WindowId window = WindowId::Main;
    int parent = 0;  // 0 = the window itself, kToolbarParent, or a container id
    Rect rect;       // relative to the parent's client area
    std::string text;
    unsigned style = kNoStyle;
    std::optional<Rgb> text_colour;
    std::optional<Rgb> background;
    Font font = Font::Default;
    std::string tooltip;
    std::vector<std::string> items;  // combo entries or tab texts
    int min = 0, max = 0, value = 0; // spin range and value; progress range
    int image = -1;                  // stored image shown by an Image control (-1: a Bitmap is set later)
    std::string link;                // Link target
    std::optional<Rgb> hover_colour; // Link: its text colour while the pointer is over it
    std::string tooltip_title;       // not empty: the tooltip is a balloon with this title
    int text_limit = 0;              // Edit: at most this many characters can be typed; 0 no limit
    int list_height = 0;             // Combo: height of the dropped-down list below the closed field
};

bool create_control(const ControlSpec& spec);
bool control_exists(int id);

void set_text(int id, const std::string& text);
// Rich text: the lines joined by CR LF. Combo: the selected item, "" with
// none. Spin: the number field as shown, typed text included.
std::string text(int id);
void enable(int id, bool enabled);
bool is_enabled(int id);
void show(int id, bool visible);
bool is_visible(int id);              // the control's own visibility flag
void set_checked(int id, bool checked);  // radio: also unchecks the others of its group
bool is_checked(int id);
void set_items(int id, const std::vector<std::string>& items);
void set_selection(int id, int index);   // combo or tabs, sends no event
int selection(int id);                   // -1 when none
void set_value(int id, int value);       // spin or progress, sends no event
// Spin: reads the number field again, as the arrows do; a field that does not
// hold a number inside the range leaves the last good value, which is answered.
int value(int id);
void set_focus(int id);
int focused_control();                   // 0 when none of ours
void select_all(int id);                 // one-line edit or rich text
void set_bitmap(int id, const Bitmap& bitmap);
void set_image(int id, int image);       // a stored image

// Rich text (the code views and the skip list), written in the control's own font.
// A run formats characters of one line (core's styled text: line and start
// from 0, counted in Unicode characters); what lies past the end of the line
// is not formatted.
// Replaces the whole text at once (the fast path): lines, then runs to format.
void set_rich_text(int id, const std::vector<std::string>& lines, const std::vector<StyledRun>& runs = {});
void append_rich_line(int id, const std::string& line);
// Puts exactly the selected text on the clipboard, line breaks as CR LF (an
// empty selection empties it, as the controls' own copy does).
void copy_selection(int id);
std::string rich_text_as_rtf(int id);    // the whole document as RTF, with colours and bold runs

// ---------------------------------------------------------------- menus, toolbar, shortcuts

// command 0 with empty text and no items: a separator; items: a submenu.
struct MenuItem {
    int command = 0;
    std::string text;
    int icon = -1;  // stored image shown in the icon column
    std::vector<MenuItem> items;
};

void create_main_menu(const std::vector<MenuItem>& menus);
void create_popup_menu(int popup, const std::vector<MenuItem>& items);
void show_popup_menu(int popup);  // at the pointer; the choice arrives as a command event
void check_menu_item(int command, bool checked);
bool is_menu_item_checked(int command);
void set_menu_item_text(int command, const std::string& text);
std::string menu_item_text(int command);

enum class ToolbarItemKind { Separator, Button, HelpButton, Spacer };

struct ToolbarItem {
    ToolbarItemKind kind = ToolbarItemKind::Separator;
    int command = 0;
    int icon = -1;
    std::string tooltip;
};

void create_toolbar(const std::vector<ToolbarItem>& items);
int toolbar_spacer_left();  // left edge of the empty last item, in toolbar coordinates
void set_toolbar_tooltip(int command, const std::string& text);
std::string toolbar_tooltip(int command);

struct Shortcut {
    bool ctrl = false, shift = false, alt = false;
    char key = 0;  // 'A'..'Z', '0'..'9'
    int command = 0;
};
void create_shortcuts(const std::vector<Shortcut>& shortcuts);

// ---------------------------------------------------------------- events

enum class EventKind { None, Command, Control, FilesDropped, RightButton, Close, PointerMoved, Timer };

enum class EventType {
    None,
    Click,             // left click of an image, or the control's own notification
    RightClick,        // on release of the right button
    DoubleClick,
    RightDoubleClick,
    GainFocus,
    SelectionChanged,
    Changed,           // the text of an edit or spin with kReportChanges was changed by the user
};

struct Event {
    EventKind kind = EventKind::None;
    int number = 0;  // command number or control number
    EventType type = EventType::None;
    WindowId window = WindowId::Main;
    std::vector<std::filesystem::path> files;  // FilesDropped, in order
};

Event wait_event();  // blocks until the next event

// One timer for the program: a Timer event of the main window arrives once,
// that many milliseconds after the call (none or fewer: as soon as the events
// already pending are taken). A new start replaces a timer still pending.
void start_timer(int milliseconds);
// No Timer event arrives after this, not even one already due.
void stop_timer();

// ---------------------------------------------------------------- modal

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Error, Warning, Question, Information };
enum class Answer { Ok, Cancel, Yes, No };

Answer message_box(const std::string& title, const std::string& text, Buttons buttons, Icon icon);

struct FileDialog {
    std::string title;
    std::string filter;  // "Name|*.a;*.b|Name|*.*"
    int filter_index = 1;  // 1-based
    std::filesystem::path preset;
};

struct FileChoice {
    std::filesystem::path path;  // empty when cancelled
    int filter_index = 1;        // the filter in use when the dialog closed
};

FileChoice open_file_dialog(const FileDialog& dialog);  // the folder must exist; the file need not
FileChoice save_file_dialog(const FileDialog& dialog);  // no overwrite question

// ---------------------------------------------------------------- pointer, time, misc

Point pointer_position();             // screen coordinates
Rect control_screen_rect(int id);     // empty when the control does not exist
std::optional<Point> to_main_client(Point screen);  // nothing when outside the client area
bool left_button_down();
bool right_button_down();
void warning_beep();                  // the exclamation sound
void default_beep();                  // the system's default sound
// Paints a control and everything inside it at once, without waiting for the
// event loop (work that takes a while inside one event); 0: the whole main window.
void repaint_now(int id);
std::uint64_t now_ms();
std::filesystem::path temp_directory();  // long form, the user's temporary directory
// Where fonts are looked for, in order: the system's font folder, then the
// "fonts" folder beside the program. Either may be missing on disk.
std::vector<std::filesystem::path> font_folders();
void open_link(const std::string& target);

// The pointer's shape over the program's windows until it is set again.
enum class PointerShape { Arrow, Hand };
void set_pointer_shape(PointerShape shape);

// Shows (activating it) or hides a window with a blend over the given time.
void fade_window(WindowId id, int milliseconds, bool show);

// Ends the program's windows and releases what the backend holds.
void shutdown();

}  // namespace lumetra::platform
