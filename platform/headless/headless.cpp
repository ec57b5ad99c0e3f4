// The headless backend: every window and control is a record in memory, so
// the shell's real code runs in tests without a display. Screen rectangles
// are summed from the layout exactly as the windows would place them, which
// makes "the pointer is over X" behave as on screen.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <deque>
#include <map>
#include <stdexcept>
#include <unistd.h>

#include "platform/headless/headless_test.h"
#include "platform/platform.h"

namespace lumetra::platform {

namespace {

struct ControlState {
    ControlSpec spec;
    std::string text;
    bool enabled = true, visible = true, checked = false;
    std::vector<std::string> items;
    int selection = -1;
    int value = 0;
    Bitmap bitmap;
    int bitmap_assignments = 0;
    int image = -1;
    std::vector<std::string> lines;  // rich text; none at all when empty
    std::vector<StyledRun> runs;
    int rich_assignments = 0;
    int sel_start = 0, sel_end = 0;  // selection of an edit or rich text, in characters
};

struct WindowState {
    WindowSpec spec;
    bool exists = false, visible = false, ever_shown = false, enabled = true;
    std::string title;
    Point position;
};

struct MenuEntry {
    std::string text;
    bool checked = false;
};

// The whole machine the shell talks to. One per test process; reset() gives
// every test a fresh one.
struct Machine {
    std::map<WindowId, WindowState> windows;
    std::vector<WindowId> failing_windows;
    std::map<int, ControlState> controls;
    std::vector<int> creation_order;
    int focused = 0;
    bool drops = false;
    bool shut_down = false;

    std::vector<MenuItem> main_menu;
    std::map<int, std::vector<MenuItem>> popups;
    std::map<int, MenuEntry> menu_entries;  // by command
    std::vector<int> popups_shown;
    std::vector<ToolbarItem> toolbar;
    std::map<int, std::string> toolbar_tips;
    std::vector<Shortcut> shortcuts;

    std::deque<Event> events;
    std::multimap<std::uint64_t, Event> timed_events;  // by the time they become pending
    bool ran_dry = false;
    Point pointer;
    bool left = false, right = false;

    std::deque<Answer> box_answers;
    std::vector<headless::MessageBoxCall> boxes;
    std::deque<FileChoice> dialog_answers;
    std::vector<headless::FileDialogCall> dialogs;

    int beeps = 0;
    int default_beeps = 0;
    std::map<int, int> repaints;
    std::string clipboard;
    std::uint64_t clock = 1000;
    std::uint64_t clock_limit = 1000 + 10 * 60 * 1000;
    std::vector<headless::SelectionCall> selections;
    std::filesystem::path temp;
    std::vector<std::string> links;
    PointerShape pointer_shape = PointerShape::Arrow;
    std::vector<headless::FadeCall> fades;
    std::vector<std::filesystem::path> font_folders;
};

Machine& machine()
{
    static Machine m;
    return m;
}

int fresh_dirs = 0;

constexpr int kSeparatorWidth = 8;
constexpr int kButtonWidth = 23;

ControlState* find(int id)
{
    auto& controls = machine().controls;
    auto it = controls.find(id);
    return it == controls.end() ? nullptr : &it->second;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) all += "\r\n";
        all += lines[i];
    }
    return all;
}

