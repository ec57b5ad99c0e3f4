// Windows, controls, menus, the toolbar, shortcuts, the pointer, the event
// queue and the timer of the browser backend. The page holds what it shows
// (web_ui.js, lumetra.ui); this side keeps the program's own records: the
// events as the shell takes them, with the pointer of each, and the rich
// texts' runs.
#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "core/styled_text.h"
#include "platform/web/web_backend.h"
#include "platform/web/web_images.h"

namespace lumetra::platform::web {
namespace {

// ---------------------------------------------------------------- the page's calls

// Strings the page hands back are allocated here and freed by the caller.
EM_JS(char*, js_string, (const char* expression_kind, int id), {
    var value = "";
    var kind = UTF8ToString(expression_kind);
    if (kind == "text") value = lumetra.ui.text(id);
    else if (kind == "title") value = lumetra.ui.window_title(id);
    else if (kind == "menu") value = lumetra.ui.menu_item_text(id);
    else if (kind == "selection") value = lumetra.ui.rich_selection(id);
    else if (kind == "file") value = lumetra.ui.taken_file(id);
    var size = lengthBytesUTF8(value) + 1;
    var out = _malloc(size);
    stringToUTF8(value, out, size);
    return out;
});

EM_JS(void, js_add_image, (int number, int w, int h, const unsigned char* rgba),
      { lumetra.ui.add_image(number, w, h, rgba); });
EM_JS(int, js_create_window, (int number, const char* name, const char* title, int x, int y, int w, int h,
                              int background, int centred, int popup, int with_menu),
      {
          return lumetra.ui.create_window(number, UTF8ToString(name), UTF8ToString(title), x, y, w, h, background,
                                          !!centred, !!popup, !!with_menu) ? 1 : 0;
      });
EM_JS(int, js_window_exists, (int number), { return lumetra.ui.window_exists(number); });
EM_JS(void, js_show_window, (int number), { lumetra.ui.show_window(number); });
EM_JS(int, js_window_shown, (int number), { return lumetra.ui.window_shown(number); });
EM_JS(void, js_close_window, (int number), { lumetra.ui.close_window(number); });
EM_JS(void, js_enable_window, (int number, int on), { lumetra.ui.enable_window(number, !!on); });
EM_JS(int, js_is_window_enabled, (int number), { return lumetra.ui.is_window_enabled(number); });
EM_JS(void, js_set_title, (int number, const char* title), { lumetra.ui.set_title(number, UTF8ToString(title)); });
EM_JS(void, js_window_rect, (int number, int client, int* out), { lumetra.ui.window_rect(number, !!client, out); });
EM_JS(void, js_fade_window, (int number, int ms, int show), { lumetra.ui.fade_window(number, ms, !!show); });
EM_JS(void, js_set_pointer_shape, (int hand), { lumetra.ui.set_pointer_shape(!!hand); });

EM_JS(int, js_create_control,
      (int id, int kind, int window, int parent, int x, int y, int w, int h, const char* text, int style,
       int text_colour, int background, int font, const char* tooltip, const char* tooltip_title, const char* items,
       int min, int max, int value, int image, int hover_colour, int text_limit, int list_height),
      {
          var joined = UTF8ToString(items);
          return lumetra.ui.create_control({
              id : id, kind : kind, window : window, parent : parent, x : x, y : y, w : w, h : h,
              text : UTF8ToString(text), style : style, text_colour : text_colour, background : background,
              font : font, tooltip : UTF8ToString(tooltip), tooltip_title : UTF8ToString(tooltip_title),
              items : joined == "" ? [] : joined.split(String.fromCharCode(31)), min : min, max : max, value : value,
              image : image, hover_colour : hover_colour, text_limit : text_limit, list_height : list_height
          });
      });
EM_JS(int, js_exists, (int id), { return lumetra.ui.exists(id); });
EM_JS(void, js_set_text, (int id, const char* text), { lumetra.ui.set_text(id, UTF8ToString(text)); });
EM_JS(void, js_enable, (int id, int on), { lumetra.ui.enable(id, on); });
EM_JS(int, js_is_enabled, (int id), { return lumetra.ui.is_enabled(id); });
EM_JS(void, js_show, (int id, int on), { lumetra.ui.show(id, on); });
EM_JS(int, js_is_visible, (int id), { return lumetra.ui.is_visible(id); });
EM_JS(void, js_set_checked, (int id, int on), { lumetra.ui.set_checked(id, on); });
EM_JS(int, js_is_checked, (int id), { return lumetra.ui.is_checked(id); });
EM_JS(void, js_set_items, (int id, const char* joined), { lumetra.ui.set_items(id, UTF8ToString(joined)); });
EM_JS(void, js_set_selection, (int id, int index), { lumetra.ui.set_selection(id, index); });
EM_JS(int, js_selection, (int id), { return lumetra.ui.selection(id); });
EM_JS(void, js_set_value, (int id, int value), { lumetra.ui.set_value(id, value); });
EM_JS(int, js_value, (int id), { return lumetra.ui.spin_value(id); });
EM_JS(void, js_set_focus, (int id), { lumetra.ui.set_focus(id); });
EM_JS(int, js_focused, (), { return lumetra.ui.focused(); });
EM_JS(void, js_select_all, (int id), { lumetra.ui.select_all(id); });
EM_JS(void, js_set_pixels, (int id, int w, int h, const unsigned char* rgba),
      { lumetra.ui.set_pixels(id, w, h, rgba); });
EM_JS(void, js_set_image, (int id, int image), { lumetra.ui.set_image(id, image); });
EM_JS(void, js_control_rect, (int id, int* out), { lumetra.ui.control_rect(id, out); });
EM_JS(int, js_main_client_point, (int x, int y, int* out), { return lumetra.ui.main_client_point(x, y, out); });
EM_JS(void, js_set_rich, (int id, const char* joined, const int* runs, int run_count),
      { lumetra.ui.set_rich(id, UTF8ToString(joined), runs, run_count); });
EM_JS(void, js_append_rich, (int id, const char* line, int first),
      { lumetra.ui.append_rich(id, UTF8ToString(line), !!first); });
EM_JS(void, js_copy_text, (const char* text), { lumetra.ui.copy_text(UTF8ToString(text)); });

EM_JS(void, js_create_main_menu, (const char* json), { lumetra.ui.create_main_menu(UTF8ToString(json)); });
EM_JS(void, js_create_popup_menu, (int popup, const char* json),
      { lumetra.ui.create_popup_menu(popup, UTF8ToString(json)); });
EM_JS(void, js_show_popup_menu, (int popup, int x, int y), { lumetra.ui.show_popup_menu(popup, x, y); });
EM_JS(void, js_check_menu_item, (int command, int on), { lumetra.ui.check_menu_item(command, on); });
EM_JS(int, js_is_menu_item_checked, (int command), { return lumetra.ui.is_menu_item_checked(command); });
EM_JS(void, js_set_menu_item_text, (int command, const char* text),
      { lumetra.ui.set_menu_item_text(command, UTF8ToString(text)); });
EM_JS(void, js_create_toolbar, (const char* json), { lumetra.ui.create_toolbar(UTF8ToString(json)); });
EM_JS(void, js_set_toolbar_tooltip, (int command, const char* text),
      { lumetra.ui.set_toolbar_tooltip(command, UTF8ToString(text)); });
EM_JS(void, js_create_shortcuts, (const char* json), { lumetra.ui.create_shortcuts(UTF8ToString(json)); });

// The next event of the page: kind, number, type, window, x, y, buttons,
// file count into out; 0 when none is queued.
EM_JS(int, js_take_event, (int* out), {
    var e = lumetra.ui.take_event();
    if (!e) return 0;
    var fields = [ e.kind, e.number, e.type, e.window, e.x, e.y, e.buttons, e.files.length ];
    for (var i = 0; i < fields.length; ++i) HEAP32[(out >> 2) + i] = fields[i];
    lumetra.ui.taken_files = e.files;
    return 1;
});
EM_ASYNC_JS(void, js_wait_for_event, (), { await lumetra.ui.wait(); });
EM_ASYNC_JS(void, js_next_frame, (), { await lumetra.ui.next_frame(); });
EM_JS(void, js_mark_ready, (), { lumetra.ui.mark_ready(); });
EM_JS(void, js_start_timer, (int ms), { lumetra.ui.start_timer(ms); });
EM_JS(void, js_stop_timer, (), { lumetra.ui.stop_timer(); });

std::string take_string(char* text)
{
    std::string out = text ? text : "";
    std::free(text);
    return out;
}

// ---------------------------------------------------------------- records

// The pointer as of the event the shell is handling, as Windows keeps the
// key state of the message just taken.
struct PointerState {
    Point at{-1, -1};
    int buttons = 0;  // 1 left, 2 right
};

struct QueuedEvent {
    Event event;
    PointerState pointer;
};

struct RichRecord {
    Font font = Font::Default;
    std::vector<StyledRun> runs;
    int lines = 0;
};

struct Backend {
    bool images_given = false;
    std::map<int, ControlKind> kinds;  // every control by number
    std::map<int, WindowId> window_of_control;
    std::map<int, RichRecord> rich;
    std::deque<QueuedEvent> events;
    PointerState pointer;
    std::vector<int> toolbar_lefts;  // toolbar items' left edges, the spacer's last
    std::map<int, std::string> toolbar_tips;
    bool ready = false;
    std::uint64_t last_frame_ms = 0;
    std::vector<unsigned char> rgba;  // scratch for pictures on their way to a canvas
};

Backend& backend()
{
    static Backend state;
    return state;
}

// Each window's element is "window-<name>"; a window without a name here
// goes by its number.
struct WindowName {
    WindowId id;
    const char* name;
};
constexpr WindowName kWindowNames[] = {
    {WindowId::Main, "main"},
    {WindowId::Startup, "startup"},
    {WindowId::About, "about"},
    {WindowId::Text, "text"},
};

std::string window_name(WindowId id)
{
    for (const WindowName& row : kWindowNames)
        if (row.id == id) return row.name;
    return std::to_string(static_cast<int>(id));
}

int colour_number(const std::optional<Rgb>& colour)
{
    return colour ? (colour->r << 16) | (colour->g << 8) | colour->b : -1;
}

void give_images()
{
    Backend& b = backend();
    if (b.images_given) return;
    b.images_given = true;
    for (int i = 0; i < kStoredImageCount; ++i)
        js_add_image(kStoredImages[i].number, kStoredImages[i].width, kStoredImages[i].height, kStoredImages[i].rgba);
}

std::string joined(const std::vector<std::string>& items, char separator)
{
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += separator;
        out += items[i];
    }
    return out;
}

// ---------------------------------------------------------------- JSON for the page

void json_string(std::string& out, const std::string& text)
{
    out += '"';
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

void json_menu(std::string& out, const std::vector<MenuItem>& items)
{
    out += '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ',';
        out += "{\"command\":" + std::to_string(items[i].command) + ",\"icon\":" + std::to_string(items[i].icon) +
               ",\"text\":";
        json_string(out, items[i].text);
        out += ",\"items\":";
        json_menu(out, items[i].items);
        out += '}';
    }
    out += ']';
}

// The toolbar's geometry as the flat Win32 toolbar lays out 16 x 16
// pictures: buttons 23 pixels wide, separators 8.
constexpr int kToolButtonWidth = 23;
constexpr int kToolSeparatorWidth = 8;

// Pointer movement only needs to wake the shell once per batch, while the
// buttons stay as they were: a press and its release both reach the polls.
void queue_event(const Event& event, const PointerState& pointer)
{
    auto& events = backend().events;
    if (event.kind == EventKind::PointerMoved && !events.empty()) {
        QueuedEvent& last = events.back();
        if (last.event.kind == EventKind::PointerMoved && last.event.window == event.window &&
            last.pointer.buttons == pointer.buttons) {
            last.pointer = pointer;
            return;
        }
    }
    events.push_back({event, pointer});
}

}  // namespace
}  // namespace lumetra::platform::web

