// Windows, their window procedures and the message loop that turns Win32
// messages into the program's events.
#include "platform/win32/win32_backend.h"

#include <shellapi.h>

#include <algorithm>

namespace lumetra::platform::win32 {

Backend& backend()
{
    static Backend state;
    return state;
}

std::wstring widen(const std::string& text)
{
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string narrow(const std::wstring& text)
{
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

COLORREF colour_ref(Rgb colour) { return RGB(colour.r, colour.g, colour.b); }

ControlRecord* find_control(int id)
{
    auto found = backend().controls.find(id);
    return found == backend().controls.end() ? nullptr : &found->second;
}

ControlRecord* find_control(HWND hwnd)
{
    auto found = backend().control_of_hwnd.find(hwnd);
    return found == backend().control_of_hwnd.end() ? nullptr : find_control(found->second);
}

HWND window_handle(WindowId id)
{
    auto found = backend().windows.find(id);
    return found == backend().windows.end() ? nullptr : found->second.hwnd;
}

std::optional<WindowId> window_of(HWND hwnd)
{
    if (!hwnd) return std::nullopt;
    HWND root = GetAncestor(hwnd, GA_ROOT);
    for (const auto& [id, record] : backend().windows)
        if (record.hwnd && record.hwnd == root) return id;
    return std::nullopt;
}

void queue_event(Event event)
{
    // Pointer movement only needs to wake the loop once per batch.
    if (event.kind == EventKind::PointerMoved && !backend().events.empty() &&
        backend().events.back().kind == EventKind::PointerMoved && backend().events.back().window == event.window)
        return;
    backend().events.push_back(std::move(event));
}

// ---------------------------------------------------------------- notifications

void queue_control_notification(WindowId window, WPARAM wparam, LPARAM lparam)
{
    const int id = LOWORD(wparam);
    const int code = HIWORD(wparam);
    HWND from = reinterpret_cast<HWND>(lparam);
    if (!from) {  // a menu item (code 0) or an accelerator (code 1)
        queue_event({EventKind::Command, id, EventType::None, window, {}});
        return;
    }
    if (from == backend().toolbar) {
        queue_event({EventKind::Command, id, EventType::None, window, {}});
        return;
    }
    ControlRecord* record = find_control(from);
    if (!record) return;
    EventType type = EventType::None;
    switch (record->kind) {
    case ControlKind::Image:
    case ControlKind::Link:
        if (code == STN_CLICKED) type = EventType::Click;
        else if (code == STN_DBLCLK) type = record->kind == ControlKind::Image ? EventType::DoubleClick : EventType::None;
        break;
    case ControlKind::Button:
    case ControlKind::Check:
    case ControlKind::Radio:
        if (code == BN_CLICKED) type = EventType::Click;
        break;
    case ControlKind::Edit:
    case ControlKind::Spin:
        if (code == EN_SETFOCUS && record->kind == ControlKind::Edit) type = EventType::GainFocus;
        else if (code == EN_CHANGE && record->report_changes && !backend().setting_text) type = EventType::Changed;
        break;
    case ControlKind::Combo:
        if (code == CBN_SELCHANGE) type = EventType::SelectionChanged;
        break;
    default:
        break;
    }
    if (type != EventType::None) queue_event({EventKind::Control, record->id, type, window, {}});
}

LRESULT handle_notify(WindowId window, LPARAM lparam)
{
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    Backend& b = backend();
    switch (header->code) {
    case TCN_SELCHANGE:
        if (ControlRecord* record = find_control(header->hwndFrom))
            queue_event({EventKind::Control, record->id, EventType::SelectionChanged, window, {}});
        return 0;
    case TTN_GETDISPINFOW: {
        // Toolbar buttons ask for their tip when the pointer rests on them;
        // the text can change at run time (the mode button).
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lparam);
        auto found = b.toolbar_tooltips.find(static_cast<int>(header->idFrom));
        if (found != b.toolbar_tooltips.end() && !(info->uFlags & TTF_IDISHWND)) {
            info->lpszText = const_cast<wchar_t*>(found->second.c_str());
            info->hinst = nullptr;
        }
        return 0;
    }
    case TBN_GETINFOTIPW: {
        auto* tip = reinterpret_cast<NMTBGETINFOTIPW*>(lparam);
        auto found = b.toolbar_tooltips.find(tip->iItem);
        if (found != b.toolbar_tooltips.end() && tip->pszText && tip->cchTextMax > 0)
            lstrcpynW(tip->pszText, found->second.c_str(), tip->cchTextMax);
        return 0;
    }
    default:
        return 0;
    }
}

// Colours of statics, edits and buttons are answered by whichever window
// procedure receives WM_CTLCOLOR* (the panels forward it to their window).
std::optional<LRESULT> colour_control(HDC dc, HWND control)
{
    ControlRecord* record = find_control(control);
    if (!record) return std::nullopt;
    std::optional<Rgb> background = record->background;
    HBRUSH brush = record->brush;
    if (!background) {
        // A control without its own background takes its panel's.
        if (ControlRecord* panel = find_control(record->parent); panel && panel->background) {
            background = panel->background;
            brush = panel->brush;
        }
    }
    if (!record->text_colour && !background) return std::nullopt;
    if (record->hovered && record->hover_colour)
        SetTextColor(dc, colour_ref(*record->hover_colour));
    else if (record->text_colour)
        SetTextColor(dc, colour_ref(*record->text_colour));
    if (background) {
        SetBkColor(dc, colour_ref(*background));
        return reinterpret_cast<LRESULT>(brush);
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// ---------------------------------------------------------------- window procedures

// The background brush of a program window; looking it up never adds a
// record, even for a message that comes while the window is being made.
static HBRUSH window_brush(WindowId id)
{
    auto found = backend().windows.find(id);
    return found == backend().windows.end() ? nullptr : found->second.brush;
}

static bool fill_background(HWND hwnd, HDC dc, HBRUSH brush)
{
    if (!brush) return false;
    RECT area;
    GetClientRect(hwnd, &area);
    FillRect(dc, &area, brush);
    return true;
}

static LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_COMMAND:
        queue_control_notification(WindowId::Main, wparam, lparam);
        return 0;
    case WM_NOTIFY:
        return handle_notify(WindowId::Main, lparam);
    case WM_MEASUREITEM:
        if (wparam == 0 && measure_menu_item(*reinterpret_cast<MEASUREITEMSTRUCT*>(lparam))) return TRUE;
        break;
    case WM_DRAWITEM:
        if (wparam == 0 && draw_menu_item(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam))) return TRUE;
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (auto brush = colour_control(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam))) return *brush;
        break;
    case WM_DROPFILES: {
        HDROP drop = reinterpret_cast<HDROP>(wparam);
        using Query = UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT);
        using Finish = void(WINAPI*)(HDROP);
        const auto query_file = system_function<Query>(L"shell32.dll", "DragQueryFileW");
        const auto finish_drop = system_function<Finish>(L"shell32.dll", "DragFinish");
        if (!query_file || !finish_drop) return 0;
        Event event{EventKind::FilesDropped, 0, EventType::None, WindowId::Main, {}};
        const UINT count = query_file(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = query_file(drop, i, nullptr, 0);
            std::wstring name(length + 1, L'\0');
            query_file(drop, i, name.data(), length + 1);
            name.resize(length);
            event.files.emplace_back(name);
        }
        finish_drop(drop);
        queue_event(std::move(event));
        return 0;
    }
    case WM_TIMER:
        if (wparam != kTimerId) break;
        // Once: the shell starts the timer again for the next time it needs.
        KillTimer(hwnd, kTimerId);
        if (backend().timer_armed) {
            backend().timer_armed = false;
            queue_event({EventKind::Timer, 0, EventType::None, WindowId::Main, {}});
        }
        return 0;
    case WM_CLOSE:
        // The shell decides: the closing prompt may keep the program running.
        queue_event({EventKind::Close, 0, EventType::None, WindowId::Main, {}});
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

static LRESULT CALLBACK StartupWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_ERASEBKGND:
        if (fill_background(hwnd, reinterpret_cast<HDC>(wparam), window_brush(WindowId::Startup)))
            return 1;
        break;
    case WM_CTLCOLORSTATIC:
        if (auto brush = colour_control(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam))) return *brush;
        break;
    case WM_CLOSE:
        return 0;  // goes away by itself when the main window is up
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