// Characters as the controls count them: UTF-8 sequences count once and a
// line break (CR LF) counts once, as in a rich-text control.
bool continues_character(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

int character_count(const std::string& utf8)
{
    int n = 0;
    for (char c : utf8)
        if (!continues_character(c)) ++n;
    return n;
}

std::string plain_text(const ControlState& c)
{
    return c.spec.kind == ControlKind::RichText ? joined(c.lines) : c.text;
}

int length_in_characters(const ControlState& c)
{
    if (c.spec.kind != ControlKind::RichText) return character_count(c.text);
    int n = 0;
    if (c.lines.empty()) return 0;
    for (const auto& line : c.lines) n += character_count(line);
    return n + static_cast<int>(c.lines.size()) - 1;
}

// The characters start..end of a control's text, a line break giving CR LF.
std::string characters(const ControlState& c, int start, int end)
{
    std::string out;
    int pos = 0;
    auto take = [&](const std::string& s) {
        // A character begins where character_count counts one, so a
        // selection of the whole length takes the whole text.
        for (char byte : s) {
            if (!continues_character(byte)) ++pos;
            if (pos - 1 >= start && pos - 1 < end) out += byte;
        }
    };
    if (c.spec.kind != ControlKind::RichText) {
        take(c.text);
        return out;
    }
    for (std::size_t l = 0; l < c.lines.size(); ++l) {
        if (l) {
            if (pos >= start && pos < end) out += "\r\n";
            ++pos;
        }
        take(c.lines[l]);
    }
    return out;
}

Point client_origin(WindowId id)
{
    auto& w = machine().windows[id];
    if (id == WindowId::Main) return {w.position.x + headless::kMainClientOffset.x, w.position.y + headless::kMainClientOffset.y};
    return w.position;
}

// Top-left corner of a parent's client area on the screen.
Point parent_origin(WindowId window, int parent)
{
    if (parent == 0 || parent == kToolbarParent) return client_origin(window);
    ControlState* p = find(parent);
    if (!p) return client_origin(window);
    Point o = parent_origin(p->spec.window, p->spec.parent);
    int inset = (p->spec.style & kBorder) ? 1 : 0;  // a thin border takes one pixel of the client area
    return {o.x + p->spec.rect.x + inset, o.y + p->spec.rect.y + inset};
}

void register_menu(const std::vector<MenuItem>& items)
{
    for (const auto& item : items) {
        if (!item.items.empty()) register_menu(item.items);
        else if (item.command != 0) machine().menu_entries[item.command].text = item.text;
    }
}

void rename_in_tree(std::vector<MenuItem>& items, int command, const std::string& text)
{
    for (auto& item : items) {
        if (item.command == command && item.items.empty()) item.text = text;
        rename_in_tree(item.items, command, text);
    }
}

// Timed events whose time has come join the queue, in time order.
void release_due_events()
{
    auto& m = machine();
    while (!m.timed_events.empty() && m.timed_events.begin()->first <= m.clock) {
        m.events.push_back(std::move(m.timed_events.begin()->second));
        m.timed_events.erase(m.timed_events.begin());
    }
}

void advance_clock_to(std::uint64_t time)
{
    auto& m = machine();
    if (time > m.clock_limit)
        throw headless::ClockLimitReached("headless: the fake clock passed its limit of " +
                                          std::to_string(m.clock_limit) + " ms (it would reach " +
                                          std::to_string(time) + " ms); does a loop never end?");
    m.clock = time;
    release_due_events();
}

// The number field of a spin read as the up-down control reads its buddy:
// the whole text one decimal number (an empty field is 0) inside the range.
std::optional<int> spin_field_number(const ControlState& c)
{
    const char* begin = c.text.c_str();
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(begin, &end, 10);
    if (*end != '\0' || errno == ERANGE || n < INT_MIN || n > INT_MAX) return std::nullopt;
    if (n < c.spec.min || n > std::max(c.spec.min, c.spec.max)) return std::nullopt;
    return static_cast<int>(n);
}

RtfFont rtf_face(Font font)
{
    if (font == Font::Code) return {"Lucida Console", 20, "fmodern", 1, 204};
    return {"MS Shell Dlg", 16, "fswiss", 2, 204};
}

}  // namespace

// ---------------------------------------------------------------- windows

bool create_window(const WindowSpec& spec)
{
    auto& m = machine();
    auto failing = std::find(m.failing_windows.begin(), m.failing_windows.end(), spec.id);
    if (failing != m.failing_windows.end()) {
        m.failing_windows.erase(failing);
        return false;
    }
    WindowState& w = m.windows[spec.id];
    w = WindowState{};
    w.spec = spec;
    w.exists = true;
    w.title = spec.title;
    w.position = spec.position;
    if (spec.centred) w.position = {(1920 - spec.client_w) / 2, (1080 - spec.client_h) / 2};
    return true;
}