namespace lumetra::platform {
using namespace web;

// ---------------------------------------------------------------- windows

bool create_window(const WindowSpec& spec)
{
    give_images();
    if (window_exists(spec.id)) return true;
    const bool with_menu = spec.id == WindowId::Main;
    return js_create_window(static_cast<int>(spec.id), window_name(spec.id).c_str(), spec.title.c_str(), spec.position.x,
                            spec.position.y, spec.client_w, spec.client_h, colour_number(spec.background),
                            spec.centred, spec.popup, with_menu) != 0;
}

void show_window(WindowId id) { js_show_window(static_cast<int>(id)); }

void close_window(WindowId id)
{
    Backend& b = backend();
    for (auto it = b.window_of_control.begin(); it != b.window_of_control.end();) {
        if (it->second == id) {
            b.kinds.erase(it->first);
            b.rich.erase(it->first);
            it = b.window_of_control.erase(it);
        } else {
            ++it;
        }
    }
    js_close_window(static_cast<int>(id));
    std::erase_if(b.events, [id](const QueuedEvent& e) { return e.event.window == id && e.event.kind != EventKind::Close; });
}

void enable_window(WindowId id, bool enabled) { js_enable_window(static_cast<int>(id), enabled); }
bool is_window_enabled(WindowId id) { return js_is_window_enabled(static_cast<int>(id)) != 0; }

bool window_exists(WindowId id)
{
    return js_window_exists(static_cast<int>(id)) != 0;
}

void set_window_title(WindowId id, const std::string& title) { js_set_title(static_cast<int>(id), title.c_str()); }

std::string window_title(WindowId id) { return take_string(js_string("title", static_cast<int>(id))); }

Point window_position(WindowId id)
{
    int rect[4] = {};
    js_window_rect(static_cast<int>(id), 0, rect);
    return {rect[0], rect[1]};
}

Rect window_client_rect(WindowId id)
{
    int rect[4] = {};
    js_window_rect(static_cast<int>(id), 1, rect);
    return {rect[0], rect[1], rect[2], rect[3]};
}

void set_pointer_shape(PointerShape shape) { js_set_pointer_shape(shape == PointerShape::Hand); }

void fade_window(WindowId id, int milliseconds, bool show) { js_fade_window(static_cast<int>(id), milliseconds, show); }

// ---------------------------------------------------------------- controls

bool create_control(const ControlSpec& spec)
{
    Backend& b = backend();
    if (b.kinds.count(spec.id)) return false;
    const bool made = js_create_control(
        spec.id, static_cast<int>(spec.kind), static_cast<int>(spec.window), spec.parent, spec.rect.x, spec.rect.y,
        spec.rect.w, spec.rect.h, spec.kind == ControlKind::RichText ? "" : spec.text.c_str(),
        static_cast<int>(spec.style), colour_number(spec.text_colour), colour_number(spec.background),
        static_cast<int>(spec.font), spec.tooltip.c_str(), spec.tooltip_title.c_str(), joined(spec.items, '\x1f').c_str(),
        spec.min, spec.max, spec.value, spec.image, colour_number(spec.hover_colour), spec.text_limit,
        spec.list_height);
    if (!made) return false;
    b.kinds[spec.id] = spec.kind;
    b.window_of_control[spec.id] = spec.window;
    if (spec.kind == ControlKind::RichText) {
        b.rich[spec.id].font = spec.font;
        if (!spec.text.empty()) set_rich_text(spec.id, {spec.text});
    }
    return true;
}

bool control_exists(int id) { return backend().kinds.count(id) != 0; }

void set_text(int id, const std::string& text)
{
    if (backend().rich.count(id)) {
        set_rich_text(id, split_lines(text));
        return;
    }
    js_set_text(id, text.c_str());
}

std::string text(int id)
{
    std::string shown = take_string(js_string("text", id));
    if (!backend().rich.count(id)) return shown;
    // The page ends lines in LF; the program reads CR LF.
    std::string out;
    for (char c : shown) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

void enable(int id, bool enabled) { js_enable(id, enabled); }
bool is_enabled(int id) { return js_is_enabled(id) != 0; }
void show(int id, bool visible) { js_show(id, visible); }
bool is_visible(int id) { return js_is_visible(id) != 0; }
void set_checked(int id, bool checked) { js_set_checked(id, checked); }
bool is_checked(int id) { return js_is_checked(id) != 0; }
void set_items(int id, const std::vector<std::string>& items) { js_set_items(id, joined(items, '\x1f').c_str()); }
void set_selection(int id, int index) { js_set_selection(id, index); }
int selection(int id) { return js_selection(id); }
void set_value(int id, int value) { js_set_value(id, value); }
int value(int id) { return js_value(id); }
void set_focus(int id) { js_set_focus(id); }
int focused_control() { return js_focused(); }
void select_all(int id) { js_select_all(id); }

void set_bitmap(int id, const Bitmap& bitmap)
{
    Backend& b = backend();
    auto kind = b.kinds.find(id);
    if (kind == b.kinds.end() || kind->second != ControlKind::Image || bitmap.width <= 0 || bitmap.height <= 0) return;
    b.rgba.resize(bitmap.pixels.size() * 4);
    unsigned char* out = b.rgba.data();
    for (const Rgb& pixel : bitmap.pixels) {
        *out++ = pixel.r;
        *out++ = pixel.g;
        *out++ = pixel.b;
        *out++ = 255;
    }
    js_set_pixels(id, bitmap.width, bitmap.height, b.rgba.data());
}

void set_image(int id, int image) { js_set_image(id, image); }

// ---------------------------------------------------------------- rich text

void set_rich_text(int id, const std::vector<std::string>& lines, const std::vector<StyledRun>& runs)
{
    auto found = backend().rich.find(id);
    if (found == backend().rich.end()) return;
    found->second.runs = runs;
    found->second.lines = static_cast<int>(lines.size());
    std::vector<int> packed;
    packed.reserve(runs.size() * 5);
    for (const StyledRun& run : runs) {
        packed.insert(packed.end(), {run.line, run.start, run.length,
                                     run.colour ? (run.colour->r << 16) | (run.colour->g << 8) | run.colour->b : -1,
                                     run.bold ? 1 : 0});
    }
    // No line at all and one empty line both show nothing.
    js_set_rich(id, joined(lines, '\n').c_str(), packed.data(), static_cast<int>(runs.size()));
}

void append_rich_line(int id, const std::string& line)
{
    auto found = backend().rich.find(id);
    if (found == backend().rich.end()) return;
    js_append_rich(id, line.c_str(), found->second.lines == 0);
    ++found->second.lines;
}

void copy_selection(int id)
{
    if (!control_exists(id)) return;
    js_copy_text(take_string(js_string("selection", id)).c_str());
}

std::string rich_text_as_rtf(int id)
{
    auto found = backend().rich.find(id);
    if (found == backend().rich.end()) return {};
    // The text as shown (typed changes included), the runs as given.
    StyledText document;
    const std::string shown = take_string(js_string("text", id));
    if (found->second.lines > 0 || !shown.empty()) {
        document.lines.emplace_back();
        for (char c : shown) {
            if (c == '\n') document.lines.emplace_back();
            else document.lines.back() += c;
        }
    }
    document.runs = found->second.runs;
    RtfFont font;
    if (found->second.font == Font::Code) {
        font.face = "Lucida Console";
        font.half_points = 20;
        font.family = "fmodern";
        font.pitch = 1;
    } else {
        font.face = "Tahoma";
    }
    return styled_text_as_rtf(document, font);
}

// ---------------------------------------------------------------- menus, toolbar, shortcuts

void create_main_menu(const std::vector<MenuItem>& menus)
{
    std::string json;
    json_menu(json, menus);
    js_create_main_menu(json.c_str());
}

void create_popup_menu(int popup, const std::vector<MenuItem>& items)
{
    std::string json;
    json_menu(json, items);
    js_create_popup_menu(popup, json.c_str());
}

void show_popup_menu(int popup)
{
    const Point at = backend().pointer.at;
    js_show_popup_menu(popup, at.x, at.y);
}

void check_menu_item(int command, bool checked) { js_check_menu_item(command, checked); }
bool is_menu_item_checked(int command) { return js_is_menu_item_checked(command) != 0; }
void set_menu_item_text(int command, const std::string& text) { js_set_menu_item_text(command, text.c_str()); }
std::string menu_item_text(int command) { return take_string(js_string("menu", command)); }

void create_toolbar(const std::vector<ToolbarItem>& items)
{
    Backend& b = backend();
    if (!window_exists(WindowId::Main) || !b.toolbar_lefts.empty()) return;
    std::string json = "[";
    int left = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ToolbarItem& item = items[i];
        b.toolbar_lefts.push_back(left);
        if (i) json += ',';
        json += "{\"kind\":" + std::to_string(static_cast<int>(item.kind)) +
                ",\"command\":" + std::to_string(item.command) + ",\"icon\":" + std::to_string(item.icon) +
                ",\"left\":" + std::to_string(left) + ",\"tooltip\":";
        json_string(json, item.tooltip);
        json += '}';
        if (item.kind != ToolbarItemKind::Separator && !item.tooltip.empty()) b.toolbar_tips[item.command] = item.tooltip;
        left += item.kind == ToolbarItemKind::Separator ? kToolSeparatorWidth : kToolButtonWidth;
    }
    json += ']';
    js_create_toolbar(json.c_str());
}

int toolbar_spacer_left() { return backend().toolbar_lefts.empty() ? 0 : backend().toolbar_lefts.back(); }

void set_toolbar_tooltip(int command, const std::string& text)
{
    backend().toolbar_tips[command] = text;
    js_set_toolbar_tooltip(command, text.c_str());
}

std::string toolbar_tooltip(int command)
{
    auto found = backend().toolbar_tips.find(command);
    return found == backend().toolbar_tips.end() ? std::string() : found->second;
}

void create_shortcuts(const std::vector<Shortcut>& shortcuts)
{
    std::string json = "[";
    for (std::size_t i = 0; i < shortcuts.size(); ++i) {
        const Shortcut& s = shortcuts[i];
        if (i) json += ',';
        json += std::string("{\"ctrl\":") + (s.ctrl ? "true" : "false") + ",\"shift\":" + (s.shift ? "true" : "false") +
                ",\"alt\":" + (s.alt ? "true" : "false") + ",\"key\":\"" + std::string(1, s.key) +
                "\",\"command\":" + std::to_string(s.command) + "}";
    }
    json += ']';
    js_create_shortcuts(json.c_str());
}

// ---------------------------------------------------------------- events

static void take_page_events()
{
    int fields[8] = {};
    while (js_take_event(fields)) {
        Event event{static_cast<EventKind>(fields[0]), fields[1], static_cast<EventType>(fields[2]),
                    static_cast<WindowId>(fields[3]), {}};
        for (int i = 0; i < fields[7]; ++i) event.files.emplace_back(take_string(js_string("file", i)));
        queue_event(event, {{fields[4], fields[5]}, fields[6]});
    }
}

Event wait_event()
{
    Backend& b = backend();
    web::after_event_handled();
    for (;;) {
        take_page_events();
        if (!b.events.empty()) {
            QueuedEvent next = std::move(b.events.front());
            b.events.pop_front();
            b.pointer = next.pointer;
            return next.event;
        }
        // The editor is up and waits for the user: the page is ready.
        if (!b.ready && js_window_shown(static_cast<int>(WindowId::Main)) == 1) {
            b.ready = true;
            js_mark_ready();
        }
        js_wait_for_event();
    }
}

void stop_timer()
{
    js_stop_timer();
    std::erase_if(backend().events, [](const QueuedEvent& e) { return e.event.kind == EventKind::Timer; });
}

void start_timer(int milliseconds)
{
    stop_timer();
    if (!window_exists(WindowId::Main)) return;
    if (milliseconds <= 0) {
        queue_event({EventKind::Timer, 0, EventType::None, WindowId::Main, {}}, backend().pointer);
        return;
    }
    js_start_timer(milliseconds);
}

// ---------------------------------------------------------------- pointer, time

Point pointer_position() { return backend().pointer.at; }

Rect control_screen_rect(int id)
{
    if (!control_exists(id)) return {};
    int rect[4] = {};
    js_control_rect(id, rect);
    return {rect[0], rect[1], rect[2], rect[3]};
}

std::optional<Point> to_main_client(Point screen)
{
    int at[2] = {};
    if (!js_main_client_point(screen.x, screen.y, at)) return std::nullopt;
    return Point{at[0], at[1]};
}

bool left_button_down() { return (backend().pointer.buttons & 1) != 0; }
bool right_button_down() { return (backend().pointer.buttons & 2) != 0; }

std::uint64_t now_ms() { return static_cast<std::uint64_t>(emscripten_get_now()); }

// The page paints only when the program yields: let it draw one frame, at
// most every 30 ms, so a long piece of work shows its progress without
// waiting for a frame at each step.
void repaint_now(int)
{
    Backend& b = backend();
    const std::uint64_t now = now_ms();
    if (b.last_frame_ms && now - b.last_frame_ms < 30) return;
    js_next_frame();
    b.last_frame_ms = now_ms();
}

}  // namespace lumetra::platform