// The default button of a window: what Enter presses.
static const ControlRecord* default_button(WindowId window)
{
    for (const auto& [id, record] : backend().controls)
        if (record.window == window && record.kind == ControlKind::Button &&
            (GetWindowLongPtrW(record.hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return &record;
    return nullptr;
}

// The text dialog: its controls' notifications and its close box. The dialog
// keys (see take_message) come as IDOK and IDCANCEL without a control: Enter
// presses the default button, Escape is the close box.
static LRESULT CALLBACK TextWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_COMMAND:
        if (lparam == 0 && LOWORD(wparam) == IDCANCEL) {
            queue_event({EventKind::Close, 0, EventType::None, WindowId::Text, {}});
        } else if (lparam == 0 && LOWORD(wparam) == IDOK) {
            if (const ControlRecord* button = default_button(WindowId::Text))
                queue_event({EventKind::Control, button->id, EventType::Click, WindowId::Text, {}});
        } else {
            queue_control_notification(WindowId::Text, wparam, lparam);
        }
        return 0;
    case WM_NOTIFY:
        return handle_notify(WindowId::Text, lparam);
    case WM_CLOSE:
        queue_event({EventKind::Close, 0, EventType::None, WindowId::Text, {}});
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

static LRESULT CALLBACK AboutWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_COMMAND:
        queue_control_notification(WindowId::About, wparam, lparam);
        return 0;
    case WM_NOTIFY:
        return handle_notify(WindowId::About, lparam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (auto brush = colour_control(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam))) return *brush;
        break;
    case WM_ERASEBKGND:
        if (fill_background(hwnd, reinterpret_cast<HDC>(wparam), window_brush(WindowId::About)))
            return 1;
        break;
    case WM_CLOSE:
        queue_event({EventKind::Close, 0, EventType::None, WindowId::About, {}});
        return 0;
    case WM_SETCURSOR:
        // The shell chooses the pointer over the window and its picture;
        // links keep their own hand.
        if (LOWORD(lparam) == HTCLIENT) {
            ControlRecord* over = find_control(reinterpret_cast<HWND>(wparam));
            if (!over || over->kind != ControlKind::Link) {
                SetCursor(backend().pointer_shape == PointerShape::Hand ? backend().hand : backend().arrow);
                return TRUE;
            }
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

// Panels: notifications of their controls are sent to the direct parent, so a
// panel hands them to its top-level window.
static LRESULT CALLBACK PanelWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
        return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wparam, lparam);
    case WM_ERASEBKGND:
        if (ControlRecord* record = find_control(hwnd); record && record->brush)
            if (fill_background(hwnd, reinterpret_cast<HDC>(wparam), record->brush)) return 1;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        if (ControlRecord* record = find_control(hwnd); record && !record->cells.empty() &&
                                                          click_cell(*record, message, lparam))
            return 0;
        break;
    case WM_PAINT:
        // The picture cells on the panel, all in one pass: under Wine every
        // window painted on its own costs far more than its pixels.
        if (ControlRecord* record = find_control(hwnd); record && !record->cells.empty()) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            paint_cells(*record, dc, paint.rcPaint);
            EndPaint(hwnd, &paint);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

static int CALLBACK note_family(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

static bool has_family(HDC dc, const wchar_t* family)
{
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, family, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, note_family, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// The layout was drawn for the narrow 8 pt dialog faces of Windows. Where
// none of them exists (Wine with only the DejaVu fonts) the condensed DejaVu
// face keeps texts such as "Группировка по кристаллам" inside their boxes.
static bool only_dejavu_faces()
{
    HDC screen = GetDC(nullptr);
    const bool windows_faces = has_family(screen, L"Tahoma") || has_family(screen, L"Microsoft Sans Serif") ||
                               has_family(screen, L"Segoe UI");
    const bool condensed = !windows_faces && has_family(screen, L"DejaVu Sans Condensed");
    ReleaseDC(nullptr, screen);
    return condensed;
}

static HFONT default_control_font(int height, bool condensed)
{
    if (!condensed) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"DejaVu Sans Condensed");
}

void register_window_classes()
{
    Backend& b = backend();
    if (b.instance) return;
    b.instance = GetModuleHandleW(nullptr);

    INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX),
                                ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                    ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&common);
    LoadLibraryW(L"riched20.dll");

    b.program_icon = static_cast<HICON>(
        LoadImageW(b.instance, MAKEINTRESOURCEW(kProgramIconResource), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    b.program_icon_small = static_cast<HICON>(
        LoadImageW(b.instance, MAKEINTRESOURCEW(kProgramIconResource), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    b.arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    b.hand = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));

    struct ClassRow {
        const wchar_t* name;
        WNDPROC procedure;
        UINT style;
    };
    const ClassRow rows[] = {
        {kMainClass, MainWindowProc, 0},
        {kStartupClass, StartupWindowProc, 0},
        {kAboutClass, AboutWindowProc, 0},
        {kTextClass, TextWindowProc, 0},
        {kPanelClass, PanelWindowProc, CS_DBLCLKS},  // its picture cells report double-clicks
    };
    for (const ClassRow& row : rows) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = row.style;
        wc.lpfnWndProc = row.procedure;
        wc.hInstance = b.instance;
        wc.hIcon = b.program_icon;
        wc.hIconSm = b.program_icon_small;
        wc.hCursor = b.arrow;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = row.name;
        RegisterClassExW(&wc);
    }

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    auto points = [dpi](int pt) { return -MulDiv(pt, dpi, 72); };

    const bool condensed = only_dejavu_faces();
    if (condensed) lstrcpynW(metrics.lfMessageFont.lfFaceName, L"DejaVu Sans Condensed", LF_FACESIZE);
    b.fonts[static_cast<int>(Font::Default)] = default_control_font(points(8), condensed);
    b.fonts[static_cast<int>(Font::Message)] = CreateFontIndirectW(&metrics.lfMessageFont);
    b.menu_font = CreateFontIndirectW(&metrics.lfMenuFont);
    b.fonts[static_cast<int>(Font::StartupBold)] =
        CreateFontW(points(12), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                    condensed ? L"DejaVu Sans Condensed" : L"MS Sans Serif");
    // Without the fixed-pitch request a missing Lucida Console falls back to
    // a proportional face.
    b.fonts[static_cast<int>(Font::Code)] =
        CreateFontW(points(10), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Lucida Console");
    LOGFONTW underlined = metrics.lfMessageFont;
    underlined.lfUnderline = TRUE;
    b.fonts[static_cast<int>(Font::Underlined)] = CreateFontIndirectW(&underlined);
    LOGFONTW title = metrics.lfMessageFont;
    title.lfWeight = FW_BOLD;
    title.lfHeight = points(10);
    b.fonts[static_cast<int>(Font::Title)] = CreateFontIndirectW(&title);
}

void destroy_control(ControlRecord& record)
{
    if (record.balloon) DestroyWindow(record.balloon);
    record.balloon = nullptr;
    if (record.bitmap) DeleteObject(record.bitmap);
    if (record.brush) DeleteObject(record.brush);
    if (record.stale) DeleteObject(record.stale);
    record.stale = nullptr;
    record.bitmap = nullptr;
    record.brush = nullptr;
}

}  // namespace lumetra::platform::win32

namespace lumetra::platform {
using namespace win32;

// ---------------------------------------------------------------- windows

bool create_window(const WindowSpec& spec)
{
    register_window_classes();
    Backend& b = backend();
    if (window_handle(spec.id)) return true;

    const wchar_t* window_class = kMainClass;
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    DWORD ex_style = 0;
    bool with_menu = false;
    HWND owner = nullptr;
    switch (spec.id) {
    case WindowId::Main:
        with_menu = true;  // the main menu is attached later; its bar is counted now
        break;
    case WindowId::Startup:
        window_class = kStartupClass;
        break;
    case WindowId::About:
        window_class = kAboutClass;
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
        owner = window_handle(WindowId::Main);
        break;
    case WindowId::Text:
        window_class = kTextClass;
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
        owner = window_handle(WindowId::Main);
        break;
    }
    if (spec.popup) style = WS_POPUP | WS_CLIPCHILDREN;
    if (spec.topmost) ex_style |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;

    RECT frame{0, 0, spec.client_w, spec.client_h};
    AdjustWindowRectEx(&frame, style, with_menu, ex_style);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    int x = spec.position.x, y = spec.position.y;
    if (spec.centred) {
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (owner) GetWindowRect(owner, &area);
        x = area.left + (area.right - area.left - width) / 2;
        y = area.top + (area.bottom - area.top - height) / 2;
    }

    WindowRecord record;
    record.client_w = spec.client_w;
    record.client_h = spec.client_h;
    if (spec.background) record.brush = CreateSolidBrush(colour_ref(*spec.background));
    b.windows[spec.id] = record;
    HWND hwnd = CreateWindowExW(ex_style, window_class, widen(spec.title).c_str(), style, x, y, width, height, owner,
                                nullptr, b.instance, nullptr);
    if (!hwnd) {
        if (record.brush) DeleteObject(record.brush);
        b.windows.erase(spec.id);
        return false;
    }
    b.windows[spec.id].hwnd = hwnd;
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(b.program_icon));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(b.program_icon_small));
    return true;
}

void show_window(WindowId id)
{
    HWND hwnd = window_handle(id);
    if (!hwnd) return;
    ShowWindow(hwnd, id == WindowId::Startup ? SW_SHOWNOACTIVATE : SW_SHOW);
    UpdateWindow(hwnd);
    if (id != WindowId::Startup) SetForegroundWindow(hwnd);
}

void close_window(WindowId id)
{
    Backend& b = backend();
    auto found = b.windows.find(id);
    if (found == b.windows.end()) return;
    HWND hwnd = found->second.hwnd;
    // The window's controls go with it.
    for (auto it = b.controls.begin(); it != b.controls.end();) {
        if (it->second.window == id) {
            b.control_of_hwnd.erase(it->second.hwnd);
            if (it->second.updown) b.control_of_hwnd.erase(it->second.updown);
            destroy_control(it->second);
            it = b.controls.erase(it);
        } else {
            ++it;
        }
    }
    if (id == WindowId::Main) {
        b.toolbar = nullptr;
        b.main_menu = nullptr;  // destroyed with the window
    }
    if (hwnd) DestroyWindow(hwnd);
    if (found->second.brush) DeleteObject(found->second.brush);
    b.windows.erase(found);
    std::erase_if(b.events, [id](const Event& e) { return e.window == id && e.kind != EventKind::Close; });
}

bool window_exists(WindowId id) { return window_handle(id) != nullptr; }

void enable_window(WindowId id, bool enabled)
{
    if (HWND hwnd = window_handle(id)) EnableWindow(hwnd, enabled);
}

bool is_window_enabled(WindowId id)
{
    HWND hwnd = window_handle(id);
    return hwnd && IsWindowEnabled(hwnd);
}

void set_window_title(WindowId id, const std::string& title)
{
    if (HWND hwnd = window_handle(id)) SetWindowTextW(hwnd, widen(title).c_str());
}

std::string window_title(WindowId id)
{
    HWND hwnd = window_handle(id);
    if (!hwnd) return {};
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, title.data(), static_cast<int>(title.size()))));
    return narrow(title);
}

