// Controls: one real Win32 control per control number, the number being its
// ID; only picture cells have no window, their container paints and hit-tests them.
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

static HFONT font_of(Font font) { return backend().fonts[static_cast<int>(font)]; }

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

static int cell_stride(int width) { return (width * 3 + 3) & ~3; }

// A picture cell's container paints it again at the next flush.
static void mark_stale(ControlRecord& cell)
{
    ControlRecord* container = find_control(cell.parent);
    if (!container) return;
    Backend& b = backend();
    if (!container->stale) {
        container->stale = CreateRectRgnIndirect(&cell.area);
    } else {
        HRGN area = CreateRectRgnIndirect(&cell.area);
        CombineRgn(container->stale, container->stale, area, RGN_OR);
        DeleteObject(area);
    }
    if (std::find(b.stale_containers.begin(), b.stale_containers.end(), container->id) == b.stale_containers.end())
        b.stale_containers.push_back(container->id);
}

// A cell whose picture is the one it shows already is not painted again.
static void set_cell_pixels(ControlRecord& cell, const Bitmap& picture)
{
    const int stride = cell_stride(picture.width);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * picture.height, 0);
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* out = pixels.data() + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < picture.width; ++x) {
            const Rgb colour = picture.at(x, y);
            *out++ = colour.b;
            *out++ = colour.g;
            *out++ = colour.r;
        }
    }
    if (pixels == cell.pixels && cell.bitmap_w == picture.width && cell.bitmap_h == picture.height) return;
    cell.pixels = std::move(pixels);
    cell.bitmap_w = picture.width;
    cell.bitmap_h = picture.height;
    mark_stale(cell);
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

void paint_cells(ControlRecord& container, HDC dc, const RECT& update)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    for (int id : container.cells) {
        ControlRecord* cell = find_control(id);
        RECT overlap;
        if (!cell || !cell->cell_shown || cell->pixels.empty() || !IntersectRect(&overlap, &cell->area, &update))
            continue;
        info.bmiHeader.biWidth = cell->bitmap_w;
        info.bmiHeader.biHeight = -cell->bitmap_h;  // top-down
        StretchDIBits(dc, cell->area.left, cell->area.top, cell->bitmap_w, cell->bitmap_h, 0, 0, cell->bitmap_w,
                      cell->bitmap_h, cell->pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    }
}

// What a static with SS_NOTIFY reports: a click on the press, a double-click
// on the second press; the right button as the image controls report it.
bool click_cell(ControlRecord& container, UINT message, LPARAM lparam)
{
    const POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    ControlRecord* cell = nullptr;
    for (int id : container.cells)
        if (ControlRecord* candidate = find_control(id);
            candidate && candidate->cell_shown && candidate->cell_enabled && PtInRect(&candidate->area, at)) {
            cell = candidate;
            break;
        }
    if (!cell) return false;
    EventType type = EventType::None;
    switch (message) {
    case WM_LBUTTONDOWN: type = EventType::Click; break;
    case WM_LBUTTONDBLCLK: type = EventType::DoubleClick; break;
    case WM_RBUTTONDBLCLK:
        cell->right_double = true;
        type = EventType::RightDoubleClick;
        break;
    case WM_RBUTTONUP:
        if (cell->right_double)
            cell->right_double = false;
        else
            type = EventType::RightClick;
        break;
    default: return false;
    }
    if (type != EventType::None) queue_event({EventKind::Control, cell->id, type, cell->window, {}});
    return true;
}