void show_window(WindowId id)
{
    auto& w = machine().windows[id];
    if (!w.exists) return;
    w.visible = true;
    w.ever_shown = true;
}

void close_window(WindowId id)
{
    auto& m = machine();
    m.windows[id].exists = false;
    m.windows[id].visible = false;
    for (auto it = m.controls.begin(); it != m.controls.end();) {
        if (it->second.spec.window == id) {
            m.creation_order.erase(std::remove(m.creation_order.begin(), m.creation_order.end(), it->first),
                                   m.creation_order.end());
            it = m.controls.erase(it);
        } else {
            ++it;
        }
    }
}

bool window_exists(WindowId id) { return machine().windows[id].exists; }
void enable_window(WindowId id, bool enabled) { machine().windows[id].enabled = enabled; }
bool is_window_enabled(WindowId id) { return machine().windows[id].exists && machine().windows[id].enabled; }
void set_window_title(WindowId id, const std::string& title) { machine().windows[id].title = title; }
std::string window_title(WindowId id) { return machine().windows[id].title; }
Point window_position(WindowId id) { return machine().windows[id].position; }

Rect window_client_rect(WindowId id)
{
    const auto& w = machine().windows[id];
    if (!w.exists) return {};
    Point o = client_origin(id);
    return {o.x, o.y, w.spec.client_w, w.spec.client_h};
}

void accept_dropped_files(bool accept) { machine().drops = accept; }

// ---------------------------------------------------------------- controls

bool create_control(const ControlSpec& spec)
{
    auto& m = machine();
    if (!m.windows[spec.window].exists || m.controls.count(spec.id)) return false;
    ControlState c;
    c.spec = spec;
    c.text = spec.kind == ControlKind::RichText ? std::string() : spec.text;
    if (spec.kind == ControlKind::RichText) c.lines = split_lines(spec.text);
    c.enabled = !(spec.style & kDisabled);
    c.visible = !(spec.style & kHidden);
    c.checked = (spec.style & kChecked) != 0;
    c.items = spec.items;
    if ((spec.kind == ControlKind::Tabs) && !c.items.empty()) c.selection = 0;
    c.value = std::clamp(spec.value, spec.min, std::max(spec.min, spec.max));
    if (spec.kind == ControlKind::Spin) c.text = std::to_string(c.value);  // the arrows write the number into the field
    c.image = spec.image;
    m.controls.emplace(spec.id, std::move(c));
    m.creation_order.push_back(spec.id);
    return true;
}

bool control_exists(int id) { return find(id) != nullptr; }

void set_text(int id, const std::string& text)
{
    if (auto* c = find(id)) {
        if (c->spec.kind == ControlKind::RichText) {
            c->lines = split_lines(text);
            c->runs.clear();
        } else {
            c->text = text;
        }
        c->sel_start = c->sel_end = 0;
    }
}

std::string text(int id)
{
    auto* c = find(id);
    if (!c) return {};
    if (c->spec.kind == ControlKind::Combo)
        return c->selection >= 0 ? c->items[static_cast<std::size_t>(c->selection)] : std::string();
    return plain_text(*c);
}

void enable(int id, bool enabled)
{
    if (auto* c = find(id)) c->enabled = enabled;
}
bool is_enabled(int id)
{
    auto* c = find(id);
    return c && c->enabled;
}
void show(int id, bool visible)
{
    if (auto* c = find(id)) c->visible = visible;
}
bool is_visible(int id)
{
    auto* c = find(id);
    return c && c->visible;
}

