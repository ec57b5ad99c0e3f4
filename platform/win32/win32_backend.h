// The Win32 backend's own record and the helpers its files share. Nothing
// outside platform/win32/ includes this header.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"

namespace lumetra::platform::win32 {

// Window classes, one window procedure each.
inline constexpr const wchar_t* kMainClass = L"LumetraMain";
inline constexpr const wchar_t* kStartupClass = L"LumetraStartup";
inline constexpr const wchar_t* kAboutClass = L"LumetraAbout";
inline constexpr const wchar_t* kTextClass = L"LumetraText";
inline constexpr const wchar_t* kPanelClass = L"LumetraPanel";

// Icons and pictures live in the resources under 1000 + their image number;
// the program icon is resource 1.
inline constexpr int kProgramIconResource = 1;
inline constexpr int kImageResourceBase = 1000;

// The up-down half of a spin carries the spin's number plus this, so that
// the buddy edit keeps the number itself.
inline constexpr int kUpDownIdOffset = 20000;
inline constexpr int kToolbarId = 30000;
inline constexpr UINT_PTR kTimerId = 1;

struct WindowRecord {
    HWND hwnd = nullptr;
    HBRUSH brush = nullptr;  // background, when one is given
    HWND tooltip = nullptr;  // tooltips of the window's controls
    int client_w = 0, client_h = 0;
};

struct ControlRecord {
    int id = 0;
    ControlKind kind = ControlKind::Text;
    WindowId window = WindowId::Main;
    HWND hwnd = nullptr;
    HWND updown = nullptr;  // spin only
    HWND parent = nullptr;
    std::optional<Rgb> text_colour;
    std::optional<Rgb> background;
    std::optional<Rgb> hover_colour;  // link: text colour while the pointer is over it
    Font font = Font::Default;        // as created; rich text is written in it
    bool hovered = false;
    HBRUSH brush = nullptr;  // background brush, when one is given
    int radio_group = 0;     // radio: number of the first button of its group
    // Image controls own one 24-bit DIB section that is repainted in place.
    HBITMAP bitmap = nullptr;
    void* bits = nullptr;
    int bitmap_w = 0, bitmap_h = 0;
    // A picture cell (an image on a container, its picture set later) has
    // no window of its own: its container paints it with all the others in
    // one pass, from these pixels (rows of B, G, R from the top, each row
    // padded to 4 bytes), and hands its clicks on.
    bool painted_by_container = false;
    RECT area{};  // in the container's client coordinates
    std::vector<std::uint8_t> pixels;
    bool cell_shown = true, cell_enabled = true;
    // Containers: their picture cells, and the cells that await painting
    // (a region, so that two far-apart cells do not repaint all between).
    std::vector<int> cells;
    HRGN stale = nullptr;
    bool report_changes = false;  // edit and spin: EN_CHANGE becomes a Changed event
    bool right_double = false;  // the release after a right double-click is no right click
    int rich_lines = 0;         // rich text: number of lines held
    std::wstring tooltip;
    std::wstring tooltip_title;
    HWND balloon = nullptr;  // a balloon tooltip of its own, when it has a title
};

struct MenuRecord {
    int command = 0;
    std::wstring text;
    int icon = -1;
    bool top_level = false;
};

struct Backend {
    HINSTANCE instance = nullptr;
    std::map<WindowId, WindowRecord> windows;
    std::unordered_map<int, ControlRecord> controls;
    std::unordered_map<HWND, int> control_of_hwnd;
    std::deque<Event> events;
    // The program's own set_text and set_value change edits too; those
    // changes are not the user's and send no Changed event.
    bool setting_text = false;

    HFONT fonts[6] = {};  // by Font
    HFONT menu_font = nullptr;
    HICON program_icon = nullptr, program_icon_small = nullptr;
    HCURSOR arrow = nullptr, hand = nullptr;  // shared system cursors, loaded once
    std::map<int, HICON> icons;  // stored 16 x 16 and 24 x 24 icons by image number
    int last_radio_group = 0;
    HWND last_radio_parent = nullptr;

    HMENU main_menu = nullptr;
    std::map<int, HMENU> popups;
    std::deque<MenuRecord> menu_records;  // deque: itemData points into it
    std::map<int, MenuRecord*> menu_record_of;
    std::map<int, HMENU> menu_of_command;

    HWND toolbar = nullptr;
    HIMAGELIST toolbar_images = nullptr;
    std::map<int, std::wstring> toolbar_tooltips;
    HACCEL accelerators = nullptr;
    HWND tracked_leave = nullptr;  // the window WM_MOUSELEAVE is asked of
    std::vector<int> stale_containers;  // containers with picture cells to paint again
    PointerShape pointer_shape = PointerShape::Arrow;  // over the About window
    // The one timer of start_timer, on the main window: a WM_TIMER that
    // comes while none is armed (stopped meanwhile) is no Timer event.
    bool timer_armed = false;
};

Backend& backend();

// UTF-8 at the platform boundary, UTF-16 for every Win32 call.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);

COLORREF colour_ref(Rgb colour);
ControlRecord* find_control(int id);
ControlRecord* find_control(HWND hwnd);
HWND window_handle(WindowId id);
std::optional<WindowId> window_of(HWND hwnd);  // the program window hwnd belongs to
void queue_event(Event event);

// Shared message handling of the window procedures.
void queue_control_notification(WindowId window, WPARAM wparam, LPARAM lparam);
LRESULT handle_notify(WindowId window, LPARAM lparam);
std::optional<LRESULT> colour_control(HDC dc, HWND control);
bool measure_menu_item(MEASUREITEMSTRUCT& item);
bool draw_menu_item(const DRAWITEMSTRUCT& item);

HICON stored_icon(int image);

// A function of a system DLL that the program needs only now and then (file
// dialogs, dropped files, links): the DLL is loaded at the first call rather
// than with the program, which under Wine makes every start slower. Null
// when the DLL or the function is missing.
template <typename Function>
Function system_function(const wchar_t* dll, const char* name)
{
    HMODULE module = GetModuleHandleW(dll);
    if (!module) module = LoadLibraryW(dll);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

HFONT font_of(Font font);

// Picture cells (win32_cells.cpp): a container paints its cells in one pass
// (WM_PAINT), and a new picture only marks its container stale; the marks
// become one invalidation per container before the program waits for
// events, repaints, or runs a modal loop (message box, dialog, popup
// menu). A cell is a record only: nearly two hundred are on screen at start,
// and under Wine every child window costs the start calls to the server and
// the X server.
// The container when spec is a picture cell (an image on a container, its
// picture set later); null for every other control.
ControlRecord* cell_container(const ControlSpec& spec);
void create_cell(const ControlSpec& spec, ControlRecord& container);
void paint_cells(ControlRecord& container, HDC dc, const RECT& update);
// The mouse message a cell container hears, as the click event of the cell
// under the pointer. False when no cell that takes clicks is there.
bool click_cell(ControlRecord& container, UINT message, LPARAM lparam);
void set_cell_pixels(ControlRecord& cell, const Bitmap& picture);
// After a stored image was drawn into the cell's own bitmap.
void take_cell_bitmap(ControlRecord& cell);
void mark_stale(ControlRecord& cell);
void flush_cell_updates();

// Rich text (win32_rich_text.cpp).
void prepare_rich_text(ControlRecord& record, const ControlSpec& spec);  // what follows creation
void set_rich_plain_text(const ControlRecord& record, const std::string& text);
std::string rich_plain_text(const ControlRecord& record);  // lines joined by CR LF

void register_window_classes();
void destroy_control(ControlRecord& record);

}  // namespace lumetra::platform::win32