void flush_cell_updates()
{
    Backend& b = backend();
    for (int id : b.stale_containers)
        if (ControlRecord* container = find_control(id)) {
            RedrawWindow(container->hwnd, nullptr, container->stale, RDW_INVALIDATE | RDW_NOCHILDREN);
            DeleteObject(container->stale);
            container->stale = nullptr;
        }
    b.stale_containers.clear();
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

// ---------------------------------------------------------------- rich text

struct StreamCursor {
    const std::string* text = nullptr;
    std::size_t offset = 0;
};

static DWORD CALLBACK stream_in(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given)
{
    auto* cursor = reinterpret_cast<StreamCursor*>(cookie);
    const std::size_t left = cursor->text->size() - cursor->offset;
    const std::size_t n = std::min(left, static_cast<std::size_t>(wanted));
    std::memcpy(buffer, cursor->text->data() + cursor->offset, n);
    cursor->offset += n;
    *given = static_cast<LONG>(n);
    return 0;
}

static DWORD CALLBACK stream_out(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken)
{
    auto* text = reinterpret_cast<std::string*>(cookie);
    text->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(count));
    *taken = count;
    return 0;
}

// The rich text is written in the control's own font (the code views'
// fixed-pitch face, the skip list's default one): the face, size, family and
// pitch of the font it was made with. The charset asks for the face's Cyrillic
// glyphs, so that Russian text stays in that face.
static RtfFont face_of(Font font)
{
    LOGFONTW logical{};
    GetObjectW(font_of(font), sizeof logical, &logical);
    RtfFont face;
    face.face = narrow(logical.lfFaceName);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int pixels = logical.lfHeight < 0 ? -logical.lfHeight : logical.lfHeight;
    // A whole point size that gives back the same pixel height comes first
    // (8 pt is 11 pixels at 96 dpi, not 8.5 pt).
    const int points = MulDiv(pixels, 72, dpi);
    face.half_points = pixels == 0 ? 16 : MulDiv(points, dpi, 72) == pixels ? points * 2 : MulDiv(pixels, 144, dpi);
    switch (logical.lfPitchAndFamily & 0xF0) {
    case FF_MODERN: face.family = "fmodern"; break;
    case FF_SWISS: face.family = "fswiss"; break;
    case FF_ROMAN: face.family = "froman"; break;
    default: face.family = "fnil"; break;
    }
    switch (logical.lfPitchAndFamily & 0x03) {
    case FIXED_PITCH: face.pitch = 1; break;
    case VARIABLE_PITCH: face.pitch = 2; break;
    default: face.pitch = 0; break;
    }
    face.charset = logical.lfCharSet == ANSI_CHARSET || logical.lfCharSet == DEFAULT_CHARSET ? RUSSIAN_CHARSET
                                                                                               : logical.lfCharSet;
    return face;
}