void set_checked(int id, bool checked)
{
    auto& m = machine();
    auto* c = find(id);
    if (!c) return;
    c->checked = checked;
    if (c->spec.kind != ControlKind::Radio || !checked) return;
    // The group: the radio buttons created in a row with this one, starting
    // at the one marked as the group's first.
    const auto& order = m.creation_order;
    auto radio = [&](std::size_t i) { return find(order[i])->spec.kind == ControlKind::Radio; };
    auto opens_group = [&](std::size_t i) { return (find(order[i])->spec.style & kGroup) != 0; };
    std::size_t first = static_cast<std::size_t>(std::find(order.begin(), order.end(), id) - order.begin());
    while (first > 0 && !opens_group(first) && radio(first - 1)) --first;
    for (std::size_t i = first; i < order.size() && radio(i) && (i == first || !opens_group(i)); ++i)
        if (order[i] != id) find(order[i])->checked = false;
}

bool is_checked(int id)
{
    auto* c = find(id);
    return c && c->checked;
}

void set_items(int id, const std::vector<std::string>& items)
{
    if (auto* c = find(id)) {
        c->items = items;
        c->selection = -1;
    }
}

void set_selection(int id, int index)
{
    auto* c = find(id);
    if (!c) return;
    c->selection = (index >= 0 && index < static_cast<int>(c->items.size())) ? index : -1;
    if (c->spec.kind == ControlKind::Tabs) machine().selections.push_back({machine().clock, id, index});
}

int selection(int id)
{
    auto* c = find(id);
    return c ? c->selection : -1;
}

void set_value(int id, int v)
{
    auto* c = find(id);
    if (!c) return;
    c->value = std::clamp(v, c->spec.min, std::max(c->spec.min, c->spec.max));
    if (c->spec.kind == ControlKind::Spin) c->text = std::to_string(c->value);
}

int value(int id)
{
    auto* c = find(id);
    if (!c) return 0;
    if (c->spec.kind == ControlKind::Spin)
        if (auto typed = spin_field_number(*c)) c->value = *typed;
    return c->value;
}

void set_focus(int id)
{
    if (find(id)) machine().focused = id;
}
int focused_control() { return machine().focused; }

void select_all(int id)
{
    if (auto* c = find(id)) {
        c->sel_start = 0;
        c->sel_end = length_in_characters(*c);
    }
}

void set_bitmap(int id, const Bitmap& bitmap)
{
    if (auto* c = find(id)) {
        c->bitmap = bitmap;
        c->image = -1;
        ++c->bitmap_assignments;
    }
}

void set_image(int id, int image)
{
    if (auto* c = find(id)) c->image = image;
}

void set_rich_text(int id, const std::vector<std::string>& lines, const std::vector<StyledRun>& runs)
{
    if (auto* c = find(id)) {
        c->lines = lines;
        c->runs = runs;
        c->sel_start = c->sel_end = 0;
        ++c->rich_assignments;
    }
}

void append_rich_line(int id, const std::string& line)
{
    if (auto* c = find(id)) c->lines.push_back(line);
}

void copy_selection(int id)
{
    if (auto* c = find(id)) machine().clipboard = characters(*c, c->sel_start, c->sel_end);
}

std::string rich_text_as_rtf(int id)
{
    auto* c = find(id);
    if (!c || c->spec.kind != ControlKind::RichText) return {};
    return styled_text_as_rtf({c->lines, c->runs}, rtf_face(c->spec.font));
}

// ---------------------------------------------------------------- menus, toolbar, shortcuts

void create_main_menu(const std::vector<MenuItem>& menus)
{
    machine().main_menu = menus;
    register_menu(menus);
}

void create_popup_menu(int popup, const std::vector<MenuItem>& items)
{
    machine().popups[popup] = items;
    register_menu(items);
}

void show_popup_menu(int popup) { machine().popups_shown.push_back(popup); }

void check_menu_item(int command, bool checked)
{
    auto& m = machine();
    if (m.menu_entries.count(command)) m.menu_entries[command].checked = checked;
}

bool is_menu_item_checked(int command)
{
    auto& entries = machine().menu_entries;
    auto it = entries.find(command);
    return it != entries.end() && it->second.checked;
}

void set_menu_item_text(int command, const std::string& text)
{
    auto& m = machine();
    if (!m.menu_entries.count(command)) return;
    m.menu_entries[command].text = text;
    rename_in_tree(m.main_menu, command, text);
    for (auto& [number, items] : m.popups) rename_in_tree(items, command, text);
}