Point window_position(WindowId id)
{
    RECT area{};
    if (HWND hwnd = window_handle(id)) GetWindowRect(hwnd, &area);
    return {area.left, area.top};
}

Rect window_client_rect(WindowId id)
{
    HWND hwnd = window_handle(id);
    if (!hwnd) return {};
    RECT area;
    GetClientRect(hwnd, &area);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    return {origin.x, origin.y, area.right, area.bottom};
}

void set_pointer_shape(PointerShape shape)
{
    backend().pointer_shape = shape;
    SetCursor(shape == PointerShape::Hand ? backend().hand : backend().arrow);
}

void fade_window(WindowId id, int milliseconds, bool show)
{
    HWND hwnd = window_handle(id);
    if (!hwnd) return;
    // Wine 8 answers AnimateWindow at once without a blend; where it refuses,
    // the window still appears or goes.
    const DWORD how = AW_BLEND | (show ? AW_ACTIVATE : AW_HIDE);
    flush_cell_updates();
    if (!AnimateWindow(hwnd, static_cast<DWORD>(milliseconds > 0 ? milliseconds : 0), how)) {
        ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
    }
    if (show) SetForegroundWindow(hwnd);
}

void accept_dropped_files(bool accept)
{
    // What DragAcceptFiles does, without loading its DLL at start.
    if (HWND hwnd = window_handle(WindowId::Main)) {
        const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, accept ? style | WS_EX_ACCEPTFILES : style & ~LONG_PTR{WS_EX_ACCEPTFILES});
    }
}