// The same face as the control's default character format, for text typed or
// appended outside the streamed document; no automatic switch to another face
// for characters of another script.
static void set_default_format(HWND rich, Font font)
{
    const RtfFont face = face_of(font);
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_COLOR | CFM_CHARSET;
    format.yHeight = face.half_points * 10;  // twips
    format.bPitchAndFamily = static_cast<BYTE>(face.pitch | (face.family == "fmodern" ? FF_MODERN
                                                             : face.family == "fswiss" ? FF_SWISS
                                                             : face.family == "froman" ? FF_ROMAN
                                                                                       : FF_DONTCARE));
    format.bCharSet = static_cast<BYTE>(face.charset);
    format.dwEffects = CFE_AUTOCOLOR;
    lstrcpynW(format.szFaceName, widen(face.face).c_str(), LF_FACESIZE);
    SendMessageW(rich, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageW(rich, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    const auto options = SendMessageW(rich, EM_GETLANGOPTIONS, 0, 0);
    SendMessageW(rich, EM_SETLANGOPTIONS, 0, options & ~static_cast<LPARAM>(IMF_AUTOFONT | IMF_DUALFONT));
}

}  // namespace lumetra::platform::win32

namespace lumetra::platform {
using namespace win32;

// ---------------------------------------------------------------- creation

// A picture cell: a record only; its container paints it and hit-tests it.
// Nearly two hundred are on screen at start, and under Wine every child
// window costs the start calls to the server and the X server.
static bool create_cell(const ControlSpec& spec, ControlRecord& container)
{
    ControlRecord& record = backend().controls[spec.id];
    record.id = spec.id;
    record.kind = spec.kind;
    record.window = spec.window;
    record.parent = container.hwnd;
    record.painted_by_container = true;
    record.area = {spec.rect.x, spec.rect.y, spec.rect.x + spec.rect.w, spec.rect.y + spec.rect.h};
    record.cell_shown = !(spec.style & kHidden);
    record.cell_enabled = !(spec.style & kDisabled);
    container.cells.push_back(spec.id);
    return true;
}

bool create_control(const ControlSpec& spec)
{
    Backend& b = backend();
    HWND parent = parent_handle(spec);
    if (!parent || b.controls.count(spec.id)) return false;
    if (ControlRecord* container = find_control(spec.parent); spec.kind == ControlKind::Image && spec.image < 0 &&
                                                                spec.tooltip.empty() && container &&
                                                                container->kind == ControlKind::Container)
        return create_cell(spec, *container);

    const wchar_t* window_class = L"STATIC";
    DWORD style = WS_CHILD;
    DWORD ex_style = 0;
    int height = spec.rect.h;
    int width = spec.rect.w;
    if (!(spec.style & kHidden)) style |= WS_VISIBLE;
    if (spec.style & kDisabled) style |= WS_DISABLED;
    if (spec.style & kBorder) style |= WS_BORDER;

    switch (spec.kind) {
    case ControlKind::Container:
        window_class = kPanelClass;
        // No WS_CLIPCHILDREN: group boxes do not paint their inside and rely on
        // the panel's own background there.
        style |= WS_CLIPSIBLINGS;
        break;
    case ControlKind::Text:
        // A one-line label that is too long is cut at the edge rather than
        // wrapped onto a second line nobody can see.
        if (spec.style & kCentred)
            style |= SS_CENTER;
        else if (spec.text.find('\n') == std::string::npos && spec.rect.h < 28)
            style |= SS_LEFTNOWORDWRAP;
        else
            style |= SS_LEFT;
        break;
    case ControlKind::Edit:
        window_class = L"EDIT";
        style |= ES_AUTOHSCROLL | WS_TABSTOP;
        if (spec.style & kReadOnly) style |= ES_READONLY;
        if (spec.style & kCentred) style |= ES_CENTER;
        if (spec.style & kDigitsOnly) style |= ES_NUMBER;
        if (!(spec.style & kBorder)) ex_style |= WS_EX_CLIENTEDGE;
        break;
    case ControlKind::RichText:
        window_class = RICHEDIT_CLASSW;
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | ES_NOHIDESEL | WS_TABSTOP;
        if (spec.style & kReadOnly) style |= ES_READONLY;
        if (!(spec.style & kBorder)) ex_style |= WS_EX_CLIENTEDGE;
        break;
    case ControlKind::Button:
        window_class = L"BUTTON";
        style |= ((spec.style & kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
        break;
    case ControlKind::Radio:
        window_class = L"BUTTON";
        style |= BS_AUTORADIOBUTTON;
        if (spec.style & kGroup) style |= WS_GROUP | WS_TABSTOP;
        break;
    case ControlKind::Check:
        window_class = L"BUTTON";
        style |= BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;
        break;
    case ControlKind::Frame:
        window_class = L"BUTTON";
        style |= BS_GROUPBOX | WS_GROUP;
        break;
    case ControlKind::Combo:
        window_class = WC_COMBOBOXW;
        style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP;
        // The window's height includes the list it drops down.
        height = spec.rect.h + spec.list_height;
        break;
    case ControlKind::Tabs:
        window_class = WC_TABCONTROLW;
        style |= WS_CLIPSIBLINGS | WS_TABSTOP;
        break;
    case ControlKind::Spin:
        // The number field takes the box less a narrow arrow pair, so that
        // two digits fit in 30 pixels.
        window_class = L"EDIT";
        style |= ES_NUMBER | ES_RIGHT | WS_BORDER;
        if (spec.style & kReadOnly) style |= ES_READONLY;
        width = std::max(spec.rect.w - kSpinArrowsWidth, 8);
        break;
    case ControlKind::Progress:
        window_class = PROGRESS_CLASSW;
        if (spec.style & kSmooth) style |= PBS_SMOOTH;
        break;
    case ControlKind::Image:
        style |= SS_BITMAP | SS_NOTIFY;
        break;
    case ControlKind::Link:
        style |= SS_NOTIFY | SS_LEFT;
        break;
    }

    const std::wstring text = spec.kind == ControlKind::Combo || spec.kind == ControlKind::Image ? std::wstring()
                                                                                               : widen(spec.text);
    HWND hwnd = CreateWindowExW(ex_style, window_class, text.c_str(), style, spec.rect.x, spec.rect.y, width,
                                height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), b.instance,
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

    Font font = spec.font;
    if (spec.kind == ControlKind::Tabs && font == Font::Default) font = Font::Message;
    if (spec.kind == ControlKind::Link && font == Font::Default) font = Font::Underlined;
    if (spec.kind != ControlKind::RichText)
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_of(font)), FALSE);

    switch (spec.kind) {
    case ControlKind::Edit:
        if (spec.text_limit > 0) SendMessageW(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(spec.text_limit), 0);
        break;
    case ControlKind::RichText:
        // No word wrap; room for long skip lists; the control's font and colours.
        SendMessageW(hwnd, EM_SETTARGETDEVICE, 0, 1);
        SendMessageW(hwnd, EM_EXLIMITTEXT, 0, 16 * 1024 * 1024);
        if (spec.background) SendMessageW(hwnd, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(colour_ref(*spec.background)));
        set_default_format(hwnd, spec.font);
        if (!spec.text.empty()) set_rich_text(spec.id, {spec.text});
        break;
    case ControlKind::Radio:
        if ((spec.style & kGroup) || b.last_radio_parent != parent) b.last_radio_group = spec.id;
        b.last_radio_parent = parent;
        record.radio_group = b.last_radio_group;
        if (spec.style & kChecked) set_checked(spec.id, true);
        break;
    case ControlKind::Check:
        if (spec.style & kChecked) SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        break;
    case ControlKind::Combo: {
        fill_combo(hwnd, spec.items);
        // The font decides the height of the closed field; the list drops
        // list_height pixels below it.
        RECT closed{};
        GetWindowRect(hwnd, &closed);
        SetWindowPos(hwnd, nullptr, 0, 0, width, (closed.bottom - closed.top) + spec.list_height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    case ControlKind::Tabs:
        // Padding before the items, so that all ten buffer tabs fit in one row.
        SendMessageW(hwnd, TCM_SETPADDING, 0, MAKELPARAM(1, 3));
        fill_tabs(hwnd, spec.items);
        break;
    case ControlKind::Spin: {
        HWND updown = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                                      (style & (WS_VISIBLE | WS_DISABLED)) | WS_CHILD | UDS_SETBUDDYINT |
                                          UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                      spec.rect.x + width, spec.rect.y, spec.rect.w - width, spec.rect.h, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id + kUpDownIdOffset)),
                                      b.instance, nullptr);
        record.updown = updown;
        if (updown) {
            b.control_of_hwnd[updown] = spec.id;
            SendMessageW(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd), 0);
            SendMessageW(updown, UDM_SETRANGE32, static_cast<WPARAM>(spec.min), spec.max);
            SendMessageW(updown, UDM_SETPOS32, 0, spec.value);
        }
        break;
    }
    case ControlKind::Progress:
        SendMessageW(hwnd, PBM_SETRANGE32, static_cast<WPARAM>(spec.min), spec.max);
        SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(spec.value), 0);
        break;
    case ControlKind::Image:
    case ControlKind::Link:
        SetWindowSubclass(hwnd, ImageSubclassProc, 1, 0);
        if (spec.kind == ControlKind::Image && spec.image >= 0) show_stored_image(record, spec.image);
        break;
    default:
        break;
    }
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
        // CR LF, LF and CR each end a line; an empty text holds no line at all.
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (lines.empty()) lines.emplace_back();
            if (text[i] == '\r' || text[i] == '\n') {
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
                lines.emplace_back();
            } else {
                lines.back() += text[i];
            }
        }
        set_rich_text(id, lines);
        return;
    }
    SetWindowTextW(record->hwnd, widen(text).c_str());
}