std::string menu_item_text(int command)
{
    auto& entries = machine().menu_entries;
    auto it = entries.find(command);
    return it == entries.end() ? std::string() : it->second.text;
}

void create_toolbar(const std::vector<ToolbarItem>& items)
{
    auto& m = machine();
    m.toolbar = items;
    for (const auto& item : items)
        if (item.kind == ToolbarItemKind::Button) m.toolbar_tips[item.command] = item.tooltip;
}

int toolbar_spacer_left()
{
    int left = 0;
    for (const auto& item : machine().toolbar) {
        if (item.kind == ToolbarItemKind::Spacer) return left;
        left += item.kind == ToolbarItemKind::Separator ? kSeparatorWidth : kButtonWidth;
    }
    return left;
}

void set_toolbar_tooltip(int command, const std::string& text)
{
    auto& tips = machine().toolbar_tips;
    if (tips.count(command)) tips[command] = text;
}

std::string toolbar_tooltip(int command)
{
    auto& tips = machine().toolbar_tips;
    auto it = tips.find(command);
    return it == tips.end() ? std::string() : it->second;
}

void create_shortcuts(const std::vector<Shortcut>& shortcuts) { machine().shortcuts = shortcuts; }

// ---------------------------------------------------------------- events

Event wait_event()
{
    auto& m = machine();
    release_due_events();
    if (m.events.empty() && !m.timed_events.empty()) advance_clock_to(m.timed_events.begin()->first);
    if (m.events.empty()) {
        m.ran_dry = true;
        return Event{EventKind::Close, 0, EventType::None, WindowId::Main, {}};
    }
    Event e = m.events.front();
    m.events.pop_front();
    return e;
}

// The timer's event waits among the timed events until the clock reaches it.
void stop_timer()
{
    auto& m = machine();
    const auto is_timer = [](const Event& e) { return e.kind == EventKind::Timer; };
    std::erase_if(m.events, is_timer);
    std::erase_if(m.timed_events, [&](const auto& entry) { return is_timer(entry.second); });
}

void start_timer(int milliseconds)
{
    stop_timer();
    headless::push_event_at(machine().clock + static_cast<std::uint64_t>(std::max(0, milliseconds)),
                            {EventKind::Timer, 0, EventType::None, WindowId::Main, {}});
}

// ---------------------------------------------------------------- modal

Answer message_box(const std::string& title, const std::string& text, Buttons buttons, Icon icon)
{
    auto& m = machine();
    m.boxes.push_back({title, text, buttons, icon});
    if (!m.box_answers.empty()) {
        Answer a = m.box_answers.front();
        m.box_answers.pop_front();
        return a;
    }
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    default: return Answer::Cancel;
    }
}

static FileChoice file_dialog(bool save, const FileDialog& dialog)
{
    auto& m = machine();
    m.dialogs.push_back({save, dialog});
    if (m.dialog_answers.empty()) return {{}, dialog.filter_index};
    FileChoice c = m.dialog_answers.front();
    m.dialog_answers.pop_front();
    return c;
}

FileChoice open_file_dialog(const FileDialog& dialog) { return file_dialog(false, dialog); }
FileChoice save_file_dialog(const FileDialog& dialog) { return file_dialog(true, dialog); }

// ---------------------------------------------------------------- pointer, time, misc

Point pointer_position() { return machine().pointer; }

Rect control_screen_rect(int id)
{
    auto* c = find(id);
    if (!c) return {};
    Point o = parent_origin(c->spec.window, c->spec.parent);
    return {o.x + c->spec.rect.x, o.y + c->spec.rect.y, c->spec.rect.w, c->spec.rect.h};
}

std::optional<Point> to_main_client(Point screen)
{
    Rect client = window_client_rect(WindowId::Main);
    if (!client.contains(screen)) return std::nullopt;
    return Point{screen.x - client.x, screen.y - client.y};
}

