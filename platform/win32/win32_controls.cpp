// Controls: one real Win32 control per control number, the number being its
// ID, made from a table of the kinds; only picture cells have no window
// (win32_cells.cpp), and rich text has a file of its own (win32_rich_text.cpp).
#include "platform/win32/win32_backend.h"

#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

namespace lumetra::platform::win32 {

constexpr int kSpinArrowsWidth = 13;

static HWND parent_handle(const ControlSpec& spec)
{
    if (spec.parent == 0) return window_handle(spec.window);
    if (spec.parent == kToolbarParent) return backend().toolbar;
    ControlRecord* panel = find_control(spec.parent);
    return panel ? panel->hwnd : nullptr;
}

HFONT font_of(Font font) { return backend().fonts[static_cast<int>(font)]; }

// Image controls: the right button reports on release, and a right
// double-click is not followed by a right click. Nothing when the static's
// own procedure is to handle the message.
static std::optional<LRESULT> image_message(HWND hwnd, UINT message)
{
    ControlRecord* record = find_control(hwnd);
    if (record) {
        const std::optional<WindowId> window = window_of(hwnd);
        switch (message) {
        case WM_RBUTTONUP:
            if (record->right_double)
                record->right_double = false;
            else if (window)
                queue_event({EventKind::Control, record->id, EventType::RightClick, *window, {}});
            return 0;
        case WM_RBUTTONDBLCLK:
            record->right_double = true;
            if (window) queue_event({EventKind::Control, record->id, EventType::RightDoubleClick, *window, {}});
            return 0;
        case WM_MOUSEMOVE:
            // A link shows its hover colour until the pointer leaves it.
            if (record->hover_colour && !record->hovered) {
                record->hovered = true;
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
                TrackMouseEvent(&track);
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            break;
        case WM_MOUSELEAVE:
            if (record->hovered) {
                record->hovered = false;
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            break;
        case WM_SETCURSOR:
            if (record->kind == ControlKind::Link) {
                SetCursor(backend().hand);
                return TRUE;
            }
            break;
        default:
            break;
        }
    }
    return std::nullopt;
}

static LRESULT CALLBACK ImageSubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                          DWORD_PTR)
{
    if (std::optional<LRESULT> result = image_message(hwnd, message)) return *result;
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

// A 24-bit top-down DIB section per image control, repainted in place.
static bool ensure_dib(ControlRecord& record, int width, int height)
{
    if (record.bitmap && record.bitmap_w == width && record.bitmap_h == height) return true;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return false;
    HBITMAP old = reinterpret_cast<HBITMAP>(
        SendMessageW(record.hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (old && old != record.bitmap) DeleteObject(old);
    if (record.bitmap) DeleteObject(record.bitmap);
    record.bitmap = bitmap;
    record.bits = bits;
    record.bitmap_w = width;
    record.bitmap_h = height;
    return true;
}

static void copy_pixels(ControlRecord& record, const Bitmap& picture)
{
    const int stride = (picture.width * 3 + 3) & ~3;
    auto* rows = static_cast<std::uint8_t*>(record.bits);
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* out = rows + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < picture.width; ++x) {
            const Rgb colour = picture.at(x, y);
            *out++ = colour.b;
            *out++ = colour.g;
            *out++ = colour.r;
        }
    }
}

static void refresh_image(ControlRecord& record)
{
    if (!record.hwnd) return;  // a cell: set_image marks its container
    GdiFlush();
    InvalidateRect(record.hwnd, nullptr, FALSE);
}

// Stored images: icons are drawn onto the background of the panel they sit
// on; pictures (the About picture) are copied as they are.
static void show_stored_image(ControlRecord& record, int image)
{
    const Backend& b = backend();
    const wchar_t* name = MAKEINTRESOURCEW(kImageResourceBase + image);
    if (FindResourceW(b.instance, name, reinterpret_cast<LPCWSTR>(RT_BITMAP))) {
        HBITMAP picture = static_cast<HBITMAP>(LoadImageW(b.instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!picture) return;
        BITMAP info{};
        GetObjectW(picture, sizeof info, &info);
        if (ensure_dib(record, info.bmWidth, info.bmHeight)) {
            HDC source = CreateCompatibleDC(nullptr);
            HDC target = CreateCompatibleDC(nullptr);
            HGDIOBJ old_source = SelectObject(source, picture);
            HGDIOBJ old_target = SelectObject(target, record.bitmap);
            BitBlt(target, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
            SelectObject(source, old_source);
            SelectObject(target, old_target);
            DeleteDC(source);
            DeleteDC(target);
        }
        DeleteObject(picture);
        refresh_image(record);
        return;
    }
    HICON icon = stored_icon(image);
    if (!icon) return;
    ICONINFO parts{};
    GetIconInfo(icon, &parts);
    BITMAP mask{};
    GetObjectW(parts.hbmMask, sizeof mask, &mask);
    const int width = mask.bmWidth;
    const int height = parts.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
    if (parts.hbmColor) DeleteObject(parts.hbmColor);
    if (parts.hbmMask) DeleteObject(parts.hbmMask);
    if (!ensure_dib(record, width, height)) return;
    // The panel's own brush, or the system's: nothing to create per icon.
    HBRUSH background = GetSysColorBrush(COLOR_BTNFACE);
    if (ControlRecord* panel = find_control(record.parent); panel && panel->brush) background = panel->brush;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, record.bitmap);
    RECT area{0, 0, width, height};
    FillRect(dc, &area, background);
    DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    refresh_image(record);
}

static HWND tooltip_of(WindowId window)
{
    WindowRecord& record = backend().windows[window];
    if (!record.tooltip && record.hwnd) {
        record.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, record.hwnd,
                                         nullptr, backend().instance, nullptr);
    }
    return record.tooltip;
}

static void attach_tooltip(ControlRecord& record)
{
    HWND tooltip = tooltip_of(record.window);
    if (!record.tooltip_title.empty()) {
        // A balloon with a title: a tooltip window of its own.
        record.balloon = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                         WS_POPUP | TTS_ALWAYSTIP | TTS_BALLOON | TTS_NOPREFIX, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_handle(record.window),
                                         nullptr, backend().instance, nullptr);
        tooltip = record.balloon;
        if (tooltip) {
            SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 300);
            SendMessageW(tooltip, TTM_SETTITLEW, TTI_INFO, reinterpret_cast<LPARAM>(record.tooltip_title.c_str()));
        }
    }
    if (!tooltip) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(record.hwnd);
    tool.uId = reinterpret_cast<UINT_PTR>(record.hwnd);
    tool.lpszText = record.tooltip.data();
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

static void fill_tabs(HWND tabs, const std::vector<std::string>& items)
{
    SendMessageW(tabs, TCM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::wstring text = widen(items[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

static void fill_combo(HWND combo, const std::vector<std::string>& items)
{
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
}

// ---------------------------------------------------------------- creation

// Styles the layout's flags choose, beyond a kind's base style. Shown and
// enabled as the flags say: the arrows of a spin too.
static DWORD state_style(const ControlSpec& spec)
{
    DWORD style = 0;
    if (!(spec.style & kHidden)) style |= WS_VISIBLE;
    if (spec.style & kDisabled) style |= WS_DISABLED;
    return style;
}

static DWORD text_style(const ControlSpec& spec)
{
    // A one-line label that is too long is cut at the edge rather than
    // wrapped onto a second line nobody can see.
    if (spec.style & kCentred) return SS_CENTER;
    if (spec.text.find('\n') == std::string::npos && spec.rect.h < 28) return SS_LEFTNOWORDWRAP;
    return SS_LEFT;
}

static DWORD edit_style(const ControlSpec& spec)
{
    DWORD style = 0;
    if (spec.style & kReadOnly) style |= ES_READONLY;
    if (spec.style & kCentred) style |= ES_CENTER;
    if (spec.style & kDigitsOnly) style |= ES_NUMBER;
    return style;
}

static DWORD read_only_style(const ControlSpec& spec) { return (spec.style & kReadOnly) ? ES_READONLY : 0; }

static DWORD button_style(const ControlSpec& spec)
{
    return (spec.style & kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

static DWORD radio_style(const ControlSpec& spec) { return (spec.style & kGroup) ? WS_GROUP | WS_TABSTOP : 0; }

static DWORD progress_style(const ControlSpec& spec) { return (spec.style & kSmooth) ? PBS_SMOOTH : 0; }

// The number field of a spin takes the box less a narrow arrow pair, so
// that two digits fit in 30 pixels.
static int spin_field_width(const ControlSpec& spec) { return std::max(spec.rect.w - kSpinArrowsWidth, 8); }

// What follows creation.

static void after_edit(ControlRecord& record, const ControlSpec& spec)
{
    if (spec.text_limit > 0) SendMessageW(record.hwnd, EM_LIMITTEXT, static_cast<WPARAM>(spec.text_limit), 0);
}

static void after_radio(ControlRecord& record, const ControlSpec& spec)
{
    Backend& b = backend();
    if ((spec.style & kGroup) || b.last_radio_parent != record.parent) b.last_radio_group = spec.id;
    b.last_radio_parent = record.parent;
    record.radio_group = b.last_radio_group;
    if (spec.style & kChecked) set_checked(spec.id, true);
}

static void after_check(ControlRecord& record, const ControlSpec& spec)
{
    if (spec.style & kChecked) SendMessageW(record.hwnd, BM_SETCHECK, BST_CHECKED, 0);
}

static void after_combo(ControlRecord& record, const ControlSpec& spec)
{
    fill_combo(record.hwnd, spec.items);
    // The font decides the height of the closed field; the list drops
    // list_height pixels below it.
    RECT closed{};
    GetWindowRect(record.hwnd, &closed);
    SetWindowPos(record.hwnd, nullptr, 0, 0, spec.rect.w, (closed.bottom - closed.top) + spec.list_height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static void after_tabs(ControlRecord& record, const ControlSpec& spec)
{
    // Padding before the items, so that all ten buffer tabs fit in one row.
    SendMessageW(record.hwnd, TCM_SETPADDING, 0, MAKELPARAM(1, 3));
    fill_tabs(record.hwnd, spec.items);
}

// The arrows are a window of their own beside the number field, shown and
// enabled with it.
static void after_spin(ControlRecord& record, const ControlSpec& spec)
{
    Backend& b = backend();
    const int width = spin_field_width(spec);
    HWND updown = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                                  state_style(spec) | WS_CHILD | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                  spec.rect.x + width, spec.rect.y, spec.rect.w - width, spec.rect.h, record.parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id + kUpDownIdOffset)),
                                  b.instance, nullptr);
    record.updown = updown;
    if (!updown) return;
    b.control_of_hwnd[updown] = spec.id;
    SendMessageW(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(record.hwnd), 0);
    SendMessageW(updown, UDM_SETRANGE32, static_cast<WPARAM>(spec.min), spec.max);
    SendMessageW(updown, UDM_SETPOS32, 0, spec.value);
}

static void after_progress(ControlRecord& record, const ControlSpec& spec)
{
    SendMessageW(record.hwnd, PBM_SETRANGE32, static_cast<WPARAM>(spec.min), spec.max);
    SendMessageW(record.hwnd, PBM_SETPOS, static_cast<WPARAM>(spec.value), 0);
}

static void after_image(ControlRecord& record, const ControlSpec& spec)
{
    SetWindowSubclass(record.hwnd, ImageSubclassProc, 1, 0);
    if (spec.kind == ControlKind::Image && spec.image >= 0) show_stored_image(record, spec.image);
}

// How each kind of control is made: its window class and base style, the
// styles its flags choose, and what follows creation.
enum class Sunken { Never, WithoutBorder };  // the client edge of edits that have no line frame
enum class Caption { Given, None };          // whether the window text is the layout's text

struct ControlClass {
    ControlKind kind;
    const wchar_t* window_class;
    DWORD style;  // besides WS_CHILD, and the visibility, enabling and border the flags give
    DWORD (*chosen_style)(const ControlSpec&);
    void (*after)(ControlRecord&, const ControlSpec&);
    Sunken sunken = Sunken::Never;
    Caption caption = Caption::Given;
    Font default_font = Font::Default;  // the font of a control that asks for none
};

// No WS_CLIPCHILDREN on containers: group boxes do not paint their inside
// and rely on the panel's own background there.
constexpr ControlClass kControlClasses[] = {
    {ControlKind::Container, kPanelClass, WS_CLIPSIBLINGS, nullptr, nullptr},
    {ControlKind::Text, L"STATIC", 0, text_style, nullptr},
    {ControlKind::Edit, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, edit_style, after_edit, Sunken::WithoutBorder},
    {ControlKind::RichText, RICHEDIT_CLASSW,
     ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | ES_NOHIDESEL | WS_TABSTOP,
     read_only_style, prepare_rich_text, Sunken::WithoutBorder},
    {ControlKind::Button, L"BUTTON", WS_TABSTOP, button_style, nullptr},
    {ControlKind::Radio, L"BUTTON", BS_AUTORADIOBUTTON, radio_style, after_radio},
    {ControlKind::Check, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, nullptr, after_check},
    {ControlKind::Frame, L"BUTTON", BS_GROUPBOX | WS_GROUP, nullptr, nullptr},
    {ControlKind::Combo, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, nullptr, after_combo,
     Sunken::Never, Caption::None},
    {ControlKind::Tabs, WC_TABCONTROLW, WS_CLIPSIBLINGS | WS_TABSTOP, nullptr, after_tabs, Sunken::Never,
     Caption::Given, Font::Message},
    {ControlKind::Spin, L"EDIT", ES_NUMBER | ES_RIGHT | WS_BORDER, read_only_style, after_spin},
    {ControlKind::Progress, PROGRESS_CLASSW, 0, progress_style, after_progress},
    {ControlKind::Image, L"STATIC", SS_BITMAP | SS_NOTIFY, nullptr, after_image, Sunken::Never, Caption::None},
    {ControlKind::Link, L"STATIC", SS_NOTIFY | SS_LEFT, nullptr, after_image, Sunken::Never, Caption::Given,
     Font::Underlined},
};

static const ControlClass* control_class(ControlKind kind)
{
    for (const ControlClass& row : kControlClasses)
        if (row.kind == kind) return &row;
    return nullptr;
}

// The window's size: a combo's includes the list it drops down.
static SIZE window_size(const ControlSpec& spec)
{
    if (spec.kind == ControlKind::Combo) return {spec.rect.w, spec.rect.h + spec.list_height};
    if (spec.kind == ControlKind::Spin) return {spin_field_width(spec), spec.rect.h};
    return {spec.rect.w, spec.rect.h};
}

}  // namespace lumetra::platform::win32

namespace lumetra::platform {
using namespace win32;

bool create_control(const ControlSpec& spec)
{
    Backend& b = backend();
    HWND parent = parent_handle(spec);
    const ControlClass* kind = control_class(spec.kind);
    if (!parent || !kind || b.controls.count(spec.id)) return false;
    if (ControlRecord* container = cell_container(spec)) {
        create_cell(spec, *container);
        return true;
    }

    DWORD style = WS_CHILD | kind->style | state_style(spec);
    if (spec.style & kBorder) style |= WS_BORDER;
    if (kind->chosen_style) style |= kind->chosen_style(spec);
    const DWORD ex_style = kind->sunken == Sunken::WithoutBorder && !(spec.style & kBorder) ? WS_EX_CLIENTEDGE : 0;
    const SIZE size = window_size(spec);
    const std::wstring text = kind->caption == Caption::Given ? widen(spec.text) : std::wstring();
    HWND hwnd = CreateWindowExW(ex_style, kind->window_class, text.c_str(), style, spec.rect.x, spec.rect.y, size.cx,
                                size.cy, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), b.instance,
                                nullptr);
    if (!hwnd) return false;

    ControlRecord& record = b.controls[spec.id];
    record.id = spec.id;
    record.kind = spec.kind;
    record.window = spec.window;
    record.hwnd = hwnd;
    record.parent = parent;
    record.text_colour = spec.text_colour;
    record.background = spec.background;
    record.hover_colour = spec.hover_colour;
    record.font = spec.font;
    record.tooltip_title = widen(spec.tooltip_title);
    if (spec.background) record.brush = CreateSolidBrush(colour_ref(*spec.background));
    b.control_of_hwnd[hwnd] = spec.id;

    // Rich text is written in its font instead (see prepare_rich_text).
    const Font font = spec.font == Font::Default ? kind->default_font : spec.font;
    if (spec.kind != ControlKind::RichText)
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_of(font)), FALSE);
    if (kind->after) kind->after(record, spec);
    // Only after the field got its first text: that is no change of the user's.
    record.report_changes = (spec.style & kReportChanges) != 0;
    if (!spec.tooltip.empty()) {
        record.tooltip = widen(spec.tooltip);
        attach_tooltip(record);
    }
    return true;
}

bool control_exists(int id) { return find_control(id) != nullptr; }

// ---------------------------------------------------------------- state

void set_text(int id, const std::string& text)
{
    ControlRecord* record = find_control(id);
    if (!record) return;
    if (record->kind == ControlKind::RichText) {
        set_rich_plain_text(*record, text);
        return;
    }
    backend().setting_text = true;
    SetWindowTextW(record->hwnd, widen(text).c_str());
    backend().setting_text = false;
}

std::string text(int id)
{
    ControlRecord* record = find_control(id);
    if (!record) return {};
    if (record->kind == ControlKind::RichText) return rich_plain_text(*record);
    if (record->kind == ControlKind::Combo) {
        // The selected item, asked of the list itself rather than of the window text.
        const auto index = SendMessageW(record->hwnd, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) return {};
        const auto length = SendMessageW(record->hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length == CB_ERR) return {};
        std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
        const auto got = SendMessageW(record->hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(item.data()));
        item.resize(got == CB_ERR ? 0 : static_cast<std::size_t>(got));
        return narrow(item);
    }
    // A spin's number field is the control's own window: its text as shown.
    std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(record->hwnd)) + 1, L'\0');
    wide.resize(static_cast<std::size_t>(GetWindowTextW(record->hwnd, wide.data(), static_cast<int>(wide.size()))));
    return narrow(wide);
}

void enable(int id, bool enabled)
{
    ControlRecord* record = find_control(id);
    if (!record) return;
    if (record->painted_by_container) {
        record->cell_enabled = enabled;
        return;
    }
    EnableWindow(record->hwnd, enabled);
    if (record->updown) EnableWindow(record->updown, enabled);
}

bool is_enabled(int id)
{
    ControlRecord* record = find_control(id);
    if (record && record->painted_by_container) return record->cell_enabled;
    return record && IsWindowEnabled(record->hwnd);
}

void show(int id, bool visible)
{
    ControlRecord* record = find_control(id);
    if (!record) return;
    if (record->painted_by_container) {
        if (record->cell_shown != visible) mark_stale(*record);
        record->cell_shown = visible;
        return;
    }
    ShowWindow(record->hwnd, visible ? SW_SHOWNA : SW_HIDE);
    if (record->updown) ShowWindow(record->updown, visible ? SW_SHOWNA : SW_HIDE);
}

bool is_visible(int id)
{
    ControlRecord* record = find_control(id);
    if (record && record->painted_by_container) return record->cell_shown;
    return record && (GetWindowLongW(record->hwnd, GWL_STYLE) & WS_VISIBLE);
}

void set_checked(int id, bool checked)
{
    ControlRecord* record = find_control(id);
    if (!record) return;
    if (record->kind == ControlKind::Radio && checked) {
        // Windows leaves the siblings alone on BM_SETCHECK; Wine does not.
        for (auto& [other_id, other] : backend().controls)
            if (other.kind == ControlKind::Radio && other.parent == record->parent &&
                other.radio_group == record->radio_group && other_id != id)
                SendMessageW(other.hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageW(record->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool is_checked(int id)
{
    ControlRecord* record = find_control(id);
    return record && SendMessageW(record->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void set_items(int id, const std::vector<std::string>& items)
{
    ControlRecord* record = find_control(id);
    if (!record) return;
    if (record->kind == ControlKind::Tabs)
        fill_tabs(record->hwnd, items);
    else if (record->kind == ControlKind::Combo)
        fill_combo(record->hwnd, items);
}

void set_selection(int id, int index)
{
    ControlRecord* record = find_control(id);
    if (!record) return;
    if (record->kind == ControlKind::Tabs)
        SendMessageW(record->hwnd, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    else if (record->kind == ControlKind::Combo)
        SendMessageW(record->hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int selection(int id)
{
    ControlRecord* record = find_control(id);
    if (!record) return -1;
    if (record->kind == ControlKind::Tabs) return static_cast<int>(SendMessageW(record->hwnd, TCM_GETCURSEL, 0, 0));
    if (record->kind == ControlKind::Combo) return static_cast<int>(SendMessageW(record->hwnd, CB_GETCURSEL, 0, 0));
    return -1;
}

void set_value(int id, int value)
{
    ControlRecord* record = find_control(id);
    if (!record) return;
    if (record->kind == ControlKind::Spin && record->updown) {
        backend().setting_text = true;
        SendMessageW(record->updown, UDM_SETPOS32, 0, value);
        backend().setting_text = false;
    } else if (record->kind == ControlKind::Progress)
        SendMessageW(record->hwnd, PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

int value(int id)
{
    ControlRecord* record = find_control(id);
    if (!record) return 0;
    if (record->kind == ControlKind::Spin && record->updown) {
        // Reads the field again; with text that is no number in the range the
        // error flag is set and the last good position comes back.
        BOOL error = FALSE;
        return static_cast<int>(SendMessageW(record->updown, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)));
    }
    if (record->kind == ControlKind::Progress) return static_cast<int>(SendMessageW(record->hwnd, PBM_GETPOS, 0, 0));
    return 0;
}

void set_focus(int id)
{
    if (ControlRecord* record = find_control(id)) SetFocus(record->hwnd);
}

int focused_control()
{
    ControlRecord* record = find_control(GetFocus());
    return record ? record->id : 0;
}

void select_all(int id)
{
    ControlRecord* record = find_control(id);
    if (record && (record->kind == ControlKind::Edit || record->kind == ControlKind::RichText))
        SendMessageW(record->hwnd, EM_SETSEL, 0, -1);
}

void set_bitmap(int id, const Bitmap& bitmap)
{
    ControlRecord* record = find_control(id);
    if (!record || record->kind != ControlKind::Image || bitmap.width <= 0 || bitmap.height <= 0) return;
    if (record->painted_by_container) {
        set_cell_pixels(*record, bitmap);
        return;
    }
    if (!ensure_dib(*record, bitmap.width, bitmap.height)) return;
    copy_pixels(*record, bitmap);
    refresh_image(*record);
}

void set_image(int id, int image)
{
    ControlRecord* record = find_control(id);
    if (!record || record->kind != ControlKind::Image) return;
    show_stored_image(*record, image);
    if (record->painted_by_container) take_cell_bitmap(*record);
}

void repaint_now(int id)
{
    HWND hwnd = nullptr;
    HWND arrows = nullptr;
    if (id == 0) {
        hwnd = window_handle(WindowId::Main);
    } else if (ControlRecord* record = find_control(id)) {
        hwnd = record->hwnd;
        arrows = record->updown;
        if (record->painted_by_container) {
            // Its container paints it, at once.
            flush_cell_updates();
            RedrawWindow(record->parent, &record->area, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
            return;
        }
        if (!record->cells.empty()) {
            // A container shows nothing but its cells: the changed ones are
            // marked, and only they are painted, in one pass.
            flush_cell_updates();
            RedrawWindow(record->hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            return;
        }
    }
    if (!hwnd) return;
    flush_cell_updates();
    // Pictures written into the image controls' DIB sections reach them
    // only after the GDI batch is flushed.
    GdiFlush();
    const UINT how = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN;
    RedrawWindow(hwnd, nullptr, nullptr, how);
    if (arrows) RedrawWindow(arrows, nullptr, nullptr, how);
}

}  // namespace lumetra::platform