std::string text(int id)
{
    ControlRecord* record = find_control(id);
    if (!record) return {};
    if (record->kind == ControlKind::RichText) {
        GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
        const auto n = SendMessageW(record->hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
        std::wstring wide(static_cast<std::size_t>(n) + 1, L'\0');
        GETTEXTEX request{};
        request.cb = static_cast<DWORD>(wide.size() * sizeof(wchar_t));
        request.flags = GT_USECRLF;
        request.codepage = 1200;
        const auto got = SendMessageW(record->hwnd, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                                      reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(static_cast<std::size_t>(got));
        return narrow(wide);
    }
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
    if (record->kind == ControlKind::Spin && record->updown)
        SendMessageW(record->updown, UDM_SETPOS32, 0, value);
    else if (record->kind == ControlKind::Progress)
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
    if (record->painted_by_container && record->bits) {
        // Drawn into the cell's own bitmap, which has the same row layout.
        GdiFlush();
        record->pixels.assign(static_cast<const std::uint8_t*>(record->bits),
                              static_cast<const std::uint8_t*>(record->bits) +
                                  static_cast<std::size_t>(cell_stride(record->bitmap_w)) * record->bitmap_h);
        mark_stale(*record);
    }
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

// ---------------------------------------------------------------- rich text

void set_rich_text(int id, const std::vector<std::string>& lines, const std::vector<StyledRun>& runs)
{
    ControlRecord* record = find_control(id);
    if (!record || record->kind != ControlKind::RichText) return;
    // One document streamed in at once: under Wine far faster than
    // formatting range by range (0.15 s for a whole skip list).
    const std::string rtf = styled_text_as_rtf({lines, runs}, face_of(record->font));
    StreamCursor cursor{&rtf, 0};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cursor), 0, stream_in};
    SendMessageW(record->hwnd, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    // RichEdit takes a \par at the very end as its own closing paragraph, so
    // a last empty line (listings end with one) is given back here.
    const auto held = SendMessageW(record->hwnd, EM_GETLINECOUNT, 0, 0);
    if (lines.size() > 1 && held < static_cast<LRESULT>(lines.size())) {
        GETTEXTLENGTHEX length{GTL_PRECISE | GTL_NUMCHARS, 1200};
        const auto end = SendMessageW(record->hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
        SendMessageW(record->hwnd, EM_SETSEL, static_cast<WPARAM>(end), end);
        SendMessageW(record->hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r"));
    }
    record->rich_lines = static_cast<int>(lines.size());
    SendMessageW(record->hwnd, EM_SETSEL, 0, 0);
    SendMessageW(record->hwnd, EM_SCROLLCARET, 0, 0);
}

void append_rich_line(int id, const std::string& line)
{
    ControlRecord* record = find_control(id);
    if (!record || record->kind != ControlKind::RichText) return;
    std::wstring wide = (record->rich_lines > 0 ? L"\r" : L"") + widen(line);
    GETTEXTLENGTHEX length{GTL_PRECISE | GTL_NUMCHARS, 1200};
    const auto end = SendMessageW(record->hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    SendMessageW(record->hwnd, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(record->hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    ++record->rich_lines;
}

void copy_selection(int id)
{
    if (ControlRecord* record = find_control(id)) SendMessageW(record->hwnd, WM_COPY, 0, 0);
}

std::string rich_text_as_rtf(int id)
{
    ControlRecord* record = find_control(id);
    if (!record || record->kind != ControlKind::RichText) return {};
    std::string rtf;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, stream_out};
    SendMessageW(record->hwnd, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return rtf;
}

}  // namespace lumetra::platform