bool left_button_down() { return machine().left; }
bool right_button_down() { return machine().right; }
void warning_beep() { ++machine().beeps; }
void default_beep() { ++machine().default_beeps; }
void repaint_now(int id) { ++machine().repaints[id]; }

std::uint64_t now_ms() { return machine().clock; }
std::filesystem::path temp_directory() { return machine().temp; }
std::vector<std::filesystem::path> font_folders() { return machine().font_folders; }
void open_link(const std::string& target) { machine().links.push_back(target); }
void set_pointer_shape(PointerShape shape) { machine().pointer_shape = shape; }

void fade_window(WindowId id, int milliseconds, bool show)
{
    auto& m = machine();
    if (!m.windows[id].exists) return;
    m.fades.push_back({id, milliseconds, show});
    if (show) show_window(id);
    else m.windows[id].visible = false;
}

void shutdown()
{
    auto& m = machine();
    for (auto id : {WindowId::Text, WindowId::About, WindowId::Startup, WindowId::Main}) close_window(id);
    m.shut_down = true;
}

}  // namespace lumetra::platform

// ================================================================ test side

namespace lumetra::headless {

using platform::machine;

void reset()
{
    auto& m = machine();
    std::filesystem::path old = m.temp;
    m = platform::Machine{};
    std::error_code ec;
    if (!old.empty()) std::filesystem::remove_all(old, ec);
    m.temp = std::filesystem::temp_directory_path() /
             ("lumetra-headless-" + std::to_string(::getpid()) + "-" + std::to_string(++platform::fresh_dirs));
    std::filesystem::remove_all(m.temp, ec);
    std::filesystem::create_directories(m.temp);
}

void discard()
{
    std::error_code ec;
    if (!machine().temp.empty()) std::filesystem::remove_all(machine().temp, ec);
    machine().temp.clear();
}

std::filesystem::path temp_dir() { return machine().temp; }

void push_event(const Event& event)
{
    platform::release_due_events();  // whatever fell due earlier comes first
    machine().events.push_back(event);
}

void push_event_at(std::uint64_t time_ms, const Event& event)
{
    if (time_ms <= machine().clock) push_event(event);
    else machine().timed_events.emplace(time_ms, event);
}

void push_command(int command) { push_event({EventKind::Command, command, EventType::None, WindowId::Main, {}}); }
void push_control(int id, EventType type, WindowId window) { push_event({EventKind::Control, id, type, window, {}}); }
void push_close(WindowId window) { push_event({EventKind::Close, 0, EventType::None, window, {}}); }
std::size_t pending_events()
{
    platform::release_due_events();
    return machine().events.size();
}
std::size_t later_events()
{
    platform::release_due_events();
    return machine().timed_events.size();
}
bool ran_dry() { return machine().ran_dry; }

void point_at(int id, int dx, int dy)
{
    if (!platform::control_exists(id)) throw std::logic_error("point_at: no control " + std::to_string(id));
    Rect r = platform::control_screen_rect(id);
    machine().pointer = {r.x + dx, r.y + dy};
}

void point_at_screen(Point screen) { machine().pointer = screen; }

void point_at_client(Point client)
{
    Point o = platform::client_origin(WindowId::Main);
    machine().pointer = {o.x + client.x, o.y + client.y};
}

void hold_buttons(bool left, bool right)
{
    machine().left = left;
    machine().right = right;
}

static platform::ControlState& existing(int id)
{
    auto* c = platform::find(id);
    if (!c) throw std::logic_error("no control " + std::to_string(id));
    return *c;
}

void type_text(int id, const std::string& text)
{
    auto& c = existing(id);
    const auto kind = c.spec.kind;
    if (kind != platform::ControlKind::Edit && kind != platform::ControlKind::Spin)
        throw std::logic_error("type_text: control " + std::to_string(id) + " takes no typing");
    if ((c.spec.style & platform::kReadOnly) || !c.enabled) return;
    const bool digits_only = kind == platform::ControlKind::Spin || (c.spec.style & platform::kDigitsOnly);
    std::string typed;
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char byte = text[i];
        const bool starts = !platform::continues_character(byte);
        if (byte == '\r' || byte == '\n') continue;  // one line only
        if (digits_only && (byte < '0' || byte > '9')) continue;
        if (starts) {
            if (kind == platform::ControlKind::Edit && c.spec.text_limit > 0 && characters == c.spec.text_limit) break;
            ++characters;
        } else if (typed.empty()) {
            continue;  // no character to continue
        }
        typed += byte;
    }
    c.text = typed;
    c.sel_start = c.sel_end = characters;
    if (c.spec.style & platform::kReportChanges) push_control(id, EventType::Changed, c.spec.window);
}