// ---------------------------------------------------------------- the loop

// Mouse messages are posted, so they pass here; everything a control
// notifies is sent to a window procedure and queued there.
static void take_message(MSG& msg)
{
    Backend& b = backend();
    const std::optional<WindowId> window = window_of(msg.hwnd);
    if (window == WindowId::Main && b.accelerators &&
        TranslateAcceleratorW(window_handle(WindowId::Main), b.accelerators, &msg))
        return;
    if (window) {
        switch (msg.message) {
        case WM_RBUTTONDOWN:
            if (window == WindowId::Main) queue_event({EventKind::RightButton, 0, EventType::None, *window, {}});
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // the second press of a double-click is a press too
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            // The cell-editor poll must run when a button goes down or up,
            // even if the pointer does not move.
            queue_event({EventKind::PointerMoved, 0, EventType::None, *window, {}});
            break;
        case WM_MOUSEMOVE:
            // Ask to hear when the pointer leaves, so the hover read-out is
            // cleared even when the pointer jumps out of the window.
            if (b.tracked_leave != msg.hwnd) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, msg.hwnd, 0};
                if (TrackMouseEvent(&track)) b.tracked_leave = msg.hwnd;
            }
            queue_event({EventKind::PointerMoved, 0, EventType::None, *window, {}});
            break;
        case WM_MOUSELEAVE:
            if (b.tracked_leave == msg.hwnd) b.tracked_leave = nullptr;
            queue_event({EventKind::PointerMoved, 0, EventType::None, *window, {}});
            break;
        case WM_NCMOUSEMOVE:
            queue_event({EventKind::PointerMoved, 0, EventType::None, *window, {}});
            break;
        default:
            break;
        }
    }
    // Tab, Enter and Escape in the text dialog, as in a dialog box.
    if (window == WindowId::Text && IsDialogMessageW(window_handle(WindowId::Text), &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

static Event take_front()
{
    Event event = std::move(backend().events.front());
    backend().events.pop_front();
    return event;
}

Event wait_event()
{
    flush_cell_updates();
    for (;;) {
        if (!backend().events.empty()) return take_front();
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) return {EventKind::Close, 0, EventType::None, WindowId::Main, {}};
        take_message(msg);
    }
}

void stop_timer()
{
    Backend& b = backend();
    if (HWND main = window_handle(WindowId::Main)) KillTimer(main, kTimerId);
    b.timer_armed = false;
    std::erase_if(b.events, [](const Event& e) { return e.kind == EventKind::Timer; });
}

void start_timer(int milliseconds)
{
    stop_timer();
    HWND main = window_handle(WindowId::Main);
    if (!main) return;
    if (milliseconds <= 0) {
        queue_event({EventKind::Timer, 0, EventType::None, WindowId::Main, {}});
        return;
    }
    backend().timer_armed = SetTimer(main, kTimerId, static_cast<UINT>(milliseconds), nullptr) != 0;
}

}  // namespace lumetra::platform