bool press_shortcut(bool ctrl, bool shift, bool alt, char key)
{
    for (const auto& s : machine().shortcuts) {
        if (s.ctrl == ctrl && s.shift == shift && s.alt == alt && s.key == key) {
            push_command(s.command);
            return true;
        }
    }
    return false;
}

void answer_message_box(Answer answer) { machine().box_answers.push_back(answer); }
const std::vector<MessageBoxCall>& message_boxes() { return machine().boxes; }
void answer_file_dialog(const FileChoice& choice) { machine().dialog_answers.push_back(choice); }
const std::vector<FileDialogCall>& file_dialogs() { return machine().dialogs; }

int beeps() { return machine().beeps; }
int default_beeps() { return machine().default_beeps; }

int repaints(int id)
{
    auto& counts = machine().repaints;
    auto it = counts.find(id);
    return it == counts.end() ? 0 : it->second;
}

std::string clipboard() { return machine().clipboard; }
void set_clipboard(const std::string& text) { machine().clipboard = text; }

bool window_shown(WindowId id) { return machine().windows[id].ever_shown; }
bool window_visible(WindowId id) { return machine().windows[id].visible; }
platform::WindowSpec window_spec(WindowId id) { return machine().windows[id].spec; }
void fail_window_creation(WindowId id) { machine().failing_windows.push_back(id); }
bool accepting_drops() { return machine().drops; }
bool shut_down() { return machine().shut_down; }

const ControlSpec& control_spec(int id) { return existing(id).spec; }
std::vector<int> controls_in_creation_order() { return machine().creation_order; }

bool is_shown(int id)
{
    for (auto* c = platform::find(id); c; c = platform::find(c->spec.parent)) {
        if (!c->visible) return false;
        if (c->spec.parent <= 0) break;
    }
    return platform::find(id) != nullptr;
}

const Bitmap& bitmap(int id) { return existing(id).bitmap; }
int bitmap_assignments(int id) { return existing(id).bitmap_assignments; }
int stored_image(int id) { return existing(id).image; }
std::vector<std::string> rich_lines(int id) { return existing(id).lines; }
std::vector<StyledRun> rich_runs(int id) { return existing(id).runs; }
int rich_assignments(int id) { return existing(id).rich_assignments; }

std::string selected_text(int id)
{
    auto& c = existing(id);
    return platform::characters(c, c.sel_start, c.sel_end);
}

const std::vector<MenuItem>& main_menu() { return machine().main_menu; }

const std::vector<MenuItem>& popup_menu(int popup)
{
    static const std::vector<MenuItem> none;
    auto& popups = machine().popups;
    auto it = popups.find(popup);
    return it == popups.end() ? none : it->second;
}

const std::vector<int>& popups_shown() { return machine().popups_shown; }
const std::vector<ToolbarItem>& toolbar() { return machine().toolbar; }
const std::vector<Shortcut>& shortcuts() { return machine().shortcuts; }
std::vector<std::string> opened_links() { return machine().links; }
platform::PointerShape pointer_shape() { return machine().pointer_shape; }
const std::vector<FadeCall>& fades() { return machine().fades; }
const std::vector<SelectionCall>& selection_log() { return machine().selections; }
void set_clock_limit(std::uint64_t time_ms) { machine().clock_limit = time_ms; }
void set_font_folders(const std::vector<std::filesystem::path>& folders) { machine().font_folders = folders; }

}  // namespace lumetra::headless
